// Batch export of a whole document (or of one branch) into a directory tree that mirrors the
// node tree, and export of one node to a file the user named.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "exchange/node_process.h"
#include "store/node_record.h"

namespace mlf {

struct ExportFailure {
  std::string name;  // the file, without the extension it would have had
  std::string reason;
  bool operator==(const ExportFailure&) const = default;
};

// What a batch export did, node by node: a folder counts as written when its directory is
// there. kept names the files the user kept.
struct ExportTally {
  uint32_t written = 0;
  std::vector<std::string> kept;
  std::vector<ExportFailure> failed;
};

class CNodeBatchExport : public CNodeBatchProcess {
 public:
  // root 0 exports the whole document, else that node with everything below it.
  CNodeBatchExport(CMarrowleafDoc& document, std::string folder, uint32_t root = 0)
      : CNodeBatchProcess(document), m_folder(std::move(folder)), m_root(root) {}
  // Valid once the process has finished.
  const ExportTally& Tally() const { return m_tally; }

 protected:
  void Run() override;

 private:
  enum class Outcome { Done, Abort };
  // Exports node (a folder with its branch) into the directory path (ending in a separator);
  // usable is false below a folder whose title is no file name: nothing there is written.
  Outcome ExportEntry(const NTV& node, const std::string& path, bool usable);
  Outcome ExportFolder(const NTV& folder, const std::string& path, bool usable);
  // The nodes below parent, in id order; built once for the whole run.
  const std::vector<NTV>& ChildrenOf(uint32_t parent) const;
  uint32_t BranchSize(uint32_t node) const;
  void Fail(const std::string& name, const std::string& reason);

  std::string m_folder;
  uint32_t m_root;
  std::unordered_map<uint32_t, std::vector<NTV>> m_children;
  std::unordered_set<uint32_t> m_visited;  // guards against parent cycles in damaged files
  ExportTally m_tally;
};

class CNodeSingleExport : public CNodeBatchProcess {
 public:
  // asText writes a note as plain text instead of its RTF.
  CNodeSingleExport(CMarrowleafDoc& document, uint32_t nodeId, std::string path, int imageFormat, bool asText = false)
      : CNodeBatchProcess(document), m_nodeId(nodeId), m_path(std::move(path)), m_imageFormat(imageFormat),
        m_asText(asText) {}
  bool Succeeded() const { return m_succeeded; }
  // Why it failed.
  const std::string& Reason() const { return m_reason; }

 protected:
  void Run() override;

 private:
  uint32_t m_nodeId;
  std::string m_path;
  int m_imageFormat;
  bool m_asText;
  bool m_succeeded = false;
  std::string m_reason;
};

}  // namespace mlf
