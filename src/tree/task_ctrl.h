// CTaskCtrl: the task list of a document window ("Tasks" bar) and of the task selection
// dialog. One row per task, sorted by any column with a mark in the header, coloured by
// priority, with the overdue and due-today tasks marked in the Due column.
#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <ctime>
#include <memory>

class QMenu;

namespace mlf {

class CMarrowleafDoc;
struct MLFTASK;

class CTaskCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  enum Column { kTitleColumn, kPriorityColumn, kDueColumn, kNotesColumn, kNodeColumn, kColumnCount };

  explicit CTaskCtrl(QWidget* parent = nullptr);

  void SetDocument(CMarrowleafDoc* document) { m_document = document; }
  // Selection mode (the task selection dialog): no pop-up menu, no editing by double click,
  // no opening of the attached node.
  void SetSelectionMode(bool on) { m_selectionMode = on; }
  // The clock the overdue and due-today marks are read against; the system's unless a test
  // sets one.
  void SetNow(time_t now) { m_now = now; }

  // One row per task of the document, sorted as the header shows (by title at first).
  void FillTasks();
  // Rewrites the task's row from the document; nothing when it has none.
  void UpdateTaskRow(uint32_t taskId);
  // The task's row at the top, not sorted in.
  void AddTaskRow(uint32_t taskId);
  void SortTasks();
  // Marks the overdue and due-today tasks as of now; the list does so every minute.
  void RefreshDueMarks();
  // A header click: the same column again reverses the order, another sorts ascending by it.
  void SortByColumn(int column);
  int SortColumn() const { return m_sortColumn; }
  bool SortAscending() const { return m_ascending; }
  // Toggles the row's selection count times about 100 ms apart, repainting each time.
  void FlashTaskRow(int row, int count);

  static uint32_t TaskId(const QTreeWidgetItem* row);
  QTreeWidgetItem* FindRow(uint32_t taskId) const;

  // The commands on the selected row (New needs none).
  void NewTask();
  void EditTask(QTreeWidgetItem* row);
  void DeleteTask(QTreeWidgetItem* row);
  void OpenAttachedNode(QTreeWidgetItem* row);
  // The pop-up menu for the selected row, its items enabled as the row allows.
  std::unique_ptr<QMenu> MakeContextMenu();

 Q_SIGNALS:
  // Open Attached Node: the document window shows the node.
  void OpenNodeRequested(uint32_t nodeId);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void WriteRow(QTreeWidgetItem* row, const MLFTASK& task);
  void WriteDueMark(QTreeWidgetItem* row, uint32_t due);
  QTreeWidgetItem* InsertRow(const MLFTASK& task);
  bool ReadTask(const QTreeWidgetItem* row, MLFTASK& task) const;
  time_t Now() const;

  int m_sortColumn = -1;
  int m_previousSortColumn = -1;
  bool m_ascending = true;
  bool m_selectionMode = false;
  CMarrowleafDoc* m_document = nullptr;
  time_t m_now = 0;
};

}  // namespace mlf
