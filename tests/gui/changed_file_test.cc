// The window and a note file that another program changed while it was open: the focus check,
// reopening, and the three-button question of a save.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/qt_prompts.h"
#include "store/document.h"
#include "store/node.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

class ChangedFileTest : public ::testing::Test {
 protected:
  ChangedFileTest() {
    AppSettings() = MlfSettings();
    Write(path, "Note");
  }

  // A note file whose one top-level node has the title.
  void Write(const std::string& file, const char* title) {
    CMarrowleafDoc doc;
    doc.OnNewDocument();
    CMlfNode note;
    note.Create(&doc, ntNote, title, 0);
    ASSERT_TRUE(doc.OnSaveDocument(file));
  }
  // What a sync tool does: the new version is written beside the file and renamed over it.
  void ReplaceByAnotherProgram(const char* title) {
    Write(dir / "incoming.mlf", title);
    ASSERT_EQ(std::rename((dir / "incoming.mlf").c_str(), path.c_str()), 0);
  }
  static std::vector<std::string> Titles(CChildFrame* frame) {
    std::vector<std::string> titles;
    CMlfTreeCtrl& tree = *frame->TabsView()->NodeTree();
    for (int i = 0; i < tree.topLevelItemCount(); ++i) titles.push_back(tree.topLevelItem(i)->text(0).toStdString());
    return titles;
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& m : prompts.messages) texts.push_back(m.text);
    return texts;
  }

  ScratchDir dir;
  std::string path = dir / "notes.mlf";
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
};

TEST_F(ChangedFileTest, TheFocusCheckOffersToReopenAnUnmodifiedDocument) {
  struct Case {
    const char* name;
    MessageAnswer answer;
    std::vector<std::string> shown;
  };
  for (const Case& c : {Case{"reopen", MessageAnswer::Yes, {"From elsewhere"}},
                        Case{"keep", MessageAnswer::No, {"Note"}}}) {
    SCOPED_TRACE(c.name);
    Write(path, "Note");
    prompts.messages.clear();
    ASSERT_NE(main.OpenDocument(QString::fromStdString(path)), nullptr);
    main.CheckFilesOnDisk();
    EXPECT_TRUE(prompts.messages.empty()) << "nothing changed yet";
    ReplaceByAnotherProgram("From elsewhere");
    prompts.QueueAnswer(c.answer);
    main.CheckFilesOnDisk();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "'" + path + "' was changed by another program.\n\nDo you want to reopen it?");
    EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
    ASSERT_EQ(main.ChildFrames().size(), 1);
    CChildFrame* shown = main.ChildFrames().front();
    EXPECT_EQ(Titles(shown), c.shown);
    EXPECT_FALSE(shown->Document().IsModified());
    main.CheckFilesOnDisk();
    EXPECT_EQ(prompts.messages.size(), 1u) << "asked once per change";
    main.MdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(ChangedFileTest, AModifiedDocumentIsToldOncePerChangeAndNeverReopened) {
  CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
  ASSERT_NE(frame, nullptr);
  frame->Document().SetModifiedFlag(true);
  ReplaceByAnotherProgram("From elsewhere");
  main.CheckFilesOnDisk();
  main.CheckFilesOnDisk();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("Your changes are not saved yet"), std::string::npos);
  EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::Ok);
  ReplaceByAnotherProgram("Again from elsewhere");
  main.CheckFilesOnDisk();
  EXPECT_EQ(prompts.messages.size(), 2u) << "a second change is a new one";
  ASSERT_EQ(main.ChildFrames().size(), 1);
  EXPECT_EQ(main.ChildFrames().front(), frame);
  EXPECT_EQ(Titles(frame), std::vector<std::string>{"Note"});

  // Saving asks (Cancel of the scripted question: keep editing); the window says nothing more.
  prompts.messages.clear();
  prompts.QueueAnswer(MessageAnswer::Cancel);
  EXPECT_FALSE(frame->Save());
  ASSERT_EQ(prompts.messages.size(), 1u) << "no report of a failed save";
  EXPECT_EQ(prompts.messages[0].text.rfind(ChangedFileQuestion(path), 0), 0u);
  EXPECT_TRUE(frame->Document().IsModified());
  prompts.QueueAnswer(MessageAnswer::No);  // overwrite
  EXPECT_TRUE(frame->Save());
  EXPECT_FALSE(frame->Document().ChangedOnDisk());
}

TEST_F(ChangedFileTest, GettingTheFocusRunsTheCheck) {
  ASSERT_NE(main.OpenDocument(QString::fromStdString(path)), nullptr);
  ReplaceByAnotherProgram("From elsewhere");
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !prompts.messages.empty(); }, 2000));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"'" + path + "' was changed by another program.\n\nDo you want to reopen it?"});
}

TEST_F(ChangedFileTest, TheProgramsQuestionHasThreeButtons) {
  struct Case {
    const char* button;
    ChangedFileAnswer answer;
  };
  for (const Case& c : {Case{"Save &As...", ChangedFileAnswer::SaveAs}, Case{"&Overwrite", ChangedFileAnswer::Overwrite},
                        Case{"&Keep Editing", ChangedFileAnswer::KeepEditing},
                        Case{nullptr, ChangedFileAnswer::KeepEditing}}) {
    SCOPED_TRACE(c.button ? c.button : "Escape");
    QtPrompts qt;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text().toStdString(), ChangedFileQuestion(path));
      for (QAbstractButton* button : box->buttons()) {
        buttons << button->text();
        if (c.button && button->text() == QString::fromUtf8(c.button)) button->click();
      }
      if (!c.button) QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(qt.AskChangedFile(path), c.answer);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("&Keep Editing"), QStringLiteral("&Overwrite"), QStringLiteral("Save &As...")}));
  }
}

}  // namespace
}  // namespace mlf::test
