#include "store/node_unlock.h"

#include "crypt/crypt_provider.h"
#include "store/document.h"
#include "store/node_password.h"
#include "store/prompts.h"

namespace mlf {

bool CanAccessEncryptedNode(CMarrowleafDoc& document, uint32_t nodeId) {
  NTV record;
  const CryptProvider& crypt = document.GetCryptProvider();
  if (document.Data_GetItem(nodeId, record) && crypt.IsAvailable() && crypt.IsCipherSupported(record.nCryptType) &&
      crypt.MaxKeyLength() >= record.nKeyLength)
    return true;
  AppPrompts().Message("You cannot access this encrypted node.\n\nEncryption is not available or not compatible.",
                       kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  return false;
}

std::optional<SecureString> AskNodePassword(CMarrowleafDoc& document, uint32_t nodeId) {
  PasswordRequest request;
  request.mode = kPasswordEnter;
  request.document = &document;
  request.nodeId = nodeId;
  std::optional<PasswordAnswer> answer = AppPrompts().AskPassword(request);
  if (!answer) return std::nullopt;
  if (!VerifyNodePassword(document, nodeId, answer->first)) {
    AppPrompts().Message("Incorrect password!", "User Authentication", MessageIcon::Exclamation, MessageButtons::Ok);
    return std::nullopt;
  }
  return answer->first;
}

}  // namespace mlf
