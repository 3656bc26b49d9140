#include "views/editor_find_replace.h"

#include <QApplication>
#include <QTextEdit>

#include "widgets/wait_cursor.h"

namespace mlf {

EditorFindReplace::EditorFindReplace(QTextEdit& edit)
    : m_edit(edit), m_finder(edit), m_beep([] { QApplication::beep(); }) {}

EditorFindReplace::~EditorFindReplace() { delete m_dialog.data(); }

QString EditorFindReplace::InitialFindText() const {
  QString selected = m_edit.textCursor().selectedText();
  bool multiLine = selected.contains(QChar::ParagraphSeparator) || selected.contains(QChar::LineSeparator) ||
                   selected.contains(u'\n') || selected.contains(u'\r');
  return selected.isEmpty() || multiLine ? m_lastFind : selected;
}

void EditorFindReplace::Remember(const CFindReplaceDlg& dialog) {
  m_lastFind = dialog.FindText();
  m_lastReplace = dialog.ReplaceText();
  m_lastOptions = {dialog.MatchCase(), dialog.WholeWord(), dialog.SearchDown()};
}

void EditorFindReplace::ShowDialog(bool replace) {
  m_finder.MarkFirstSearch();
  if (m_dialog) {
    if (m_dialog->IsReplace() == replace) {
      m_dialog->show();
      m_dialog->raise();
      m_dialog->activateWindow();
      return;
    }
    CFindReplaceDlg* other = m_dialog;
    m_dialog = nullptr;
    other->close();
  }
  auto* dialog = new CFindReplaceDlg(replace, &m_edit);
  dialog->SetTexts(InitialFindText(), m_lastReplace);
  dialog->SetOptions(m_lastOptions.matchCase, m_lastOptions.wholeWord, m_lastOptions.down);
  QObject::connect(dialog, &CFindReplaceDlg::FindNextRequested, &m_edit, [this, dialog] {
    Remember(*dialog);
    FindNext();
  });
  QObject::connect(dialog, &CFindReplaceDlg::ReplaceRequested, &m_edit, [this, dialog] {
    Remember(*dialog);
    ReplaceOne();
  });
  QObject::connect(dialog, &CFindReplaceDlg::ReplaceAllRequested, &m_edit, [this, dialog] {
    Remember(*dialog);
    ReplaceAll();
  });
  QObject::connect(dialog, &CFindReplaceDlg::Closed, &m_edit, [this, dialog] { Remember(*dialog); });
  m_dialog = dialog;
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void EditorFindReplace::NotFound() { m_beep(); }

bool EditorFindReplace::FindNext() {
  WaitCursor wait;
  if (m_finder.Find(m_lastFind, m_lastOptions)) {
    m_edit.ensureCursorVisible();
    if (m_dialog && m_dialog->isVisible()) {
      QTextCursor start = m_edit.textCursor();
      start.setPosition(start.selectionStart());
      QRect hit = m_edit.cursorRect(start).united(m_edit.cursorRect());
      m_dialog->MoveOutOfTheWay(QRect(m_edit.viewport()->mapToGlobal(hit.topLeft()), hit.size()));
    }
    return true;
  }
  m_finder.MarkFirstSearch();
  NotFound();
  return false;
}

void EditorFindReplace::ReplaceOne() {
  if (m_finder.SelectionMatches(m_lastFind, m_lastOptions)) {
    QTextCursor cursor = m_edit.textCursor();
    cursor.insertText(m_lastReplace);
    m_edit.setTextCursor(cursor);
  }
  FindNext();
}

void EditorFindReplace::ReplaceAll() {
  WaitCursor wait;
  FindOptions down = m_lastOptions;
  down.down = true;
  QTextCursor selection = m_edit.textCursor();
  bool matches = m_finder.SelectionMatches(m_lastFind, down);
  // A series that begins with the selected hit ends where that hit was.
  if (matches) m_finder.StartSeriesIfFirst(selection.selectionStart());
  if (matches || m_finder.Find(m_lastFind, down)) {
    QTextCursor batch(m_edit.document());
    batch.beginEditBlock();
    do {
      // The search goes on after the replacement, so a replacement that holds the find text
      // is never replaced again.
      QTextCursor hit = m_edit.textCursor();
      hit.insertText(m_lastReplace);
      m_edit.setTextCursor(hit);
    } while (m_finder.Find(m_lastFind, down));
    batch.endEditBlock();
  }
  m_finder.MarkFirstSearch();
  NotFound();
}

}  // namespace mlf
