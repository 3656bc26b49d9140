// CTaskSelDlg: picks one task of a document. A click on a task flashes its row and chooses it;
// closing the dialog otherwise chooses none.
#pragma once

#include <QDialog>
#include <cstdint>

namespace mlf {

class CMarrowleafDoc;
class CTaskCtrl;

class CTaskSelDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTaskSelDlg(CMarrowleafDoc& document, QWidget* parent = nullptr);

  // The chosen task's id, -1 when none was chosen.
  int64_t ChosenTask() const { return m_chosen; }
  CTaskCtrl* TaskList() const { return m_list; }

 private:
  void OnClicked();

  int64_t m_chosen = -1;
  CTaskCtrl* m_list;
};

}  // namespace mlf
