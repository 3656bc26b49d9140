// Batch export of a whole document into a directory tree that mirrors the node tree, and
// export of one node to a file the user named.
#pragma once

#include <string>

#include "exchange/node_process.h"

namespace mlf {

class CNodeBatchExport : public CNodeBatchProcess {
 public:
  CNodeBatchExport(CMarrowleafDoc& document, std::string folder)
      : CNodeBatchProcess(document), m_folder(std::move(folder)) {}

 protected:
  void Run() override;

 private:
  enum class Outcome { Done, Abort };
  // usable is false below a folder whose title is no file name: nothing there is written.
  Outcome ExportBranch(uint32_t parent, const std::string& path, bool usable);

  std::string m_folder;
};

class CNodeSingleExport : public CNodeBatchProcess {
 public:
  CNodeSingleExport(CMarrowleafDoc& document, uint32_t nodeId, std::string path, int imageFormat)
      : CNodeBatchProcess(document), m_nodeId(nodeId), m_path(std::move(path)), m_imageFormat(imageFormat) {}
  bool Succeeded() const { return m_succeeded; }

 protected:
  void Run() override;

 private:
  uint32_t m_nodeId;
  std::string m_path;
  int m_imageFormat;
  bool m_succeeded = false;
};

}  // namespace mlf
