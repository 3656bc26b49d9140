#include "dialogs/node_password_question.h"

#include "store/node_password.h"
#include "store/prompts.h"

namespace mlf {

std::optional<SecureString> AskNodePasswordUntilRight(CMarrowleafDoc& document, uint32_t nodeId) {
  PasswordRequest request;
  request.mode = kPasswordEnter;
  request.document = &document;
  request.nodeId = nodeId;
  // The password dialog verifies before it closes; checking here too keeps every other
  // answerer of the question (a script, a terminal) from opening a node with a wrong password.
  for (;;) {
    std::optional<PasswordAnswer> answer = AppPrompts().AskPassword(request);
    if (!answer) return std::nullopt;
    if (VerifyNodePassword(document, nodeId, answer->first)) return std::move(answer->first);
    AppPrompts().Message("Incorrect password!", "User Authentication", MessageIcon::Exclamation, MessageButtons::Ok);
  }
}

}  // namespace mlf
