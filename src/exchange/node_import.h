// Import of files as new nodes: the batch import (notes through the text converters, pictures
// as images, by extension; files of unknown types tried as a picture, then as a document), and
// the import of foreign-data files.
#pragma once

#include <string>
#include <vector>

#include "exchange/node_process.h"
#include "store/node_record.h"

namespace mlf {

class CNodeBatchImport : public CNodeBatchProcess {
 public:
  CNodeBatchImport(CMarrowleafDoc& document, uint32_t parentId) : CNodeBatchProcess(document), m_parentId(parentId) {}
  void AddFile(const std::string& path);
  // The nodes made, in the order of the files.
  const std::vector<uint32_t>& Created() const { return m_created; }
  // The files that made no node (gone since they were chosen, a folder, or of no kind the
  // importers take), in the order of the files.
  const std::vector<std::string>& Skipped() const { return m_skipped; }

 protected:
  void Run() override;

  uint32_t m_parentId;
  std::vector<std::string> m_files;
  std::vector<uint32_t> m_created;
  std::vector<std::string> m_skipped;
};

// The foreign-data import: every file becomes a foreign-data node under parentId. A file that
// cannot be stored is logged and asked about ("Data import error"); Cancel there stops.
class CForeignDataImport : public CNodeBatchImport {
 public:
  CForeignDataImport(CMarrowleafDoc& document, uint32_t parentId, const std::vector<std::string>& files)
      : CForeignDataImport(document, parentId, files, ntForeign) {}

 protected:
  // The files become nodes of nodeType.
  CForeignDataImport(CMarrowleafDoc& document, uint32_t parentId, const std::vector<std::string>& files,
                     uint8_t nodeType)
      : CNodeBatchImport(document, parentId), m_nodeType(nodeType) {
    for (const std::string& file : files) AddFile(file);
  }
  void Run() override;

 private:
  uint8_t m_nodeType;
};

// The HTML import: every file becomes an HTML page under parentId, as the foreign-data import
// does it.
class CHtmlImport : public CForeignDataImport {
 public:
  CHtmlImport(CMarrowleafDoc& document, uint32_t parentId, const std::vector<std::string>& files)
      : CForeignDataImport(document, parentId, files, ntHtml) {}
};

// Moves a node made at the top level under its target parent.
void PlaceUnder(CMarrowleafDoc& document, uint32_t nodeId, uint32_t parentId);

}  // namespace mlf
