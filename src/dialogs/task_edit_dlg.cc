#include "dialogs/task_edit_dlg.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <iterator>

#include "store/new_task.h"
#include "store/prompts.h"
#include "widgets/stored_text.h"

namespace mlf {
namespace {

constexpr uint8_t kPriorities[] = {kPriorityIdle, kPriorityLow, kPriorityNormal, kPriorityHigh, kPriorityUrgent};

// Stored times are seconds since 1970 read as unsigned, shown in local time.
QDateTime LocalTime(uint32_t seconds) { return QDateTime::fromSecsSinceEpoch(qint64(seconds)); }

// The pickers offer only dates a stored time can hold.
void LimitToStoredTimes(QDateTimeEdit* edit) {
  edit->setDateRange(QDate(1970, 1, 2), QDate(2106, 2, 6));
}

}  // namespace

CTaskEditDlg::CTaskEditDlg(bool edit, QWidget* parent)
    : QDialog(parent),
      m_task(NewTaskDefaults(time(nullptr))),
      m_title(new QLineEdit(this)),
      m_created(new QDateTimeEdit(this)),
      m_dueDate(new QDateEdit(this)),
      m_dueTime(new QTimeEdit(this)),
      m_priority(new QComboBox(this)),
      m_notes(new QPlainTextEdit(this)) {
  setWindowTitle(edit ? QStringLiteral("Edit Task") : QStringLiteral("Add Task"));
  m_created->setDisplayFormat(QStringLiteral("ddd dd-MMM-yyyy HH:mm"));
  m_created->setEnabled(false);
  m_dueDate->setDisplayFormat(QStringLiteral("ddd dd-MMM-yyyy"));
  m_dueDate->setCalendarPopup(true);
  m_dueTime->setDisplayFormat(QStringLiteral("HH:mm"));
  for (QDateTimeEdit* picker : {m_created, static_cast<QDateTimeEdit*>(m_dueDate)}) LimitToStoredTimes(picker);
  for (uint8_t value : kPriorities) m_priority->addItem(QString::fromLatin1(PriorityName(value)), int(value));
  m_priority->setMaxVisibleItems(int(std::size(kPriorities)));
  m_notes->setTabChangesFocus(true);
  m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_notes->setMinimumHeight(90);

  // The due row holds two pickers; each carries its own name for screen readers.
  m_dueDate->setAccessibleName(QStringLiteral("Due Date"));
  m_dueTime->setAccessibleName(QStringLiteral("Due Time"));
  auto* due = new QHBoxLayout;
  due->addWidget(m_dueDate, 1);
  due->addWidget(m_dueTime);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Title:"), m_title);
  form->addRow(QStringLiteral("Created:"), m_created);
  form->addRow(QStringLiteral("Due Date:"), due);
  form->addRow(QStringLiteral("Priority:"), m_priority);
  form->addRow(QStringLiteral("Notes:"), m_notes);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setMinimumWidth(420);
  SetTask(m_task);
}

void CTaskEditDlg::SetTask(const MLFTASK& task) {
  m_task = task;
  m_title->setText(FromStored(task.strTitle));
  m_notes->setPlainText(FromStored(task.strNotes));
  m_created->setDateTime(LocalTime(task.nCreated));
  QDateTime due = LocalTime(task.nDue);
  m_dueDate->setDate(due.date());
  m_dueTime->setTime(due.time());
  m_priority->setCurrentIndex(m_priority->findData(int(task.nPriority)));  // none for an unknown value
}

MLFTASK CTaskEditDlg::Task() const {
  MLFTASK task = m_task;
  task.strTitle = ToStored(m_title->text());
  task.strNotes = ToStored(m_notes->toPlainText());
  QTime time = m_dueTime->time();
  QDateTime due(m_dueDate->date(), QTime(time.hour(), time.minute(), 0));
  task.nDue = uint32_t(std::clamp<qint64>(due.toSecsSinceEpoch(), 0, UINT32_MAX));
  if (m_priority->currentIndex() >= 0) task.nPriority = uint8_t(m_priority->currentData().toUInt());
  return task;
}

void CTaskEditDlg::accept() {
  // An untitled task could not be told from the others in the list.
  if (m_title->text().trimmed().isEmpty()) {
    AppPrompts().Message("You must enter a name for this item", kAppCaption, MessageIcon::Exclamation,
                         MessageButtons::Ok);
    m_title->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace mlf
