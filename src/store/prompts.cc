#include "store/prompts.h"

#include <atomic>

#include "diagnostics/log.h"

namespace mlf {
namespace {

MessageAnswer CancelAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::AbortRetryIgnore: return MessageAnswer::Abort;
    default: return MessageAnswer::Cancel;
  }
}

class QuietPrompts final : public Prompts {
 public:
  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon,
                        MessageButtons buttons) override {
    AppLog().WriteLine("MESSAGE: " + (caption.empty() ? text : caption + ": " + text));
    return CancelAnswer(buttons);
  }
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest&) override { return std::nullopt; }
};

QuietPrompts g_quietPrompts;
std::atomic<Prompts*> g_appPrompts{&g_quietPrompts};

}  // namespace

std::string ChangedFileQuestion(const std::string& path) {
  return "'" + path + "' was changed by another program since it was opened or last saved.\n\n"
         "Saving now would overwrite that change.";
}

ChangedFileAnswer Prompts::AskChangedFile(const std::string& path) {
  std::string text = ChangedFileQuestion(path) +
                     " Yes saves your version to another file (Save As), No overwrites the file with your version, "
                     "Cancel keeps editing without saving.";
  switch (Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes: return ChangedFileAnswer::SaveAs;
    case MessageAnswer::No: return ChangedFileAnswer::Overwrite;
    default: return ChangedFileAnswer::KeepEditing;
  }
}

Prompts& AppPrompts() { return *g_appPrompts.load(); }

void SetAppPrompts(Prompts* prompts) { g_appPrompts = prompts ? prompts : &g_quietPrompts; }

}  // namespace mlf
