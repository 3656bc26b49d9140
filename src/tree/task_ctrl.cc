#include "tree/task_ctrl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <iterator>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "dialogs/task_edit_dlg.h"
#include "store/document.h"
#include "store/prompts.h"
#include "store/sibling_order.h"
#include "tree/task_images.h"
#include "widgets/keyboard_menu.h"
#include "widgets/stored_text.h"

namespace mlf {
namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kNotesShown = 40;
const QString kDueFormat = QStringLiteral("ddd dd-MMM-yy HH:mm");

struct ColumnInfo {
  const char* header;
  int width;
};
constexpr ColumnInfo kColumns[] = {{"Task", 200}, {"Priority", 80}, {"Due", 120}, {"Notes", 180}, {"Node", 150}};
static_assert(std::size(kColumns) == size_t(CTaskCtrl::kColumnCount));

QColor PriorityColour(uint8_t priority) {
  switch (priority) {
    case kPriorityIdle: return QColor(128, 128, 128);
    case kPriorityLow: return QColor(48, 48, 48);
    case kPriorityHigh: return QColor(192, 0, 0);
    case kPriorityUrgent: return QColor(255, 0, 0);
    default: return QColor(0, 0, 0);
  }
}

// The first characters of the notes on one line, "..." after them when the notes are that
// long or longer.
QString ShortNotes(const std::string& notes) {
  QString all = FromStored(notes);
  QString shown = all.left(kNotesShown);
  if (all.size() >= kNotesShown) shown += QStringLiteral("...");
  shown.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  shown.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return shown;
}

// Stored times are seconds since 1970 read as unsigned, so that dates after 2038 stay dates.
QDateTime LocalTime(uint32_t seconds) { return QDateTime::fromSecsSinceEpoch(qint64(seconds)); }

enum class DueState { kLater, kToday, kOverdue };

DueState Due(uint32_t due, time_t now) {
  if (qint64(due) < qint64(now)) return DueState::kOverdue;
  return LocalTime(due).date() == QDateTime::fromSecsSinceEpoch(now).date() ? DueState::kToday : DueState::kLater;
}

// The attached node's title, or none when the task is not attached or its node is gone.
bool AttachedNodeTitle(const CMarrowleafDoc& document, const MLFTASK& task, std::string& title) {
  if (!(task.nFlags & kTaskAttached) || task.nNode == 0) return false;
  NTV node;
  if (!document.Data_GetItem(task.nNode, node)) return false;
  title = node.strTitle;
  return true;
}

}  // namespace

