// CFindReplaceDlg: the modeless Find or Replace dialog of a note editor. It only collects the
// texts and options and says which button was pressed; the editor searches.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mlf {

class CFindReplaceDlg : public QDialog {
  Q_OBJECT
 public:
  // With replace, the dialog also has "Replace with:", "Replace" and "Replace All".
  CFindReplaceDlg(bool replace, QWidget* parent = nullptr);

  bool IsReplace() const { return m_replace; }
  void SetTexts(const QString& find, const QString& replace);
  void SetOptions(bool matchCase, bool wholeWord, bool down);
  QString FindText() const;
  QString ReplaceText() const;
  bool MatchCase() const;
  bool WholeWord() const;
  bool SearchDown() const;

  // Moves the dialog above or below the found text when it covers it (screen coordinates).
  void MoveOutOfTheWay(const QRect& hit);

  QPushButton* FindNextButton() const { return m_findNext; }
  QPushButton* ReplaceButton() const { return m_replaceOne; }
  QPushButton* ReplaceAllButton() const { return m_replaceAll; }

 Q_SIGNALS:
  void FindNextRequested();
  void ReplaceRequested();
  void ReplaceAllRequested();
  // The dialog closed; it deletes itself.
  void Closed();

 protected:
  void done(int result) override;

 private:
  void UpdateButtons();

  bool m_replace;
  QLineEdit* m_find;
  QLineEdit* m_replaceWith = nullptr;
  QCheckBox* m_wholeWord;
  QCheckBox* m_matchCase;
  QRadioButton* m_up;
  QRadioButton* m_down;
  QPushButton* m_findNext;
  QPushButton* m_replaceOne = nullptr;
  QPushButton* m_replaceAll = nullptr;
};

}  // namespace mlf
