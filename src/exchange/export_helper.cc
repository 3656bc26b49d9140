#include "exchange/export_helper.h"

#include "exchange/node_process.h"
#include "platform/codepage.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_unlock.h"
#include "store/prompts.h"

namespace mlf {

std::string FileNameOf(const std::string& title) { return StoredTextToUtf8(title); }

bool IsValidFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c == 0) return false;
#ifdef _WIN32
    if (c < 0x20 || std::string("\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
#endif
  }
  return true;
}

bool UnlockForExport(CMarrowleafDoc& document, uint32_t nodeId, bool& unlockedHere) {
  unlockedHere = false;
  CMlfNode node(&document, nodeId);
  if (!node.IsEncrypted() || node.HasPassword()) return true;
  if (!CanAccessEncryptedNode(document, nodeId)) return false;
  std::optional<SecureString> password = AskNodePassword(document, nodeId);
  if (!password) {
    AppPrompts().Message("Access Denied", kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
  }
  node.SetPassword(true, *password);
  unlockedHere = true;
  return true;
}

void LockAgain(CMarrowleafDoc& document, uint32_t nodeId) {
  CMlfNode node(&document, nodeId);
  node.SetPassword(false, SecureString());
}

bool CExportHelper::ExportNode(uint32_t nodeId, const std::string& folder) {
  bool unlockedHere;
  if (!UnlockForExport(m_document, nodeId, unlockedHere)) {
    m_reason.clear();
    return false;
  }
  CMlfNode node(&m_document, nodeId);
  bool ok = ExportFile(nodeId, folder + FileNameOf(node.GetTitle()), 0);
  if (unlockedHere) LockAgain(m_document, nodeId);
  return ok;
}

bool CExportHelper::ExportFile(uint32_t nodeId, const std::string& path, int imageFormat) {
  m_reason.clear();
  CMlfNode node(&m_document, nodeId);
  // A title is the file name as it is; one the file system cannot take, or that would reach
  // outside the folder, fails the node.
  if (!IsValidFileName(node.GetTitle() ? node.GetTitle() : "")) {
    m_reason = "The title is not a valid file name here.";
    return false;
  }
  // An existing file is replaced only when the user agrees; declining skips the node.
  auto mayWrite = [&](const std::string& name) {
    return !m_process || !m_document.GetEnv().FileExists(name) ||
           m_process->Ask(name + " already exists. Overwrite?", MessageButtons::YesNo, MessageIcon::Exclamation) ==
               MessageAnswer::Yes;
  };
  switch (node.GetType()) {
    case ntNote:
    case ntForeign: {
      std::string name = path + (node.GetType() == ntNote ? ".rtf" : ".dat");
      return !mayWrite(name) || m_document.Data_CopyToFile(nodeId, name);
    }
    case ntImage: return m_document.Data_CopyImageToFile(nodeId, path, imageFormat, &m_reason, nullptr, mayWrite);
    default: return false;  // HTML pages have no export format
  }
}

bool CExportHelper::WriteNode(uint32_t nodeId, const std::string& path, int imageFormat) {
  m_reason.clear();
  CMlfNode node(&m_document, nodeId);
  switch (node.GetType()) {
    case ntNote:
    case ntForeign: return m_document.Data_CopyToFile(nodeId, path);
    case ntImage: return m_document.Data_CopyImageToFile(nodeId, path, imageFormat, &m_reason);
    default: return false;
  }
}

}  // namespace mlf
