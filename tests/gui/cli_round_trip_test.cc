// A note file built only with the mlf tool, then opened in the program: its tree, marks, lists
// and views show what the commands made.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTreeWidgetItem>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "crypt/crypt_dll_handler.h"
#include "store/document.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/task_ctrl.h"
#include "views/blank_area_view.h"
#include "views/child_frame.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

// A picture of one colour as PNG bytes.
std::string Png(QColor colour, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

std::vector<std::string> Texts(const QTreeWidgetItem* parent) {
  std::vector<std::string> texts;
  for (int i = 0; i < parent->childCount(); ++i) texts.push_back(parent->child(i)->text(0).toStdString());
  return texts;
}

class CliRoundTripTest : public ::testing::Test {
 protected:
  CliRoundTripTest() {
    AppSettings() = MlfSettings();
    AppCrypt().Load(Env::Default());  // the module beside the test, as mlf loads it beside itself
  }
  ~CliRoundTripTest() override { AppCrypt().Unload(); }

  // Runs mlf in the scratch folder with standard input; the test fails unless it succeeds.
  void Mlf(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess mlf;
    mlf.setWorkingDirectory(QString::fromStdString(dir.path()));
    mlf.start(QStringLiteral(MLF_TOOL_PATH), arguments);
    ASSERT_TRUE(mlf.waitForStarted());
    mlf.write(input);
    mlf.closeWriteChannel();
    ASSERT_TRUE(mlf.waitForFinished(60000));
    EXPECT_EQ(mlf.exitCode(), 0) << "mlf " << arguments.join(' ').toStdString() << ":\n"
                                 << mlf.readAllStandardError().toStdString();
  }

  uint32_t IdOf(const CMarrowleafDoc& doc, const std::string& path) const {
    uint32_t found = 0;
    doc.Data_EnumItems([&](const NTV& r) {
      if (doc.Data_GetItemPath(r.nIndex) == path) found = r.nIndex;
    });
    EXPECT_NE(found, 0u) << path;
    return found;
  }

  ScratchDir dir;
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
};

TEST_F(CliRoundTripTest, WhatMlfBuiltIsWhatTheProgramShows) {
  ASSERT_TRUE(AppCrypt().IsAvailable()) << "the encryption module is not beside the test";
  WriteWholeFile(dir / "bread.txt", "Flour, water and salt.\n");
  WriteWholeFile(dir / "photo.png", Png(Qt::red, 20, 10));
  WriteWholeFile(dir / "blob.bin", std::string("\x00\x01\x02\xff", 4));
  WriteWholeFile(dir / "page.html", "<html><body><p>A page.</p></body></html>\n");
  WriteWholeFile(dir / "logo.png", Png(QColor(0, 160, 0), 60, 40));
  WriteWholeFile(dir / "diary-pw", "diary words\n");
  WriteWholeFile(dir / "file-pw", "file words\n");

  Mlf({"new", "notes.mlf"});
  Mlf({"mkdir", "notes.mlf", "//Recipes"});
  Mlf({"mkdir", "notes.mlf", "//Archive/2026"});
  Mlf({"import", "notes.mlf", "bread.txt", "photo.png", "blob.bin", "page.html", "--into", "//Recipes"});
  Mlf({"write", "notes.mlf", "//Recipes/10 Cakes"}, "Eggs first.\n");
  Mlf({"write", "notes.mlf", "//Recipes/9 Buns"}, "Buns later.\n");
  Mlf({"write", "notes.mlf", "//Diary"}, "Dear diary.\n");
  Mlf({"keywords", "notes.mlf", "//Recipes/bread", "--add", "Baking", "--add", "daily"});
  Mlf({"lock", "notes.mlf", "//Diary", "--new-password-file", "diary-pw"});
  Mlf({"bookmark", "add", "notes.mlf", "//Recipes/bread", "Daily bread"});
  Mlf({"task", "add", "notes.mlf", "--title", "Feed the starter", "--node", "//Recipes/bread"});
  Mlf({"task", "add", "notes.mlf", "--title", "Write an entry", "--node", "//Diary"});
  Mlf({"sort", "notes.mlf", "--order", "za", "--folders", "last", "--numeric"});
  Mlf({"logo", "notes.mlf", "--set", "logo.png"});
  Mlf({"passwd", "notes.mlf", "--new-password-file", "file-pw"});
  if (HasFailure()) return;

  prompts.QueuePassword("file words");
  CChildFrame* frame = main.OpenDocument(QString::fromStdString(dir / "notes.mlf"));
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
  CMarrowleafDoc& doc = frame->Document();
  CMlfTreeCtrl& tree = *frame->TabsView()->NodeTree();

  // Z to A with folders last, leading numbers ascending in either order.
  EXPECT_EQ(Texts(tree.invisibleRootItem()), (std::vector<std::string>{"Diary", "Recipes", "Archive"}));
  QTreeWidgetItem* recipes = tree.FindItem(IdOf(doc, "//Recipes"));
  ASSERT_NE(recipes, nullptr);
  EXPECT_EQ(Texts(recipes), (std::vector<std::string>{"photo", "page", "bread", "blob", "9 Buns", "10 Cakes"}));
  NTV photo, page, blob;
  ASSERT_TRUE(doc.Data_GetItem(IdOf(doc, "//Recipes/photo"), photo));
  ASSERT_TRUE(doc.Data_GetItem(IdOf(doc, "//Recipes/page"), page));
  ASSERT_TRUE(doc.Data_GetItem(IdOf(doc, "//Recipes/blob"), blob));
  EXPECT_EQ(photo.nType, ntImage);
  EXPECT_EQ(page.nType, ntHtml);
  EXPECT_EQ(blob.nType, ntForeign);

  // The padlock beats the clock of the task attached to the locked note.
  uint32_t diary = IdOf(doc, "//Diary"), bread = IdOf(doc, "//Recipes/bread");
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(tree.FindItem(diary)), TreeOverlay::kEncrypted);
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(tree.FindItem(bread)), TreeOverlay::kTask);
  std::vector<std::string> keywords;
  doc.EnumNodeKeywordNames(bread, [&](const std::string& k) { keywords.push_back(k); });
  EXPECT_EQ(keywords, (std::vector<std::string>{"baking", "daily"}));

  CBookmarkTreeCtrl& bookmarks = *frame->TabsView()->BookmarkList();
  ASSERT_EQ(bookmarks.topLevelItemCount(), 1);
  EXPECT_EQ(bookmarks.topLevelItem(0)->text(0), QStringLiteral("Daily bread"));
  CTaskCtrl& tasks = *frame->TaskList();
  ASSERT_EQ(tasks.topLevelItemCount(), 2);
  EXPECT_EQ(tasks.topLevelItem(0)->text(CTaskCtrl::kTitleColumn), QStringLiteral("Feed the starter"));
  EXPECT_EQ(tasks.topLevelItem(1)->text(CTaskCtrl::kTitleColumn), QStringLiteral("Write an entry"));

  // No node is open yet: the blank view shows the logo set with mlf.
  ASSERT_NE(frame->BlankView(), nullptr);
  QImage blank = frame->BlankView()->grab().toImage();
  EXPECT_EQ(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(0, 160, 0));

  // The notes open with their text, the locked one with the password given to mlf.
  ASSERT_TRUE(frame->ActivateNode(true, bread));
  ASSERT_NE(frame->RichEditView(), nullptr);
  EXPECT_NE(frame->RichEditView()->toPlainText().indexOf(QStringLiteral("Flour, water and salt.")), -1);
  prompts.QueuePassword("diary words");
  ASSERT_TRUE(frame->ActivateNode(true, diary));
  EXPECT_NE(frame->RichEditView()->toPlainText().indexOf(QStringLiteral("Dear diary.")), -1);
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
  doc.SetModifiedFlag(false);
}

}  // namespace
}  // namespace mlf::test
