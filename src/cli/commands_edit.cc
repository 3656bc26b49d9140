// The commands that change a file: new, mkdir, rm, mv and passwd.
#include <iostream>

#include "cli/commands.h"
#include "cli/encryption_choice.h"
#include "cli/note_tree.h"
#include "crypt/crypt_dll_handler.h"
#include "platform/codepage.h"
#include "platform/env.h"
#include "store/node.h"

namespace mlf::cli {
namespace {

// The path's parts after "//".
std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  if (path.rfind("//", 0) != 0) return parts;
  for (size_t start = 2; start < path.size();) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

bool IsBelow(const CMarrowleafDoc& doc, uint32_t node, uint32_t ancestor) {
  NTV record;
  for (size_t steps = 0; doc.Data_GetItem(node, record) && steps <= doc.Data_GetCount(); ++steps) {
    if (record.nParent == ancestor) return true;
    node = record.nParent;
  }
  return false;
}

}  // namespace

int RunNew(Context& context) {
  const std::string& path = context.options.arguments[0];
  if (Env::Default().FileExists(path)) {
    std::cerr << path << " already exists\n";
    return kExitUsage;
  }
  CMarrowleafDoc doc;
  doc.OnNewDocument();
  return SaveNoteFile(doc, path) ? kExitOk : kExitProblem;
}

int RunMkdir(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::vector<std::string> parts = PathParts(context.options.arguments[1]);
  if (parts.empty()) {
    std::cerr << "A folder path looks like //Folder/Subfolder\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  uint32_t parent = 0;
  std::string sofar = "/";
  for (const std::string& part : parts) {
    sofar += "/" + part;
    uint32_t existing = FindNode(*doc, sofar);
    if (existing) {
      NTV record;
      doc->Data_GetItem(existing, record);
      if (record.nType != ntFolder) {
        std::cerr << path << ": " << sofar << " is not a folder\n";
        return kExitProblem;
      }
      parent = existing;
      continue;
    }
    CMlfNode folder;
    folder.Create(doc.get(), ntFolder, Utf8ToStoredText(part).c_str(), parent);
    parent = folder.GetId();
  }
  return SaveNoteFile(*doc, path) ? kExitOk : kExitProblem;
}

int RunRemove(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, path, context.options.arguments[1]);
  if (!id) return kExitProblem;
  doc->Data_DeleteItem(id);
  return SaveNoteFile(*doc, path) ? kExitOk : kExitProblem;
}

int RunMove(Context& context) {
  const std::string& path = context.options.arguments[0];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  uint32_t id = ResolveNode(*doc, path, context.options.arguments[1]);
  if (!id) return kExitProblem;
  std::string into = context.options.Value("--into").value_or("//");
  uint32_t target = into == "//" ? 0 : ResolveNode(*doc, path, into);
  NTV folder;
  if (into != "//" && (!target || !doc->Data_GetItem(target, folder) || folder.nType != ntFolder)) {
    if (target) std::cerr << path << ": " << into << " is not a folder (// is the top level)\n";
    return kExitProblem;
  }
  if (target == id || IsBelow(*doc, target, id)) {
    std::cerr << path << ": " << context.options.arguments[1] << ": a folder cannot move into itself\n";
    return kExitProblem;
  }
  CMlfNode node(doc.get(), id);
  node.SetParent(target);
  node.Update(true);
  return SaveNoteFile(*doc, path) ? kExitOk : kExitProblem;
}

int RunPasswd(Context& context) {
  const std::string& path = context.options.arguments[0];
  bool remove = context.options.Has("--remove");
  if (remove && (context.options.Has("--cipher") || context.options.Has("--kdf"))) {
    std::cerr << "--remove takes no --cipher or --kdf\n";
    return kExitUsage;
  }
  std::optional<EncryptionSettings> chosen = ReadEncryptionOptions(context.options, AppCrypt());
  if (!chosen) return kExitUsage;
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(path);
  if (!doc) return kExitUsage;
  if (remove) {
    doc->SetFileEncryption(0, 0, 0, SecureString());
  } else {
    const CryptProvider& crypt = doc->GetCryptProvider();
    if (!crypt.IsAvailable()) {
      std::cerr << "Encryption is not available: the encryption module could not be loaded\n";
      return kExitProblem;
    }
    PasswordRequest request;
    request.mode = kPasswordSet;
    request.document = doc.get();
    std::optional<PasswordAnswer> answer = context.prompts.AskPassword(request);
    if (!answer || answer->newText.empty()) {
      std::cerr << path << ": no password was given; the file is unchanged\n";
      return kExitProblem;
    }
    FileEncryption encryption = doc->GetFileEncryption();
    EncryptionSettings settings = SettingsForNewPassword(
        *chosen, {encryption.nCryptType, encryption.nKeyLength, encryption.nHashType}, crypt);
    doc->SetFileEncryption(settings.cipher, settings.keyLength, settings.keyDerivation, answer->newText);
  }
  return SaveNoteFile(*doc, path) ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
