#include <QComboBox>
#include <QDateTimeEdit>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "dialogs/task_edit_dlg.h"
#include "dialogs/task_sel_dlg.h"
#include "task_fixture.h"

namespace mlf::test {
namespace {

using TaskDialogTest = TaskFixture;

TEST(NewTaskDefaultsTest, DueOnTheSameDayAndTimeOfTheNextMonth) {
  struct Case {
    time_t now, due;
  } cases[] = {
      {Local(2013, 1, 31, 9, 30), Local(2013, 3, 3, 9, 30)},  // no 31 February: the day runs on
      {Local(2013, 12, 15, 18, 5), Local(2014, 1, 15, 18, 5)},
      {Local(2024, 1, 30, 0, 0), Local(2024, 3, 1, 0, 0)},  // leap year
  };
  for (const Case& c : cases) {
    MLFTASK task = NewTaskDefaults(c.now);
    EXPECT_EQ(task.nDue, uint32_t(c.due)) << c.now;
    EXPECT_EQ(task.nCreated, uint32_t(c.now));
    EXPECT_EQ(task.nStart, uint32_t(c.now));
    EXPECT_EQ(task.nPriority, kPriorityNormal);
  }
}

TEST_F(TaskDialogTest, EditDialogShowsTheTaskAndReadsItBack) {
  CTaskEditDlg fresh(false);
  EXPECT_EQ(fresh.windowTitle(), QStringLiteral("Add Task"));
  EXPECT_EQ(fresh.PriorityList()->currentText(), QStringLiteral("Normal"));
  Texts labels;
  for (QLabel* label : fresh.findChildren<QLabel*>()) labels.push_back(label->text().toStdString());
  EXPECT_EQ(labels, (Texts{"Title:", "Created:", "Due Date:", "Priority:", "Notes:"}));
  Texts priorities;
  for (int i = 0; i < fresh.PriorityList()->count(); ++i) priorities.push_back(fresh.PriorityList()->itemText(i).toStdString());
  EXPECT_EQ(priorities, (Texts{"Idle", "Low", "Normal", "High", "Urgent"}));

  MLFTASK task = Task("Plan", 9);
  task.nId = 12;
  task.nStart = 1234;
  task.nReserved3 = 77;
  task.strNotes = "line one\r\nline two";
  CTaskEditDlg dialog(true);
  dialog.SetTask(task);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Task"));
  EXPECT_EQ(dialog.PriorityList()->currentIndex(), -1) << "an unknown priority selects none";
  EXPECT_FALSE(dialog.CreatedEdit()->isEnabled());
  EXPECT_EQ(dialog.CreatedEdit()->displayFormat(), QStringLiteral("ddd dd-MMM-yyyy HH:mm"));
  EXPECT_EQ(dialog.DueDateEdit()->displayFormat(), QStringLiteral("ddd dd-MMM-yyyy"));
  EXPECT_EQ(dialog.DueTimeEdit()->displayFormat(), QStringLiteral("HH:mm"));
  EXPECT_EQ(dialog.Task().nPriority, 9) << "kept while none is chosen";

  dialog.DueDateEdit()->setDate(QDate(2027, 2, 28));
  dialog.DueTimeEdit()->setTime(QTime(7, 45, 59));
  dialog.PriorityList()->setCurrentIndex(4);
  dialog.TitleEdit()->setText(QStringLiteral("Plan B"));
  MLFTASK read = dialog.Task();
  EXPECT_EQ(read.nDue, uint32_t(Local(2027, 2, 28, 7, 45))) << "the date of one picker, hour and minute of the other";
  EXPECT_EQ(read.nPriority, kPriorityUrgent);
  EXPECT_EQ(read.strTitle, "Plan B");
  EXPECT_EQ(read.nId, 12u);
  EXPECT_EQ(read.nStart, 1234u) << "the hidden start time passes through";
  EXPECT_EQ(read.nCreated, task.nCreated);
  EXPECT_EQ(read.nReserved3, 77u);
  EXPECT_EQ(dialog.NotesEdit()->toPlainText(), QStringLiteral("line one\nline two"));
}

TEST_F(TaskDialogTest, ATaskWithoutATitleIsRefused) {
  CTaskEditDlg dialog(false);
  dialog.show();
  dialog.TitleEdit()->setText(QStringLiteral("   "));
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(MessageTexts(), Texts{"You must enter a name for this item"});
  dialog.TitleEdit()->setText(QStringLiteral("Named"));
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(TaskDialogTest, NewEditAndDeleteThroughTheList) {
  Show();
  frame->TaskBar()->show();
  // A double click below the last row makes a new task.
  OnNextDialog<CTaskEditDlg>([](CTaskEditDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add Task"));
    dialog.TitleEdit()->setText(QStringLiteral("Call back"));
    dialog.NotesEdit()->setPlainText(QStringLiteral("about the offer"));
    dialog.PriorityList()->setCurrentIndex(3);
    dialog.accept();
  });
  QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, QPoint(20, List().viewport()->height() - 5));
  ASSERT_EQ(Rows(), Texts{"Call back"});
  uint32_t id = CTaskCtrl::TaskId(List().topLevelItem(0));
  MLFTASK task;
  ASSERT_TRUE(doc->GetTask(id, task));
  EXPECT_EQ(task.strNotes, "about the offer");
  EXPECT_EQ(task.nPriority, kPriorityHigh);
  EXPECT_TRUE(doc->IsModified());

  // Enter edits the selected row.
  List().setFocus();
  List().setCurrentItem(List().topLevelItem(0));
  OnNextDialog<CTaskEditDlg>([](CTaskEditDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Task"));
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Call back"));
    dialog.TitleEdit()->setText(QStringLiteral("Called"));
    dialog.accept();
  });
  QTest::keyClick(&List(), Qt::Key_Return);
  EXPECT_EQ(Rows(), Texts{"Called"});
  ASSERT_TRUE(doc->GetTask(id, task));
  EXPECT_EQ(task.strTitle, "Called");

  // Cancel changes nothing.
  OnNextDialog<CTaskEditDlg>([](CTaskEditDlg& dialog) {
    dialog.TitleEdit()->setText(QStringLiteral("Never"));
    dialog.reject();
  });
  List().EditTask(List().topLevelItem(0));
  EXPECT_EQ(Rows(), Texts{"Called"});

  prompts.QueueAnswer(MessageAnswer::Yes);
  auto menu = List().MakeContextMenu();
  AppCommands().Action(CommandId::kDeleteTask)->trigger();
  EXPECT_TRUE(Rows().empty());
  EXPECT_FALSE(doc->GetTask(id, task));
}

TEST_F(TaskDialogTest, SelectionDialogChoosesTheClickedTaskAfterItsFlash) {
  doc->NewTask(Task("first"));
  uint32_t second = doc->NewTask(Task("second"));
  {
    CTaskSelDlg dialog(*doc);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Task"));
    EXPECT_EQ(dialog.width(), 450);
    OnNextDialog<CTaskSelDlg>([](CTaskSelDlg& shown) {
      CTaskCtrl* list = shown.TaskList();
      QRect rect = list->visualItemRect(list->topLevelItem(1));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenTask(), int64_t(second));
    EXPECT_TRUE(dialog.TaskList()->topLevelItem(1)->isSelected()) << "the flash ends selected";
  }
  {
    CTaskSelDlg dialog(*doc);
    OnNextDialog<CTaskSelDlg>([](CTaskSelDlg& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.ChosenTask(), -1);
  }
}

}  // namespace
}  // namespace mlf::test
