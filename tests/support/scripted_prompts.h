// Prompts answered from a script: every message and password question is recorded, and the
// answers are taken from queues (a default when a queue is empty).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "store/prompts.h"

namespace mlf::test {

struct RecordedMessage {
  std::string text;
  std::string caption;
  MessageIcon icon;
  MessageButtons buttons;
};

class ScriptedPrompts : public Prompts {
 public:
  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                        MessageButtons buttons) override;
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) override;

  // Answers for the next questions, in order.
  void QueueAnswer(MessageAnswer answer) { answers.push_back(answer); }
  // A password for the next question; an empty optional cancels it.
  void QueuePassword(std::optional<std::string> password) { passwords.push_back(std::move(password)); }

  std::deque<MessageAnswer> answers;
  std::deque<std::optional<std::string>> passwords;
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
  std::vector<RecordedMessage> messages;
  std::vector<PasswordRequest> passwordRequests;
};

// Installs a ScriptedPrompts as the process prompts for the life of the object.
class ScopedAppPrompts {
 public:
  explicit ScopedAppPrompts(Prompts& prompts) { SetAppPrompts(&prompts); }
  ~ScopedAppPrompts() { SetAppPrompts(nullptr); }
};

}  // namespace mlf::test
