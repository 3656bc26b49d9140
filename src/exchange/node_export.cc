#include "exchange/node_export.h"

#include "exchange/content_reader.h"
#include "exchange/export_helper.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/node.h"

namespace mlf {
namespace {

std::string ExportingText(uint32_t index, uint32_t count) {
  return "Exporting file " + std::to_string(index) + " of " + std::to_string(count) + "...";
}

}  // namespace

void CNodeBatchExport::Run() {
  std::string folder = m_folder;
  if (folder.empty() || !IsPathSeparator(folder.back())) folder += '/';
  // One pass over the table gives every folder its children, so the walk is linear in the
  // number of nodes however they are spread over folders.
  m_children.clear();
  m_visited.clear();
  std::vector<NTV> roots;  // the nodes to start from, in id order
  m_document.Data_EnumItems([&](const NTV& r) {
    if (r.nIndex != r.nParent) m_children[r.nParent].push_back(r);
    if (r.nIndex == m_root) roots.push_back(r);
  });
  if (m_root == 0) roots = ChildrenOf(0);
  SetCount(m_root == 0 ? static_cast<uint32_t>(m_document.Data_GetCount()) : BranchSize(m_root));
  SetIndex(0);
  for (const NTV& node : roots)
    if (ExportEntry(node, folder, true) == Outcome::Abort) return;
  if (m_root != 0) return;
  // Nodes whose parent is missing, or whose parents form a cycle, are not reached from the
  // top level: they are exported there, so that nothing stays behind.
  std::vector<NTV> unreached;
  m_document.Data_EnumItems([&](const NTV& r) {
    if (!m_visited.count(r.nIndex)) unreached.push_back(r);
  });
  NTV parent;
  std::stable_partition(unreached.begin(), unreached.end(),
                        [&](const NTV& r) { return !m_document.Data_GetItem(r.nParent, parent); });
  for (const NTV& node : unreached)
    if (!m_visited.count(node.nIndex) && ExportEntry(node, folder, true) == Outcome::Abort) return;
}

const std::vector<NTV>& CNodeBatchExport::ChildrenOf(uint32_t parent) const {
  static const std::vector<NTV> kNone;
  auto it = m_children.find(parent);
  return it == m_children.end() ? kNone : it->second;
}

uint32_t CNodeBatchExport::BranchSize(uint32_t node) const {
  std::unordered_set<uint32_t> seen{node};
  std::vector<uint32_t> pending{node};
  while (!pending.empty()) {
    uint32_t id = pending.back();
    pending.pop_back();
    for (const NTV& child : ChildrenOf(id))
      if (seen.insert(child.nIndex).second) pending.push_back(child.nIndex);
  }
  return static_cast<uint32_t>(seen.size());
}

void CNodeBatchExport::Fail(const std::string& name, const std::string& reason) {
  m_tally.failed.push_back({name, reason});
}

CNodeBatchExport::Outcome CNodeBatchExport::ExportEntry(const NTV& node, const std::string& path, bool usable) {
  if (IsCancelled()) return Outcome::Abort;
  if (!m_visited.insert(node.nIndex).second) return Outcome::Done;
  if (node.nType == ntFolder) return ExportFolder(node, path, usable);
  SetDetailText(node.strTitle);
  SetStatusText(ExportingText(GetIndex() + 1, GetCount()));
  std::string name = path + FileNameOf(node.strTitle);
  CExportHelper helper(m_document, this);
  for (;;) {
    ExportResult result = usable ? helper.ExportNode(node.nIndex, path) : ExportResult::Failed;
    if (result == ExportResult::Written) ++m_tally.written;
    if (result == ExportResult::Kept) m_tally.kept.push_back(name);
    if (result != ExportResult::Failed) break;
    std::string reason = usable ? helper.Reason() : "The folder's title is not a valid file name here.";
    MessageAnswer answer = Ask("Error exporting " + name + ".\n\n" + reason, MessageButtons::AbortRetryIgnore,
                               MessageIcon::Exclamation);
    if (answer == MessageAnswer::Retry) continue;
    Fail(name, reason);
    if (answer == MessageAnswer::Abort) return Outcome::Abort;
    break;  // Ignore skips the node
  }
  Step();
  return Outcome::Done;
}

CNodeBatchExport::Outcome CNodeBatchExport::ExportFolder(const NTV& folder, const std::string& base, bool usable) {
  std::string title = FileNameOf(folder.strTitle);
  usable = usable && IsValidFileName(title);
  if (!usable) {
    Fail(base + title, "The folder's title is not a valid file name here.");
  } else {
    try {
      CreateFolderPath(m_document.GetEnv(), base + title);
      ++m_tally.written;
    } catch (const FileError& error) {
      // The files in it then fail one by one, each with its own reason.
      Fail(base + title, error.what());
    }
  }
  Step();
  for (const NTV& child : ChildrenOf(folder.nIndex))
    if (ExportEntry(child, base + title + "/", usable) == Outcome::Abort) return Outcome::Abort;
  return Outcome::Done;
}

void CNodeSingleExport::Run() {
  SetCount(1);
  SetIndex(0);
  CMlfNode node(&m_document, m_nodeId);
  SetDetailText(node.GetTitle() ? node.GetTitle() : "");
  SetStatusText(ExportingText(1, 1));
  CExportHelper helper(m_document, nullptr);
  bool unlockedHere = false;
  m_reason = UnlockNode(m_document, m_nodeId, unlockedHere);
  m_succeeded = m_reason.empty() && helper.WriteNode(m_nodeId, m_path, m_imageFormat, m_asText);
  if (m_reason.empty()) m_reason = helper.Reason();
  if (unlockedHere) LockAgain(m_document, m_nodeId);
  Step();
}

}  // namespace mlf
