#include "spell/spell_dll_handler.h"

#include <limits>

#include "platform/app_folders.h"
#include "platform/path.h"

namespace mlf {
namespace {

// The log names the module as on Windows, whatever the platform's file name.
constexpr const char* kLoadingText = "Calling LoadLibrary(\"libquarnspellcheck.dll\")...";
constexpr const char* kInitialisingText = "Initializing spell-checking library...";

constexpr const char* kNotAvailable = "The spell-checking library is not loaded.";
constexpr const char* kWindowTooWide = "The window id does not fit in 32 bits.";

bool Fits32(uint64_t windowId) { return windowId <= std::numeric_limits<uint32_t>::max(); }

}  // namespace

CSpellDLLHandler::CSpellDLLHandler(CLog& log) : m_log(log) {}

const char* CSpellDLLHandler::ModuleFileName() {
#ifdef _WIN32
  return "libquarnspellcheck.dll";
#else
  return "libquarnspellcheck.so";
#endif
}

bool CSpellDLLHandler::Start(Env& env) { return StartFrom(env, LocateAppFolders(env).modules); }

bool CSpellDLLHandler::StartFrom(Env& env, const std::string& folder) {
  Shutdown();
  m_log.Write(kLoadingText);
  m_module = ResolveSpellModule(env.LoadLibrary(JoinPath(folder, ModuleFileName())));
  m_log.WriteLine(m_module ? "Done." : "FAILED.");
  if (!m_module) return false;
  m_log.Write(kInitialisingText);
  const QuarnSpellInit init = MakeInitRecord();
  m_initialised = m_module->initialise(&init) >= 0;
  m_log.WriteLine(m_initialised ? "Done." : "FAILED.");
  return m_initialised;
}

void CSpellDLLHandler::Shutdown() {
  if (m_module && m_initialised) m_module->shutdown();
  m_initialised = false;
  m_module.reset();
}

SpellOutcome CSpellDLLHandler::Failure() const {
  const char* text = m_module->lastError();
  return {false, text ? text : ""};
}

// Opens a checker (the handle set to null first), lets use run with it, and closes it
// whenever one was opened.
template <typename Use>
SpellOutcome CSpellDLLHandler::WithChecker(Use use) const {
  if (!IsAvailable()) return {false, kNotAvailable};
  QuarnSpellChecker* checker = nullptr;
  const QuarnSpellOpen open = MakeOpenRecord();
  SpellOutcome outcome = m_module->openChecker(&checker, &open) >= 0 && use(checker) >= 0 ? SpellOutcome{true, {}}
                                                                                          : Failure();
  if (checker) m_module->closeChecker(checker);
  return outcome;
}

SpellOutcome CSpellDLLHandler::Check(uint64_t editorWindow, uint64_t ownerWindow) const {
  if (!Fits32(editorWindow)) return {false, kWindowTooWide};
  // An owner that does not fit is left out: the dialog then centres on the editor's window.
  const QuarnSpellCheck check =
      MakeCheckRecord(static_cast<uint32_t>(editorWindow), Fits32(ownerWindow) ? static_cast<uint32_t>(ownerWindow) : 0);
  return WithChecker([&](QuarnSpellChecker* checker) { return m_module->check(checker, &check); });
}

SpellOutcome CSpellDLLHandler::ShowOptions(uint64_t ownerWindow) const {
  const QuarnSpellOptions options = MakeOptionsRecord(Fits32(ownerWindow) ? static_cast<uint32_t>(ownerWindow) : 0);
  return WithChecker([&](QuarnSpellChecker* checker) { return m_module->showOptions(checker, &options); });
}

std::string SpellCheckFailedText(const std::string& error) { return "Spell check failed, \"" + error + "\"."; }

std::string SpellOptionsFailedText(const std::string& error) {
  std::string text = "Could not show spelling options";
  if (!error.empty()) text += ", the following error was returned:\r\n\r\n" + error;
  return text;
}

CSpellDLLHandler& AppSpell() {
  static CSpellDLLHandler handler;
  return handler;
}

}  // namespace mlf
