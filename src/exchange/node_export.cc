#include "exchange/node_export.h"

#include <vector>

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
  SetCount(static_cast<uint32_t>(m_document.Data_GetCount()));
  SetIndex(0);
  ExportBranch(0, folder, true);
}

CNodeBatchExport::Outcome CNodeBatchExport::ExportBranch(uint32_t parent, const std::string& base, bool usable) {
  std::string path = base;
  if (parent != 0) {
    CMlfNode folder(&m_document, parent);
    std::string title = FileNameOf(folder.GetTitle() ? folder.GetTitle() : "");
    path = base + title + "/";
    usable = usable && IsValidFileName(title);
    try {
      if (usable) m_document.GetEnv().CreateDirectory(base + title);
    } catch (const FileError&) {
      // Not reported: the files in it then fail one by one.
    }
  }
  std::vector<NTV> children;
  m_document.Data_EnumItems([&](const NTV& r) {
    if (r.nParent == parent && r.nIndex != parent) children.push_back(r);
  });
  CExportHelper helper(m_document, this);
  for (const NTV& child : children) {
    if (IsCancelled()) return Outcome::Done;
    if (child.nType == ntFolder) {
      if (ExportBranch(child.nIndex, path, usable) == Outcome::Abort) return Outcome::Abort;
      Step();
      continue;
    }
    SetDetailText(child.strTitle);
    SetStatusText(ExportingText(GetIndex() + 1, GetCount()));
    while (!(usable && helper.ExportNode(child.nIndex, path))) {
      std::string reason = usable ? helper.Reason() : "The folder's title is not a valid file name here.";
      MessageAnswer answer = Ask("Error exporting " + path + FileNameOf(child.strTitle) + ".\n\n" + reason,
                                 MessageButtons::AbortRetryIgnore, MessageIcon::Exclamation);
      if (answer == MessageAnswer::Abort) return Outcome::Abort;
      if (answer != MessageAnswer::Retry) break;  // Ignore skips the node
    }
    Step();
  }
  return Outcome::Done;
}

void CNodeSingleExport::Run() {
  SetCount(1);
  SetIndex(0);
  CMlfNode node(&m_document, m_nodeId);
  SetDetailText(node.GetTitle() ? node.GetTitle() : "");
  SetStatusText(ExportingText(1, 1));
  CExportHelper helper(m_document, nullptr);
  m_succeeded = helper.WriteNode(m_nodeId, m_path, m_imageFormat);
  Step();
}

}  // namespace mlf