CTaskCtrl::CTaskCtrl(QWidget* parent) : QTreeWidget(parent) {
  setAccessibleName(QStringLiteral("Tasks"));
  setColumnCount(kColumnCount);
  QStringList headers;
  for (const ColumnInfo& column : kColumns) headers << QString::fromLatin1(column.header);
  setHeaderLabels(headers);
  for (int i = 0; i < kColumnCount; ++i) setColumnWidth(i, kColumns[i].width);
  // The widths suit a small dialog font; the Due column still shows a whole time, marked bold.
  QFont bold = font();
  bold.setBold(true);
  QString longest = QLocale().toString(QDateTime(QDate(2026, 9, 30), QTime(23, 59)), kDueFormat);
  setColumnWidth(kDueColumn, std::max(kColumns[kDueColumn].width, QFontMetrics(bold).horizontalAdvance(longest) + 24));
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setIconSize({16, 16});
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setAllColumnsShowFocus(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setExpandsOnDoubleClick(false);
  header()->setSectionsClickable(true);
  header()->setSectionsMovable(false);
  connect(header(), &QHeaderView::sectionClicked, this, &CTaskCtrl::SortByColumn);
  // Nothing tells the list that a due time has passed: the marks follow the clock.
  auto* clock = new QTimer(this);
  connect(clock, &QTimer::timeout, this, &CTaskCtrl::RefreshDueMarks);
  clock->start(60 * 1000);
}

uint32_t CTaskCtrl::TaskId(const QTreeWidgetItem* row) { return row ? row->data(0, kIdRole).toUInt() : 0; }

QTreeWidgetItem* CTaskCtrl::FindRow(uint32_t taskId) const {
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (TaskId(topLevelItem(i)) == taskId) return topLevelItem(i);
  return nullptr;
}

time_t CTaskCtrl::Now() const { return m_now ? m_now : time(nullptr); }

bool CTaskCtrl::ReadTask(const QTreeWidgetItem* row, MLFTASK& task) const {
  return row && m_document && m_document->GetTask(TaskId(row), task);
}

void CTaskCtrl::WriteRow(QTreeWidgetItem* row, const MLFTASK& task) {
  row->setData(0, kIdRole, task.nId);
  row->setText(kTitleColumn, FromStored(task.strTitle));
  row->setText(kPriorityColumn, QString::fromLatin1(PriorityName(task.nPriority)));
  row->setText(kDueColumn, QLocale().toString(LocalTime(task.nDue), kDueFormat));
  row->setText(kNotesColumn, ShortNotes(task.strNotes));
  std::string node;
  bool attached = AttachedNodeTitle(*m_document, task, node);
  row->setText(kNodeColumn, attached ? FromStored(node) : QString());
  row->setIcon(kTitleColumn, TaskImages::Instance().RowIcon(attached));
  QColor colour = PriorityColour(task.nPriority);
  for (int i = 0; i < kColumnCount; ++i) row->setForeground(i, colour);
  WriteDueMark(row, task.nDue);
}

void CTaskCtrl::WriteDueMark(QTreeWidgetItem* row, uint32_t due) {
  // Overdue and due-today tasks are marked in their Due cell: bold on a pale red (overdue) or
  // pale amber (today) ground, with the reason as tool tip.
  DueState state = Due(due, Now());
  QFont font = this->font();
  font.setBold(state != DueState::kLater);
  row->setFont(kDueColumn, font);
  switch (state) {
    case DueState::kOverdue:
      row->setBackground(kDueColumn, QColor(255, 210, 210));
      row->setToolTip(kDueColumn, QStringLiteral("Overdue"));
      break;
    case DueState::kToday:
      row->setBackground(kDueColumn, QColor(255, 236, 179));
      row->setToolTip(kDueColumn, QStringLiteral("Due today"));
      break;
    case DueState::kLater:
      row->setBackground(kDueColumn, QBrush());
      row->setToolTip(kDueColumn, QString());
      break;
  }
}

void CTaskCtrl::RefreshDueMarks() {
  MLFTASK task;
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (ReadTask(topLevelItem(i), task)) WriteDueMark(topLevelItem(i), task.nDue);
}

QTreeWidgetItem* CTaskCtrl::InsertRow(const MLFTASK& task) {
  auto* row = new QTreeWidgetItem;
  WriteRow(row, task);
  insertTopLevelItem(0, row);
  return row;
}

void CTaskCtrl::FillTasks() {
  clear();
  if (!m_document) return;
  m_document->EnumTasks([this](const MLFTASK& task) { InsertRow(task); });
  // The first fill sorts by title; a later one keeps the order the header shows.
  if (m_sortColumn < 0) m_sortColumn = kTitleColumn;
  SortTasks();
}

void CTaskCtrl::UpdateTaskRow(uint32_t taskId) {
  QTreeWidgetItem* row = FindRow(taskId);
  MLFTASK task;
  if (row && ReadTask(row, task)) WriteRow(row, task);
}

void CTaskCtrl::AddTaskRow(uint32_t taskId) {
  MLFTASK task;
  if (m_document && m_document->GetTask(taskId, task)) InsertRow(task);
}

void CTaskCtrl::SortByColumn(int column) {
  m_previousSortColumn = m_sortColumn;
  if (column == m_sortColumn) {
    m_ascending = !m_ascending;
  } else {
    m_sortColumn = column;
    m_ascending = true;
  }
  SortTasks();
}

void CTaskCtrl::SortTasks() {
  if (m_sortColumn < 0 || !m_document) return;
  if (m_previousSortColumn >= 0 && m_previousSortColumn != m_sortColumn)
    headerItem()->setIcon(m_previousSortColumn, QIcon());
  headerItem()->setIcon(m_sortColumn,
                        QIcon(TaskImages::Instance().Image(m_ascending ? kTaskImageAscending : kTaskImageDescending)));

  struct Row {
    MLFTASK task;
    std::string node;
    QTreeWidgetItem* item;
  };
  std::vector<Row> rows;
  QTreeWidgetItem* current = currentItem();
  while (topLevelItemCount() > 0) {
    QTreeWidgetItem* item = takeTopLevelItem(0);
    Row row{{}, {}, item};
    ReadTask(item, row.task);
    AttachedNodeTitle(*m_document, row.task, row.node);
    rows.push_back(std::move(row));
  }
  const int column = m_sortColumn;
  const int sign = m_ascending ? 1 : -1;
  std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    int d = 0;
    if (column == kPriorityColumn) d = int(a.task.nPriority) - int(b.task.nPriority);
    else if (column == kDueColumn) d = a.task.nDue < b.task.nDue ? -1 : (a.task.nDue > b.task.nDue ? 1 : 0);
    else if (column == kNodeColumn) d = CompareTitles(a.node, b.node);
    // Equal keys, and the Task and Notes columns, go by title.
    if (d == 0) d = CompareTitles(a.task.strTitle, b.task.strTitle);
    return sign * d < 0;
  });
  QList<QTreeWidgetItem*> items;
  for (const Row& row : rows) items.push_back(row.item);
  addTopLevelItems(items);
  if (current) setCurrentItem(current);
}

