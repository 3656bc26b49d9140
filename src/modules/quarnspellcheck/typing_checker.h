// Checking as the user types, in an editor that asks for it with the dynamic property
// "quarnSpellCheckAsYouType" set to true. The misspelt words on screen are underlined with a
// red wavy line drawn as extra selections of the editor: they lie over the text and are no
// part of the document, so the note's text, formatting, undo steps and modified flag stay as
// they are. Only the words on screen are checked, so the cost of a keystroke does not grow
// with the note. Right-click on a marked word puts its suggestions, "Ignore All" and "Add to
// Dictionary" at the top of the editor's context menu.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <QTimer>

class QMenu;
class QTextEdit;

namespace quarnspell {

class ModuleState;

// One editor's marks; a child of the editor, so it goes with it.
class TypingChecker : public QObject {
  Q_OBJECT

 public:
  TypingChecker(QTextEdit& editor, ModuleState& state);

  // Marks the words on screen again once control returns to the event loop.
  void Refresh() { m_pending.start(); }
  // Marks the words on screen now; returns how many are marked.
  int MarkVisibleWords();
  void ClearMarks();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The misspelt word at a point of the viewport, selected; null when there is none.
  QTextCursor MisspeltWordAt(const QPoint& point) const;
  void AddWordActions(QMenu& menu);

  QTextEdit& m_editor;
  ModuleState& m_state;
  QTimer m_pending;
  QTextCursor m_menuWord;  // the word the next context menu of the editor is about
};

// Attaches a TypingChecker to every editor that asks for one when it is shown; installed on
// the application while the module runs.
class TypingWatcher : public QObject {
  Q_OBJECT

 public:
  explicit TypingWatcher(ModuleState& state);
  ~TypingWatcher() override;
  // After a change of the settings or the personal words: every editor marks its words again.
  void RefreshAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ModuleState& m_state;
  QList<QPointer<TypingChecker>> m_checkers;
};

}  // namespace quarnspell
