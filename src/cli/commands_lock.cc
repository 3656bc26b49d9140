// The node password commands: lock sets or changes a node's password, unlock removes it. The
// old password is asked first and checked, so a wrong one changes nothing.
#include <iostream>

#include "cli/commands.h"
#include "cli/encryption_choice.h"
#include "crypt/crypt_dll_handler.h"
#include "store/node.h"
#include "store/node_unlock.h"

namespace mlf::cli {
namespace {

// The node named on the line, when it can carry a password; 0 after telling why not.
uint32_t NodeForPassword(const CMarrowleafDoc& doc, const std::string& file, const std::string& path) {
  uint32_t id = ResolveNode(doc, file, path);
  NTV record;
  if (id && doc.Data_GetItem(id, record) && record.nType == ntFolder) {
    std::cerr << file << ": " << path << " is a folder; a password goes on the nodes inside it\n";
    return 0;
  }
  return id;
}

// The node's current password, asked for and checked; none after telling why.
std::optional<SecureString> OldPassword(CMarrowleafDoc& doc, uint32_t id, const std::string& file,
                                        const std::string& path) {
  std::optional<SecureString> old;
  if (CanAccessEncryptedNode(doc, id)) old = AskNodePassword(doc, id);
  if (!old) std::cerr << file << ": " << path << ": the old password was not given correctly; nothing was changed\n";
  return old;
}

}  // namespace

int RunLock(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  std::optional<EncryptionSettings> chosen = ReadEncryptionOptions(context.options, AppCrypt());
  if (!chosen) return kExitUsage;
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = NodeForPassword(*doc, file, path);
  if (!id) return kExitProblem;
  const CryptProvider& crypt = doc->GetCryptProvider();
  if (!crypt.IsAvailable()) {
    std::cerr << "Encryption is not available: the encryption module could not be loaded\n";
    return kExitProblem;
  }
  CMlfNode node(doc.get(), id);
  EncryptionSettings current;
  SecureString old;
  if (node.IsEncrypted()) {
    std::optional<SecureString> given = OldPassword(*doc, id, file, path);
    if (!given) return kExitProblem;
    old = *given;
    current = {node.GetCryptType(), node.GetKeyLength(), node.GetHashType()};
  }
  PasswordRequest request;
  request.mode = kPasswordSet;
  request.document = doc.get();
  request.nodeId = id;
  std::optional<PasswordAnswer> answer = context.prompts.AskPassword(request);
  if (!answer || answer->newText.empty()) {
    std::cerr << file << ": " << path << ": no new password was given; nothing was changed\n";
    return kExitProblem;
  }
  EncryptionSettings settings = SettingsForNewPassword(*chosen, current, crypt);
  if (!doc->SetNodeEncryption(id, settings.cipher, settings.keyLength, settings.keyDerivation, answer->newText, old)) {
    std::cerr << file << ": " << path << ": the node could not be encrypted; nothing was changed\n";
    return kExitProblem;
  }
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

int RunUnlock(Context& context) {
  const std::string& file = context.options.arguments[0];
  const std::string& path = context.options.arguments[1];
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  uint32_t id = NodeForPassword(*doc, file, path);
  if (!id) return kExitProblem;
  if (!CMlfNode(doc.get(), id).IsEncrypted()) {
    std::cerr << file << ": " << path << " has no password\n";
    return kExitProblem;
  }
  std::optional<SecureString> old = OldPassword(*doc, id, file, path);
  if (!old) return kExitProblem;
  if (!doc->SetNodeEncryption(id, 0, 0, 0, SecureString(), *old)) {
    std::cerr << file << ": " << path << ": the node could not be decrypted; nothing was changed\n";
    return kExitProblem;
  }
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
