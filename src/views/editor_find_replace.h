// The note editor's find and replace: one modeless find dialog per editor, the last texts and
// options it was given, and find next, replace and replace all on the editor's text.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "dialogs/find_replace_dlg.h"
#include "views/text_finder.h"

class QTextEdit;

namespace mlf {

class EditorFindReplace {
 public:
  explicit EditorFindReplace(QTextEdit& edit);
  ~EditorFindReplace();

  // Shows the dialog of the kind asked for (closing one of the other kind), its find text the
  // selection unless that is empty or spans lines.
  void ShowDialog(bool replace);
  CFindReplaceDlg* Dialog() const { return m_dialog; }
  // What a search that finds nothing more does (a beep).
  void SetBeep(std::function<void()> beep) { m_beep = std::move(beep); }

  bool FindNext();
  // Replaces a selected hit, then finds the next.
  void ReplaceOne();
  // Replaces every hit once around, downwards, as one undo step.
  void ReplaceAll();

 private:
  QString InitialFindText() const;
  void Remember(const CFindReplaceDlg& dialog);
  void NotFound();

  QTextEdit& m_edit;
  TextFinder m_finder;
  QPointer<CFindReplaceDlg> m_dialog;
  QString m_lastFind;
  QString m_lastReplace;
  FindOptions m_lastOptions;
  std::function<void()> m_beep;
};

}  // namespace mlf
