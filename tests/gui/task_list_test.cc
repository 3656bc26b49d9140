#include <QDateTime>
#include <QDockWidget>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QTest>

#include "app/app_settings.h"
#include "task_fixture.h"
#include "tree/task_images.h"
#include "tree/tree_images.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

// Wednesday 9 December 2026, noon, local time.
const QDateTime kNow(QDate(2026, 12, 9), QTime(12, 0));
uint32_t At(const QDateTime& time) { return uint32_t(time.toSecsSinceEpoch()); }

class TaskListTest : public TaskFixture {
 protected:
  TaskListTest() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
  ~TaskListTest() override { QLocale::setDefault(QLocale::system()); }

  uint32_t AddTask(const char* title, uint8_t priority, uint32_t due, const char* notes = "", uint32_t node = 0) {
    MLFTASK task;
    task.strTitle = title;
    task.nPriority = priority;
    task.nCreated = task.nStart = At(kNow.addDays(-30));
    task.nDue = due;
    task.strNotes = notes;
    if (node) {
      task.nFlags = kTaskAttached;
      task.nNode = node;
    }
    return doc->NewTask(task);
  }
  void ShowTasks() {
    Show();
    frame->TaskBar()->show();
    List().SetNow(time_t(At(kNow)));
    List().FillTasks();  // again, against the test's clock
  }
  QTreeWidgetItem* Row(uint32_t taskId) const { return List().FindRow(taskId); }
  // The header's sort mark of a column: the ascending or descending image, or none.
  int HeaderMark(int column) const {
    QIcon icon = List().headerItem()->icon(column);
    if (icon.isNull()) return -1;
    QImage shown = icon.pixmap(16, 16).toImage();
    for (int mark : {kTaskImageAscending, kTaskImageDescending})
      if (shown == TaskImages::Instance().Image(mark).toImage()) return mark;
    return -2;
  }
};

TEST_F(TaskListTest, EverySortOrderOfTheColumns) {
  uint32_t note = Add(ntNote, "Beta node");
  uint32_t other = Add(ntNote, "alpha node");
  AddTask("b urgent", kPriorityUrgent, At(kNow.addDays(3)), "zzz", note);
  AddTask("A idle", kPriorityIdle, At(kNow.addDays(9)), "aaa", other);
  AddTask("c idle", kPriorityIdle, At(kNow.addDays(1)), "mmm");
  AddTask("D high", kPriorityHigh, At(kNow.addDays(-2)));
  ShowTasks();
  EXPECT_EQ(Rows(), (Texts{"A idle", "b urgent", "c idle", "D high"})) << "the first fill sorts by title";
  EXPECT_EQ(HeaderMark(CTaskCtrl::kTitleColumn), kTaskImageAscending);

  struct Case {
    const char* name;
    int click;
    Texts expected;
    int mark;
  } cases[] = {
      {"title again: descending", CTaskCtrl::kTitleColumn, {"D high", "c idle", "b urgent", "A idle"}, kTaskImageDescending},
      {"priority, equal ones by title", CTaskCtrl::kPriorityColumn, {"A idle", "c idle", "D high", "b urgent"},
       kTaskImageAscending},
      {"priority descending", CTaskCtrl::kPriorityColumn, {"b urgent", "D high", "c idle", "A idle"},
       kTaskImageDescending},
      {"due", CTaskCtrl::kDueColumn, {"D high", "c idle", "b urgent", "A idle"}, kTaskImageAscending},
      {"due descending", CTaskCtrl::kDueColumn, {"A idle", "b urgent", "c idle", "D high"}, kTaskImageDescending},
      {"notes sort by title", CTaskCtrl::kNotesColumn, {"A idle", "b urgent", "c idle", "D high"}, kTaskImageAscending},
      {"node, then title", CTaskCtrl::kNodeColumn, {"c idle", "D high", "A idle", "b urgent"}, kTaskImageAscending},
  };
  int previous = CTaskCtrl::kTitleColumn;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTest::mouseClick(List().header()->viewport(), Qt::LeftButton, {},
                      QPoint(List().header()->sectionViewportPosition(c.click) + 5, 5));
    EXPECT_EQ(Rows(), c.expected);
    EXPECT_EQ(HeaderMark(c.click), c.mark);
    if (previous != c.click) {
      EXPECT_EQ(HeaderMark(previous), -1) << "the old column's mark is cleared";
    }
    previous = c.click;
  }
}

