#include <QLineEdit>
#include <QTest>

#include "app/app_settings.h"
#include "dialogs/task_edit_dlg.h"
#include "dialogs/task_sel_dlg.h"
#include "task_fixture.h"

namespace mlf::test {
namespace {

using TreeTaskTest = TaskFixture;

TEST_F(TreeTaskTest, TasksItemsAreEnabledAsTheEntryAllows) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t plain = Add(ntNote, "Plain", folder);
  uint32_t withTask = Add(ntNote, "With task", folder);
  MLFTASK task = Task("t");
  task.nFlags = kTaskAttached;
  task.nNode = withTask;
  doc->NewTask(task);
  Show();
  struct Case {
    const char* name;
    QTreeWidgetItem* entry;
    bool add, remove;
  } cases[] = {
      {"folder", Item(folder), false, false},
      {"no entry", nullptr, false, false},
      {"note without task", Item(plain), true, false},
      {"note with task", Item(withTask), true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto menu = Tree().MakeContextMenu(c.entry);
    EXPECT_EQ(AppCommands().Action(CommandId::kAddToTask)->isEnabled(), c.add);
    EXPECT_EQ(AppCommands().Action(CommandId::kAddToNewTask)->isEnabled(), c.add);
    EXPECT_EQ(AppCommands().Action(CommandId::kRemoveTaskAssociation)->isEnabled(), c.remove);
  }
}

TEST_F(TreeTaskTest, AttachMoveAndRemoveWithTheirOverlays) {
  uint32_t first = Add(ntNote, "First");
  uint32_t second = Add(ntNote, "Second");
  uint32_t locked = Add(ntNote, "Locked", 0, "x");
  Encrypt(locked, "pw");
  uint32_t task = doc->NewTask(Task("Review"));
  Show();
  doc->SetModifiedFlag(false);

  // Add to existing task, through the selection dialog.
  OnNextDialog<CTaskSelDlg>([](CTaskSelDlg& dialog) {
    CTaskCtrl* list = dialog.TaskList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
  });
  Trigger(Item(first), CommandId::kAddToTask);
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(first)), TreeOverlay::kTask);
  EXPECT_EQ(List().FindRow(task)->text(CTaskCtrl::kNodeColumn), QStringLiteral("First"));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(prompts.messages.empty());

  // A task attached elsewhere moves only on Yes, and the node it leaves loses its clock.
  prompts.QueueAnswer(MessageAnswer::No);
  EXPECT_FALSE(Tree().AttachTask(Item(second), task));
  EXPECT_EQ(MessageTexts(), Texts{"The selected task is already associated with a node.\n\nDo you want to associate "
                                  "it with this node instead?"});
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(second)), TreeOverlay::kNone);
  prompts.QueueAnswer(MessageAnswer::Yes);
  EXPECT_TRUE(Tree().AttachTask(Item(second), task));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(second)), TreeOverlay::kTask);
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(first)), TreeOverlay::kNone);
  EXPECT_EQ(List().FindRow(task)->text(CTaskCtrl::kNodeColumn), QStringLiteral("Second"));

  // Add to new task: its row goes on top; the padlock beats the clock.
  OnNextDialog<CTaskEditDlg>([](CTaskEditDlg& dialog) {
    dialog.TitleEdit()->setText(QStringLiteral("Zebra"));
    dialog.accept();
  });
  Trigger(Item(locked), CommandId::kAddToNewTask);
  EXPECT_EQ(List().topLevelItem(0)->text(0), QStringLiteral("Zebra"));
  EXPECT_EQ(List().topLevelItem(0)->text(CTaskCtrl::kNodeColumn), QStringLiteral("Locked"));
  EXPECT_TRUE(doc->NodeHasTask(locked));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(locked)), TreeOverlay::kEncrypted);

  // Remove task association: the rows lose their node, the padlock stays.
  Trigger(Item(locked), CommandId::kRemoveTaskAssociation);
  EXPECT_FALSE(doc->NodeHasTask(locked));
  EXPECT_EQ(List().topLevelItem(0)->text(CTaskCtrl::kNodeColumn), QString());
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(locked)), TreeOverlay::kEncrypted);
  Tree().RemoveTaskAssociation(Item(second));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(second)), TreeOverlay::kNone);
}

TEST_F(TreeTaskTest, ADeletedNodesTaskLosesItsAssociation) {
  uint32_t note = Add(ntNote, "Note");
  MLFTASK fields = Task("Attached");
  fields.nFlags = kTaskAttached;
  fields.nNode = note;
  uint32_t task = doc->NewTask(fields);
  Show();
  AppSettings().promptDelete = false;
  Tree().DeleteItem(Item(note));
  MLFTASK read;
  ASSERT_TRUE(doc->GetTask(task, read));
  EXPECT_EQ(read.nNode, 0u);
  EXPECT_EQ(read.nFlags & kTaskAttached, 0u);
  EXPECT_EQ(List().FindRow(task)->text(CTaskCtrl::kNodeColumn), QString());
}

TEST_F(TreeTaskTest, SaveAndReopenKeepEveryFieldOfATask) {
  MLFTASK task = Task("Titre \xe9t\xe9", 200);
  task.nFlags = kTaskAttached;
  task.nNode = Add(ntNote, "Note");
  task.nStart = 0x7fffffff;
  task.nDue = 0xfffffff0;  // after 2038: read as unsigned
  task.strNotes = "a\r\nb\xff";
  task.nId = doc->NewTask(task);
  ASSERT_TRUE(doc->OnSaveDocument("/tasks.mlf"));
  pending.reset();  // the file is free again
  CMarrowleafDoc reopened(env);
  ASSERT_TRUE(reopened.OnOpenDocument("/tasks.mlf"));
  MLFTASK read;
  ASSERT_TRUE(reopened.GetTask(task.nId, read));
  struct Field {
    const char* name;
    uint32_t read, written;
  } fields[] = {{"id", read.nId, task.nId},         {"flags", read.nFlags, task.nFlags},
                {"created", read.nCreated, task.nCreated}, {"start", read.nStart, task.nStart},
                {"due", read.nDue, task.nDue},      {"priority", read.nPriority, task.nPriority},
                {"node", read.nNode, task.nNode}};
  for (const Field& field : fields) EXPECT_EQ(field.read, field.written) << field.name;
  EXPECT_EQ(read.strTitle, task.strTitle);
  EXPECT_EQ(read.strNotes, task.strNotes);
}

}  // namespace
}  // namespace mlf::test
