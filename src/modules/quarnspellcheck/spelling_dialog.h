// The spelling dialog: walks the editor's text from a position to its end, selects each
// misspelt word in the editor and lets the user change, ignore or add it. Every change is an
// edit of the editor's own document, so the editor's undo takes it back and its owner sees the
// note modified as after typing. Ends with "The spelling check is complete." unless cancelled.
//
// The controls carry object names (notInDictionary, changeTo, suggestions, change, changeAll,
// ignore, ignoreAll, add, cancel) for tests that drive the dialog.
#pragma once

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QTextCursor>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace quarnspell {

class ModuleState;
class Speller;

class SpellingDialog : public QDialog {
  Q_OBJECT

 public:
  SpellingDialog(QTextEdit& editor, Speller& speller, ModuleState& state, QWidget* owner);

  // Runs the check from position from; returns when the text is done or the user cancelled.
  void Run(int from);

 private:
  void Change();
  void ChangeAll();
  void IgnoreOnce();
  void IgnoreAll();
  void AddToDictionary();
  // Replaces the current word and goes on after the replacement.
  void Replace(const QString& replacement);
  // Selects the next misspelt word after position from and shows it; ends the check when
  // there is none. Words chosen for Change All are replaced on the way.
  void ShowNextFrom(int from);
  void Complete();
  // Moves the dialog off the line of the selected word.
  void KeepWordInSight();

  QPointer<QTextEdit> m_editor;
  Speller& m_speller;
  ModuleState& m_state;
  QTextCursor m_word;
  QHash<QString, QString> m_changeAll;
  QLineEdit* m_notInDictionary;  // the misspelt word, read-only
  QLineEdit* m_changeTo;
  QListWidget* m_suggestions;
  QPushButton* m_changeButton;
  QPushButton* m_changeAllButton;
};

}  // namespace quarnspell
