// CSpellDLLHandler: the one client of the spell-check module. It loads the module from the
// program's module folder and initialises it at start-up, runs Check Spelling and the
// module's options dialog, and shuts the module down as the last step of shutdown. Without
// the module every call fails with a reason, and IsAvailable() tells the commands to stay
// disabled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "diagnostics/log.h"
#include "platform/env.h"
#include "spell/spell_module.h"

namespace mlf {

// What a check or the options dialog came to: ok, or the module's reason (possibly empty).
struct SpellOutcome {
  bool ok = false;
  std::string error;
};

class CSpellDLLHandler {
 public:
  explicit CSpellDLLHandler(CLog& log = AppLog());
  CSpellDLLHandler(const CSpellDLLHandler&) = delete;
  CSpellDLLHandler& operator=(const CSpellDLLHandler&) = delete;

  // libquarnspellcheck.dll on Windows, libquarnspellcheck.so elsewhere.
  static const char* ModuleFileName();

  // Loads the module from the program's module folder (or from folder) and initialises it;
  // false when either fails. Replaces a module loaded before.
  bool Start(Env& env);
  bool StartFrom(Env& env, const std::string& folder);
  // Shuts the module down and unloads it; nothing when it was not started.
  void Shutdown();
  bool IsAvailable() const { return m_module && m_initialised; }
  // The typed entry points, for callers that build their own records; null when not loaded.
  const SpellModule* Module() const { return m_module.get(); }

  // Check Spelling on the editor window, the dialog owned by ownerWindow (0: none). Native
  // window ids travel as 32-bit values; an id that does not fit is refused.
  SpellOutcome Check(uint64_t editorWindow, uint64_t ownerWindow) const;
  // The module's options dialog, owned by ownerWindow.
  SpellOutcome ShowOptions(uint64_t ownerWindow) const;

 private:
  template <typename Use>
  SpellOutcome WithChecker(Use use) const;
  SpellOutcome Failure() const;

  CLog& m_log;
  std::unique_ptr<const SpellModule> m_module;
  bool m_initialised = false;
};

// What the user is told when Check Spelling, or Show Spelling Options, fails with the
// module's reason.
std::string SpellCheckFailedText(const std::string& error);
std::string SpellOptionsFailedText(const std::string& error);

// The handler of the process.
CSpellDLLHandler& AppSpell();

}  // namespace mlf
