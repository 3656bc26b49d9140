// The exported entry points: record and handle checks, then the work in the files beside this
// one. Every failure leaves its reason for ordinal 11. Nothing here throws.
#include <QApplication>
#include <QTextEdit>
#include <QWidget>

#include <cstring>
#include <string>

#include "modules/quarnspellcheck/module_state.h"
#include "modules/quarnspellcheck/options_dialog.h"
#include "modules/quarnspellcheck/quarnspellcheck_abi.h"
#include "modules/quarnspellcheck/spelling_dialog.h"

static_assert(sizeof(QuarnSpellInit) == 40 && sizeof(QuarnSpellOpen) == 4 && sizeof(QuarnSpellOptions) == 8 &&
              sizeof(QuarnSpellCheck) == 20);

namespace quarnspell {
namespace {

thread_local std::string lastError;

int32_t Fail(const QString& reason) {
  lastError = reason.toStdString();
  return QUARNSPELL_FAILED;
}

int32_t Succeed() {
  lastError.clear();
  return 0;
}

// The reason a record cannot be used, or empty.
template <typename Record>
QString RecordProblem(const Record* record, const char* name) {
  if (!record) return QString("No %1 record was given.").arg(name);
  if (record->size != sizeof(Record))
    return QString("The %1 record has %2 bytes instead of %3.").arg(name).arg(record->size).arg(sizeof(Record));
  return {};
}

QString CheckerProblem(const QuarnSpellChecker* checker) {
  if (!ModuleState::Instance().IsStarted()) return "The spell-check module was not initialised.";
  if (!checker) return "No checker was given.";
  if (!ModuleState::Instance().IsOpen(checker)) return "The checker is not open.";
  return {};
}

// The dialogs need the program's user interface, on its thread.
QString UserInterfaceProblem() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return "The spell checker needs the program's user interface.";
  return {};
}

// Native window ids arrive as 32-bit values; see docs/architecture.md.
QWidget* WidgetOf(uint32_t windowId) { return windowId ? QWidget::find(static_cast<WId>(windowId)) : nullptr; }

}  // namespace
}  // namespace quarnspell

using namespace quarnspell;

extern "C" {

QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_1(const QuarnSpellInit* init) {
  if (QString problem = RecordProblem(init, "init"); !problem.isEmpty()) return Fail(problem);
  if (!std::memchr(init->applicationName, '\0', sizeof(init->applicationName)))
    return Fail("The application name of the init record is not terminated.");
  if (!ModuleState::Instance().IsStarted()) ModuleState::Instance().Start();
  return Succeed();
}

QUARNSPELL_EXPORT void QUARNSPELL_CALL quarnspellcheck_2(void) {
  ModuleState::Instance().Stop();
  lastError.clear();
}

QUARNSPELL_EXPORT const char* QUARNSPELL_CALL quarnspellcheck_11(void) { return lastError.c_str(); }

QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_20(QuarnSpellChecker** checker, const QuarnSpellOpen* open) {
  if (!checker) return Fail("No place for the checker was given.");
  if (QString problem = RecordProblem(open, "open"); !problem.isEmpty()) return Fail(problem);
  if (!ModuleState::Instance().IsStarted()) return Fail("The spell-check module was not initialised.");
  *checker = ModuleState::Instance().OpenChecker();
  return Succeed();
}

QUARNSPELL_EXPORT void QUARNSPELL_CALL quarnspellcheck_21(QuarnSpellChecker* checker) {
  ModuleState::Instance().CloseChecker(checker);
}

QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_30(QuarnSpellChecker* checker,
                                                            const QuarnSpellOptions* options) {
  if (QString problem = CheckerProblem(checker); !problem.isEmpty()) return Fail(problem);
  if (QString problem = RecordProblem(options, "options"); !problem.isEmpty()) return Fail(problem);
  if (QString problem = UserInterfaceProblem(); !problem.isEmpty()) return Fail(problem);
  OptionsDialog dialog(ModuleState::Instance(), WidgetOf(options->ownerWindow));
  dialog.exec();
  return Succeed();
}

QUARNSPELL_EXPORT int32_t QUARNSPELL_CALL quarnspellcheck_40(QuarnSpellChecker* checker, const QuarnSpellCheck* check) {
  if (QString problem = CheckerProblem(checker); !problem.isEmpty()) return Fail(problem);
  if (QString problem = RecordProblem(check, "check"); !problem.isEmpty()) return Fail(problem);
  if (check->range != QUARNSPELL_CHECK_WHOLE_TEXT && check->range != QUARNSPELL_CHECK_FROM_CURSOR)
    return Fail(QString("The check record asks for an unknown range, %1.").arg(check->range));
  if (!checker->speller) return Fail(checker->error);
  if (QString problem = UserInterfaceProblem(); !problem.isEmpty()) return Fail(problem);
  auto* editor = qobject_cast<QTextEdit*>(WidgetOf(check->editorWindow));
  if (!editor) return Fail(QString("Window %1 is not a text editor.").arg(check->editorWindow));
  if (editor->isReadOnly()) return Fail("The text is read-only.");
  SpellingDialog dialog(*editor, *checker->speller, ModuleState::Instance(), WidgetOf(check->ownerWindow));
  dialog.Run(check->range == QUARNSPELL_CHECK_WHOLE_TEXT ? 0 : editor->textCursor().selectionStart());
  return Succeed();
}

}  // extern "C"
