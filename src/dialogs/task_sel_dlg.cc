#include "dialogs/task_sel_dlg.h"

#include <QVBoxLayout>

#include "tree/task_ctrl.h"

namespace mlf {

CTaskSelDlg::CTaskSelDlg(CMarrowleafDoc& document, QWidget* parent) : QDialog(parent), m_list(new CTaskCtrl(this)) {
  setWindowTitle(QStringLiteral("Select Task"));
  m_list->SetSelectionMode(true);
  m_list->SetDocument(&document);
  m_list->FillTasks();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(m_list);
  resize(450, 160);
  connect(m_list, &QTreeWidget::itemClicked, this, &CTaskSelDlg::OnClicked);
}

void CTaskSelDlg::OnClicked() {
  QTreeWidgetItem* row = m_list->currentItem();
  if (!row || !row->isSelected()) return;
  // The flash shows which task was taken; it ends with the row selected.
  m_list->FlashTaskRow(m_list->indexOfTopLevelItem(row), 8);
  m_chosen = CTaskCtrl::TaskId(row);
  accept();
}

}  // namespace mlf
