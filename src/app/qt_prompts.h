// The program's answer to the core's prompts: Qt message boxes with the caption, icon and
// buttons asked for, and the password dialog.
#pragma once

#include <functional>

#include "store/prompts.h"

namespace mlf {

class QtPrompts : public Prompts {
 public:
  // beforeShow runs before any box or dialog appears (it closes the splash).
  explicit QtPrompts(std::function<void()> beforeShow = nullptr) : m_beforeShow(std::move(beforeShow)) {}

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                        MessageButtons buttons) override;
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) override;
  // A box with the buttons "Save As...", "Overwrite" and "Keep Editing" (the default).
  ChangedFileAnswer AskChangedFile(const std::string& path) override;

 private:
  std::function<void()> m_beforeShow;
};

}  // namespace mlf