TEST_F(TaskListTest, RowsShowEveryFieldOfTheirTask) {
  uint32_t note = Add(ntNote, "Shopping");
  const std::string forty(40, 'n');
  struct Case {
    const char* title;
    uint8_t priority;
    std::string notes;
    uint32_t node;
    const char* priorityText;
    QColor colour;
    QString notesText;
    QString nodeText;
  } cases[] = {
      {"idle", kPriorityIdle, "short", 0, "Idle", QColor(128, 128, 128), "short", ""},
      {"low", kPriorityLow, forty.substr(0, 39), 0, "Low", QColor(48, 48, 48), QString(39, 'n'), ""},
      {"normal", kPriorityNormal, forty, note, "Normal", QColor(0, 0, 0), QString(40, 'n') + "...", "Shopping"},
      {"high", kPriorityHigh, forty + "more", 0, "High", QColor(192, 0, 0), QString(40, 'n') + "...", ""},
      {"urgent", kPriorityUrgent, "two\r\nlines", 0, "Urgent", QColor(255, 0, 0), "two lines", ""},
      {"odd", 9, "", 0, "Unknown", QColor(0, 0, 0), "", ""},
  };
  std::vector<uint32_t> ids;
  for (const Case& c : cases) ids.push_back(AddTask(c.title, c.priority, At(kNow.addDays(20)), c.notes.c_str(), c.node));
  ShowTasks();
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.title);
    QTreeWidgetItem* row = Row(ids[i]);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(CTaskCtrl::kPriorityColumn), QString::fromLatin1(c.priorityText));
    EXPECT_EQ(row->text(CTaskCtrl::kDueColumn), QStringLiteral("Tue 29-Dec-26 12:00"));
    EXPECT_EQ(row->text(CTaskCtrl::kNotesColumn), c.notesText);
    EXPECT_EQ(row->text(CTaskCtrl::kNodeColumn), c.nodeText);
    for (int column = 0; column < CTaskCtrl::kColumnCount; ++column)
      EXPECT_EQ(row->foreground(column).color(), c.colour) << column;
    EXPECT_EQ(row->icon(0).cacheKey(), TaskImages::Instance().RowIcon(c.node != 0).cacheKey());
  }
  EXPECT_EQ(List().columnWidth(CTaskCtrl::kTitleColumn), 200);
  EXPECT_EQ(List().headerItem()->text(CTaskCtrl::kDueColumn), QStringLiteral("Due"));
}

TEST_F(TaskListTest, OverdueAndDueTodayAreMarkedInTheDueColumn) {
  struct Case {
    const char* title;
    QDateTime due;
    const char* tip;
  } cases[] = {
      {"yesterday", kNow.addDays(-1), "Overdue"},
      {"an hour ago", kNow.addSecs(-3600), "Overdue"},
      {"tonight", QDateTime(kNow.date(), QTime(23, 30)), "Due today"},
      {"tomorrow", kNow.addDays(1), ""},
  };
  std::vector<uint32_t> ids;
  for (const Case& c : cases) ids.push_back(AddTask(c.title, kPriorityNormal, At(c.due)));
  ShowTasks();
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].title);
    QTreeWidgetItem* row = Row(ids[i]);
    bool marked = *cases[i].tip != 0;
    EXPECT_EQ(row->toolTip(CTaskCtrl::kDueColumn), QString::fromLatin1(cases[i].tip));
    EXPECT_EQ(row->font(CTaskCtrl::kDueColumn).bold(), marked);
    EXPECT_EQ(row->background(CTaskCtrl::kDueColumn).style() != Qt::NoBrush, marked);
  }
  EXPECT_NE(Row(ids[0])->background(CTaskCtrl::kDueColumn).color(), Row(ids[2])->background(CTaskCtrl::kDueColumn).color());

  // The marks follow the clock.
  List().SetNow(time_t(At(kNow.addDays(1).addSecs(60))));
  List().RefreshDueMarks();
  EXPECT_EQ(Row(ids[2])->toolTip(CTaskCtrl::kDueColumn), QStringLiteral("Overdue"));
  EXPECT_EQ(Row(ids[3])->toolTip(CTaskCtrl::kDueColumn), QStringLiteral("Overdue"));
}

