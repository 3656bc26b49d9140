#include "support/scripted_prompts.h"

namespace mlf::test {

MessageAnswer ScriptedPrompts::Message(const std::string& text, const std::string& caption, MessageIcon icon,
                                       MessageButtons buttons) {
  messages.push_back({text, caption, icon, buttons});
  if (answers.empty()) return defaultAnswer;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<PasswordAnswer> ScriptedPrompts::AskPassword(const PasswordRequest& request) {
  passwordRequests.push_back(request);
  if (passwords.empty()) return std::nullopt;
  std::optional<std::string> password = passwords.front();
  passwords.pop_front();
  if (!password) return std::nullopt;
  PasswordAnswer answer;
  answer.first = SecureString(*password);
  answer.newText = SecureString(*password);
  return answer;
}

}  // namespace mlf::test
