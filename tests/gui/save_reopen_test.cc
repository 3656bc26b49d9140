#include <gtest/gtest.h>

#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <sys/stat.h>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "store/document.h"
#include "store/node.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

class SaveReopenTest : public ::testing::Test {
 protected:
  SaveReopenTest() {
    AppSettings() = MlfSettings();
    CMarrowleafDoc doc;
    doc.OnNewDocument();
    CMlfNode folder, note;
    folder.Create(&doc, ntFolder, "Folder", 0);
    note.Create(&doc, ntNote, "Note", folder.GetId());
    noteId = note.GetId();
    EXPECT_TRUE(doc.OnSaveDocument(path));
  }
  ~SaveReopenTest() override { chmod(path.c_str(), 0644); }

  CChildFrame* Open() {
    CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
    EXPECT_NE(frame, nullptr);
    return frame;
  }
  void CloseAll() {
    main.MdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  ScratchDir dir;
  std::string path = dir / "notes.mlf";
  uint32_t noteId = 0;
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
};

TEST_F(SaveReopenTest, ChangesMadeInTheWindowSurviveSavingAndReopening) {
  CChildFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  CMlfTreeCtrl& tree = *frame->TabsView()->NodeTree();
  tree.RenameItem(tree.FindItem(noteId));
  auto* editor = tree.viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("Renamed"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();
  ASSERT_TRUE(tree.AddBookmark(tree.FindItem(noteId), QStringLiteral("Mark")));
  frame->ToggleTaskBar();
  EXPECT_TRUE(frame->Save());
  EXPECT_FALSE(frame->Document().IsModified());
  CloseAll();
  EXPECT_TRUE(prompts.messages.empty()) << "an unmodified document closes without a question";

  frame = Open();
  ASSERT_NE(frame, nullptr);
  QTreeWidgetItem* item = frame->TabsView()->NodeTree()->FindItem(noteId);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(0), QStringLiteral("Renamed"));
  CBookmarkTreeCtrl& bookmarks = *frame->TabsView()->BookmarkList();
  ASSERT_EQ(bookmarks.topLevelItemCount(), 1);
  EXPECT_EQ(bookmarks.topLevelItem(0)->text(0), QStringLiteral("Mark"));
  EXPECT_FALSE(frame->TaskBar()->isHidden()) << "the task bar's visibility is kept in the file";
  EXPECT_EQ(recent.Files().front().toStdString(), path);
}

TEST_F(SaveReopenTest, AReadOnlyFileOffersSaveAsAndStaysModified) {
  CChildFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  frame->Document().SetModifiedFlag(true);
  chmod(path.c_str(), 0444);
  prompts.QueueAnswer(MessageAnswer::No);
  EXPECT_FALSE(frame->Save());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "The file '" + path +
                                          "' is read-only and has not been saved.\n\nWould you like to save it to a "
                                          "different location?");
  EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(SaveReopenTest, ClosingAModifiedDocumentAsksToSave) {
  CChildFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  frame->Document().SetModifiedFlag(true);
  prompts.QueueAnswer(MessageAnswer::Cancel);
  main.MdiArea()->closeAllSubWindows();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Save changes to notes.mlf?");
  EXPECT_EQ(main.ChildFrames().size(), 1) << "Cancel keeps the window";
  prompts.QueueAnswer(MessageAnswer::No);
  CloseAll();
  EXPECT_TRUE(main.ChildFrames().isEmpty());
}

TEST_F(SaveReopenTest, AFileThatCannotBeOpenedLeavesNoWindow) {
  EXPECT_EQ(main.OpenDocument(QString::fromStdString(dir / "missing.mlf")), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(main.ChildFrames().isEmpty());
  EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace mlf::test
