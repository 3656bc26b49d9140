// CTaskEditDlg: makes a new task or edits one: title, creation time (read only), due date and
// time, priority and notes. The start time is kept but not shown.
#pragma once

#include <QDialog>

#include "store/collection_records.h"

class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QTimeEdit;

namespace mlf {

class CTaskEditDlg : public QDialog {
  Q_OBJECT
 public:
  // A new task (edit false: caption "Add Task") starts with the defaults of a task made now.
  explicit CTaskEditDlg(bool edit, QWidget* parent = nullptr);

  // Shows the task (editing); Task() returns what the dialog holds, with the same id.
  void SetTask(const MLFTASK& task);
  MLFTASK Task() const;

  QLineEdit* TitleEdit() const { return m_title; }
  QDateTimeEdit* CreatedEdit() const { return m_created; }
  QDateEdit* DueDateEdit() const { return m_dueDate; }
  QTimeEdit* DueTimeEdit() const { return m_dueTime; }
  QComboBox* PriorityList() const { return m_priority; }
  QPlainTextEdit* NotesEdit() const { return m_notes; }

  // Refuses a task without a title; otherwise takes the fields and closes.
  void accept() override;

 private:
  MLFTASK m_task;
  QLineEdit* m_title;
  QDateTimeEdit* m_created;
  QDateEdit* m_dueDate;
  QTimeEdit* m_dueTime;
  QComboBox* m_priority;
  QPlainTextEdit* m_notes;
};

}  // namespace mlf