TEST_F(TaskListTest, AnAddedRowGoesOnTopUntilTheNextSort) {
  AddTask("a", kPriorityNormal, At(kNow.addDays(5)));
  AddTask("b", kPriorityNormal, At(kNow.addDays(5)));
  ShowTasks();
  uint32_t late = AddTask("c", kPriorityNormal, At(kNow.addDays(5)));
  List().AddTaskRow(late);
  EXPECT_EQ(Rows(), (Texts{"c", "a", "b"}));
  List().SortTasks();
  EXPECT_EQ(Rows(), (Texts{"a", "b", "c"}));
}

TEST_F(TaskListTest, DeleteAsksAndTheLastTaskOfANoteTakesItsClock) {
  uint32_t note = Add(ntNote, "Note");
  uint32_t first = AddTask("first", kPriorityNormal, At(kNow.addDays(5)), "", note);
  uint32_t second = AddTask("second", kPriorityNormal, At(kNow.addDays(5)), "", note);
  ShowTasks();
  ASSERT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kTask);

  List().setFocus();
  List().setCurrentItem(Row(first));
  prompts.QueueAnswer(MessageAnswer::No);
  QTest::keyClick(&List(), Qt::Key_Delete);
  EXPECT_EQ(MessageTexts(), Texts{"Are you sure you want to delete this task?"});
  EXPECT_EQ(Rows().size(), 2u) << "No keeps the task";

  prompts.QueueAnswer(MessageAnswer::Yes);
  QTest::keyClick(&List(), Qt::Key_Delete);
  EXPECT_EQ(Rows(), Texts{"second"});
  MLFTASK task;
  EXPECT_FALSE(doc->GetTask(first, task));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kTask) << "one task is still attached";

  AppSettings().promptDelete = false;
  List().setCurrentItem(Row(second));
  QTest::keyClick(&List(), Qt::Key_Delete);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(prompts.messages.size(), 2u) << "no question with PromptDelete off";
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kNone);
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(TaskListTest, PopUpMenuFollowsTheSelectedRow) {
  uint32_t note = Add(ntNote, "Note");
  uint32_t attached = AddTask("attached", kPriorityNormal, At(kNow.addDays(5)), "", note);
  uint32_t loose = AddTask("loose", kPriorityNormal, At(kNow.addDays(5)));
  ShowTasks();
  struct Case {
    const char* name;
    uint32_t task;  // 0: no row selected
    bool edit, open;
  } cases[] = {{"no row", 0, false, false}, {"loose", loose, true, false}, {"attached", attached, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    List().clearSelection();
    if (c.task) List().setCurrentItem(Row(c.task));
    auto menu = List().MakeContextMenu();
    auto enabled = [](CommandId id) { return AppCommands().Action(id)->isEnabled(); };
    EXPECT_TRUE(enabled(CommandId::kNewTask));
    EXPECT_EQ(enabled(CommandId::kEditTask), c.edit);
    EXPECT_EQ(enabled(CommandId::kDeleteTask), c.edit);
    EXPECT_EQ(enabled(CommandId::kOpenAttachedNode), c.open);
  }
}

TEST_F(TaskListTest, OpenAttachedNodeShowsTheNodeAndADeletedNodeLeavesNothingToOpen) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Note", folder);
  uint32_t task = AddTask("task", kPriorityNormal, At(kNow.addDays(5)), "", note);
  ShowTasks();
  frame->SwitchToTab(1);
  List().setFocus();
  List().setCurrentItem(Row(task));
  QTest::keyClick(&List(), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(frame->ActiveNodeId(), int64_t(note));
  EXPECT_EQ(frame->TabsView()->currentIndex(), 0) << "the Main tab";
  EXPECT_EQ(Tree().currentItem(), Item(note));

  Tree().DeleteBranch(Item(folder), false);
  EXPECT_EQ(Row(task)->text(CTaskCtrl::kNodeColumn), QString());
  EXPECT_EQ(Row(task)->icon(0).cacheKey(), TaskImages::Instance().RowIcon(false).cacheKey());
  MLFTASK record;
  ASSERT_TRUE(doc->GetTask(task, record));
  EXPECT_EQ(record.nNode, 0u);
  EXPECT_EQ(record.nFlags & kTaskAttached, 0u);
  List().OpenAttachedNode(Row(task));
  EXPECT_EQ(frame->ActiveNodeId(), -1);
}

}  // namespace
}  // namespace mlf::test