void CTaskCtrl::FlashTaskRow(int row, int count) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (!item) return;
  QElapsedTimer clock;
  clock.start();
  QThread::msleep(25);
  for (int i = 0; i < count; ++i) {
    qint64 wait = 125 + 100 * i - clock.elapsed();
    if (wait > 0) QThread::msleep(ulong(wait));
    item->setSelected(!item->isSelected());
    viewport()->repaint();
  }
}

void CTaskCtrl::NewTask() {
  if (!m_document) return;
  CTaskEditDlg dialog(false, window());
  if (dialog.exec() != QDialog::Accepted) return;
  MLFTASK task = dialog.Task();
  task.nId = m_document->NewTask();
  m_document->SetTask(task, true);
  setCurrentItem(InsertRow(task));
  SortTasks();
}

void CTaskCtrl::EditTask(QTreeWidgetItem* row) {
  MLFTASK task;
  if (!ReadTask(row, task)) return;
  CTaskEditDlg dialog(true, window());
  dialog.SetTask(task);
  if (dialog.exec() != QDialog::Accepted) return;
  m_document->SetTask(dialog.Task(), true);
  WriteRow(row, dialog.Task());
  setFocus();
  setCurrentItem(row);
  SortTasks();
}

void CTaskCtrl::DeleteTask(QTreeWidgetItem* row) {
  if (!row || !m_document) return;
  // A deleted task cannot be brought back, so it is asked like a node's deletion.
  if (AppSettings().promptDelete &&
      AppPrompts().Message("Are you sure you want to delete this task?", "Confirm task delete", MessageIcon::Question,
                           MessageButtons::YesNo) != MessageAnswer::Yes)
    return;
  uint32_t id = TaskId(row);
  delete row;
  // The document refreshes the node's tree entry when this was its last task.
  m_document->DeleteTask(id);
}

void CTaskCtrl::OpenAttachedNode(QTreeWidgetItem* row) {
  MLFTASK task;
  if (m_selectionMode || !ReadTask(row, task)) return;
  if ((task.nFlags & kTaskAttached) && task.nNode != 0) Q_EMIT OpenNodeRequested(task.nNode);
}

std::unique_ptr<QMenu> CTaskCtrl::MakeContextMenu() {
  using C = CommandId;
  QTreeWidgetItem* row = currentItem() && currentItem()->isSelected() ? currentItem() : nullptr;
  MLFTASK task;
  bool attached = ReadTask(row, task) && (task.nFlags & kTaskAttached) && task.nNode != 0;
  auto menu = std::make_unique<QMenu>(this);
  CommandRegistry& commands = AppCommands();
  commands.AddTo(menu.get(), {C::kNewTask, C::kEditTask, C::kDeleteTask, C::kSeparator, C::kOpenAttachedNode});
  // The commands act on this list while the menu lives.
  auto command = [&](CommandId id, bool enabled, auto run) {
    QAction* action = commands.Action(id);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, menu.get(), run);
  };
  command(C::kNewTask, true, [this] { NewTask(); });
  command(C::kEditTask, row != nullptr, [this, row] { EditTask(row); });
  command(C::kDeleteTask, row != nullptr, [this, row] { DeleteTask(row); });
  command(C::kOpenAttachedNode, attached, [this, row] { OpenAttachedNode(row); });
  return menu;
}

void CTaskCtrl::contextMenuEvent(QContextMenuEvent* event) {
  if (m_selectionMode) return;
  QPoint at;
  QTreeWidgetItem* target = ContextMenuTarget(*this, *event, at);
  if (target) setCurrentItem(target);
  MakeContextMenu()->exec(at);
}

void CTaskCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (m_selectionMode || event->button() != Qt::LeftButton) return;
  QTreeWidgetItem* row = itemAt(event->position().toPoint());
  if (row) EditTask(row);
  else NewTask();
}

void CTaskCtrl::keyPressEvent(QKeyEvent* event) {
  if (m_selectionMode) return QTreeWidget::keyPressEvent(event);
  QTreeWidgetItem* row = currentItem() && currentItem()->isSelected() ? currentItem() : nullptr;
  switch (event->key()) {
    case Qt::Key_Insert: NewTask(); return;
    case Qt::Key_Delete: DeleteTask(row); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (event->modifiers() & Qt::ControlModifier) OpenAttachedNode(row);
      else EditTask(row);
      return;
    default: QTreeWidget::keyPressEvent(event);
  }
}

}  // namespace mlf
