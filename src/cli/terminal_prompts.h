// Prompts on the terminal: messages go to standard error; a question takes its answer from
// --yes or --no, else from the terminal, else the cautious answer (No, Cancel or Abort).
// Passwords come from a file given on the command line, else from the terminal without echo.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/prompts.h"

namespace mlf::cli {

class TerminalPrompts : public Prompts {
 public:
  // answer: true for --yes, false for --no, empty to ask.
  TerminalPrompts(std::optional<bool> answer, std::optional<std::string> passwordFile,
                  std::optional<std::string> newPasswordFile);

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                        MessageButtons buttons) override;
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) override;
  // mlf never writes over a change another program made: it says so and writes nothing.
  ChangedFileAnswer AskChangedFile(const std::string& path) override;

  // Keeps messages for the caller instead of printing them (the check command lists them).
  void Collect(bool collect) { m_collect = collect; }
  std::vector<std::string> TakeCollected();

 private:
  std::optional<SecureString> ReadPassword(const std::optional<std::string>& file, const char* question);

  std::optional<bool> m_answer;
  std::optional<std::string> m_passwordFile;
  std::optional<std::string> m_newPasswordFile;
  bool m_collect = false;
  std::vector<std::string> m_collected;
};

}  // namespace mlf::cli
