// Opening and saving for the commands, and salvage.
#include <unistd.h>

#include <iostream>

#include "cli/commands.h"
#include "cli/note_tree.h"
#include "exchange/content_reader.h"
#include "exchange/export_helper.h"
#include "platform/path.h"
#include "settings/settings.h"
#include "store/node.h"
#include "store/node_data.h"

namespace mlf::cli {
namespace {

uint32_t g_backupsKept = MlfSettings{}.BackupsKept();

// A file name for a node's content: "<id> <title>" and its type's extension (an image's comes
// from its format), with every character that could leave the folder or trouble a file system
// replaced. The id keeps every name apart, so nothing salvaged is ever overwritten.
std::string SalvageName(const NTV& r) {
  std::string title = ShownTitle(r.strTitle);
  for (char& c : title)
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
        static_cast<unsigned char>(c) < 0x20)
      c = '_';
  if (title.empty() || title == "." || title == "..") title = "untitled";
  const char* extension = r.nType == ntNote ? ".rtf" : r.nType == ntHtml ? ".html" : r.nType == ntImage ? "" : ".dat";
  return std::to_string(r.nIndex) + " " + title + extension;
}

}  // namespace

bool CanGivePasswords(const Context& context) {
  return context.options.Has("--password-file") || isatty(STDIN_FILENO);
}

std::unique_ptr<CMarrowleafDoc> OpenNoteFile(const std::string& path, CMarrowleafDoc::OpenMode mode) {
  auto doc = std::make_unique<CMarrowleafDoc>();
  if (doc->OnOpenDocument(path, mode)) return doc;
  std::cerr << "mlf: " << path << " was not opened\n";  // after the reason, when there is one
  return nullptr;
}

uint32_t ResolveNode(const CMarrowleafDoc& doc, const std::string& file, const std::string& path) {
  std::vector<uint32_t> found = FindNodes(doc, path);
  if (found.size() == 1) return found.front();
  if (found.empty()) {
    bool looksLikePath = path.rfind("//", 0) == 0 || path.rfind("#", 0) == 0;
    std::cerr << file << ": no node " << path << (looksLikePath ? "" : " (a path starts with // or #)") << "\n";
    return 0;
  }
  std::cerr << file << ": " << path << " names " << found.size() << " nodes:";
  for (uint32_t id : found) std::cerr << " #" << id;
  std::cerr << "; name one by its id\n";
  return 0;
}

void SetBackupsKept(uint32_t count) { g_backupsKept = count; }

bool SaveNoteFile(CMarrowleafDoc& doc, const std::string& path) {
  doc.SetBackupCount(g_backupsKept);
  return doc.OnSaveDocument(path);
}

int RunSalvage(Context& context) {
  const std::string& path = context.options.arguments[0];
  const std::string& folder = context.options.arguments[1];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path, CMarrowleafDoc::OpenMode::Salvage);
  if (!doc) return kExitUsage;
  try {
    Env::Default().CreateDirectory(folder);
  } catch (const FileError& error) {
    std::cerr << error.what() << "\n";
    return kExitUsage;
  }
  size_t saved = 0, lost = 0, locked = 0;
  bool passwords = CanGivePasswords(context);
  for (const TreeRow& row : TreeRows(*doc)) {
    const NTV& r = row.record;
    CMlfNode node(doc.get(), r.nIndex);
    if (!node.HasContent()) continue;
    std::string where = ShownTitle(doc->Data_GetItemPath(r.nIndex));
    bool unlockedHere = false;
    std::string reason = passwords || !node.IsEncrypted() ? UnlockNode(*doc, r.nIndex, unlockedHere)
                                                          : "encrypted with a node password";
    locked += !passwords && node.IsEncrypted();
    // Written through the export helper: owner-only when decrypted, and nothing of a damaged stream.
    CExportHelper helper(*doc, nullptr);
    if (reason.empty() && !helper.WriteNode(r.nIndex, JoinPath(folder, SalvageName(r)), 0)) reason = helper.Reason();
    if (unlockedHere) LockAgain(*doc, r.nIndex);
    if (reason.empty()) {
      ++saved;
      continue;
    }
    std::cout << "skipped  #" << r.nIndex << " " << where << ": " << reason << "\n";
    ++lost;
  }
  if (locked) std::cout << locked << " encrypted node(s) not read; --password-file F reads them\n";
  std::cout << saved << " node(s) saved to " << folder << ", " << lost << " skipped\n";
  return lost ? kExitProblem : kExitOk;
}

}  // namespace mlf::cli
