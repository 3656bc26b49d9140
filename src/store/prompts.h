// Every message box and password question that core code raises goes through Prompts, so the
// desktop program answers with dialogs, the command-line tool on the terminal and the tests
// from a script. Core code never shows anything itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/secure_memory.h"

namespace mlf {

class CMarrowleafDoc;

// The caption of message boxes that name no caption of their own.
inline constexpr const char* kAppCaption = "Marrowleaf";

enum class MessageIcon { None, Stop, Exclamation, Question, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// The password dialog's mode bits.
enum PasswordMode : uint32_t {
  kPasswordEnter = 1,    // enter (or verify) an existing password
  kPasswordSet = 2,      // set a new password
  kPasswordConfirm = 4,  // confirm a new password
};

struct PasswordRequest {
  uint32_t mode = kPasswordEnter;
  CMarrowleafDoc* document = nullptr;  // the document of the node to verify
  uint32_t nodeId = 0;                 // the node whose password is verified; 0 = none
  std::string caption;                 // shown above the question, may be empty
  SecureString presetNew;              // mode 4: the new password to be confirmed
};

// What the user does about a note file that another program changed since it was read.
enum class ChangedFileAnswer { SaveAs, Overwrite, KeepEditing };

struct PasswordAnswer {
  SecureString first;    // the password entered, the old password, or the confirmation
  SecureString newText;  // the new password (modes 2 and 4)
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                                MessageButtons buttons) = 0;
  // Empty when the user cancelled.
  virtual std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) = 0;
  // Saving would overwrite a change another program made to the file at path. By default a
  // Yes/No/Cancel message: Yes saves elsewhere, No overwrites, Cancel (and any other answer)
  // keeps editing; the program names the three choices on its own buttons.
  virtual ChangedFileAnswer AskChangedFile(const std::string& path);
};

// The opening of the question about a file another program changed, the same with any buttons.
std::string ChangedFileQuestion(const std::string& path);

// The prompts of the process: installed by the program at start; until then a quiet one that
// writes each message to the log and answers as a cancelled dialog would.
Prompts& AppPrompts();
void SetAppPrompts(Prompts* prompts);

}  // namespace mlf
