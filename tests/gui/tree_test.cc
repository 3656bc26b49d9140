#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "app/app_settings.h"
#include "store/node.h"
#include "store/node_clipboard.h"
#include "gui_fixture.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/task_images.h"
#include "tree/tree_images.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

using Titles = std::vector<std::string>;

class TreeTest : public GuiFixture {};

TEST_F(TreeTest, SiblingOrderIsShownAsTheSortOptionsSay) {
  struct Case {
    const char* name;
    uint16_t sortFlags, folders;
    std::vector<std::pair<uint8_t, const char*>> nodes;  // added in this order (ascending ids)
    Titles expected;
  } cases[] = {
      {"numbers on", kSortNumerical, kFoldersFirst, {{ntNote, "10 Apples"}, {ntNote, "9 Pears"}}, {"9 Pears", "10 Apples"}},
      {"numbers off", 0, kFoldersFirst, {{ntNote, "9 Pears"}, {ntNote, "10 Apples"}}, {"10 Apples", "9 Pears"}},
      {"ties keep id order", 0, kFoldersFirst, {{ntNote, "apple"}, {ntNote, "Apple"}}, {"apple", "Apple"}},
      {"folders first, Z to A", kSortDescending, kFoldersFirst,
       {{ntNote, "a note"}, {ntFolder, "A"}, {ntFolder, "B"}}, {"B", "A", "a note"}},
      {"folders last", 0, kFoldersLast, {{ntFolder, "Z"}, {ntNote, "a"}}, {"a", "Z"}},
      {"mixed", 0, kFoldersMixed, {{ntFolder, "b"}, {ntNote, "a"}, {ntNote, "c"}}, {"a", "b", "c"}},
      // Not transitive: the insertion walk over ascending ids decides.
      {"numbered among unnumbered", kSortNumerical, kFoldersFirst,
       {{ntNote, "b"}, {ntNote, "10 x"}, {ntNote, "9 y"}, {ntNote, "a"}}, {"9 y", "10 x", "a", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pending = std::make_unique<CMarrowleafDoc>(env);
    doc = pending.get();
    doc->OnNewDocument();
    FileHeader header = doc->GetHeader();
    header.sortFlags = c.sortFlags;
    header.folderArrangement = c.folders;
    doc->SetHeader(header, false);
    for (auto [type, title] : c.nodes) Add(type, title);
    Show();
    EXPECT_EQ(Children(), c.expected);
  }
}

TEST_F(TreeTest, NewFolderGoesFirstInsideTheClickedFolderWithItsPlaceholder) {
  uint32_t folder = Add(ntFolder, "Folder");
  Add(ntNote, "Old", folder);
  Show();
  QTreeWidgetItem* created = Tree().NewNode(Item(folder), ntFolder);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(Children(Item(folder)), (Titles{"New Folder", "Old"}));
  EXPECT_EQ(Children(created), Titles{kEmptyText});
  EXPECT_TRUE(created->isExpanded());
  EXPECT_EQ(CMlfTreeCtrl::ItemImage(created->child(0)), TreeImage::kEmpty);
  // The label is being edited; Esc keeps the default title.
  auto* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maxLength(), 64);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(created->text(0), QStringLiteral("New Folder"));
}

TEST_F(TreeTest, NewNoteOnThePlaceholderTakesItsPlace) {
  uint32_t folder = Add(ntFolder, "Empty");
  Show();
  ASSERT_EQ(Children(Item(folder)), Titles{kEmptyText});
  QTreeWidgetItem* created = Tree().NewNode(Item(folder)->child(0), ntNote);
  EXPECT_EQ(Children(Item(folder)), Titles{"New Note"});
  EXPECT_EQ(created, Item(folder)->child(0));
  CMlfNode node(doc, uint32_t(CMlfTreeCtrl::ItemValue(created)));
  EXPECT_EQ(node.GetParent(), folder);
}

TEST_F(TreeTest, DeletingTheLastChildBringsBackThePlaceholder) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Only", folder);
  Show();
  prompts.QueueAnswer(MessageAnswer::No);
  Tree().DeleteItem(Item(note));
  EXPECT_EQ(Children(Item(folder)), Titles{"Only"}) << "No keeps the node";
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Are you sure you want to delete this item?");
  EXPECT_EQ(prompts.messages[0].caption, "Confirm item delete");
  EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);

  AppSettings().promptDelete = false;
  Tree().DeleteItem(Item(note));
  EXPECT_EQ(prompts.messages.size(), 1u) << "no question with PromptDelete off";
  EXPECT_EQ(Children(Item(folder)), Titles{kEmptyText});
  NTV record;
  EXPECT_FALSE(doc->Data_GetItem(note, record));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(TreeTest, DeletingTheFolderOfTheOpenNoteShowsTheBlankView) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Open me", folder, "text");
  Show();
  Tree().ActivateItem(Item(note));
  ASSERT_NE(frame->RichEditView(), nullptr);
  EXPECT_EQ(Bold(), (Titles{"Folder", "Open me"}));
  AppSettings().promptDelete = false;
  Tree().DeleteItem(Item(folder));
  EXPECT_NE(frame->BlankView(), nullptr);
  EXPECT_EQ(frame->ActiveNodeId(), -1);
  EXPECT_TRUE(Bold().empty());
  EXPECT_EQ(Tree().ActiveItem(), nullptr);
}

TEST_F(TreeTest, RefreshCollapsesAndKeepsTheActiveMarks) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Note", folder, "x");
  Show();
  Item(folder)->setExpanded(true);
  Tree().ActivateItem(Item(note));
  frame->Refresh();
  EXPECT_FALSE(Item(folder)->isExpanded());
  EXPECT_EQ(Bold(), (Titles{"Folder", "Note"}));
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(note)), TreeOverlay::kActive);
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(folder)), TreeOverlay::kActiveAncestor);
  EXPECT_EQ(Tree().ActiveItem(), Item(note));
}

TEST_F(TreeTest, EveryNodeIsFoundThroughTheChangesOfTheTree) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t inner = Add(ntNote, "Inner", folder, "x");
  uint32_t empty = Add(ntFolder, "Empty");
  Show();
  auto inTree = [&](uint32_t node) {
    QTreeWidgetItem* item = Item(node);
    return item && item->treeWidget() == &Tree() && CMlfTreeCtrl::ItemValue(item) == node;
  };
  EXPECT_TRUE(inTree(inner));

  // An entry made on a placeholder, a refresh that makes every entry anew, then a record
  // changed behind the tree's back.
  auto made = uint32_t(CMlfTreeCtrl::ItemValue(Tree().NewNode(Item(empty)->child(0), ntNote)));
  if (QLineEdit* rename = Editor()) QTest::keyClick(rename, Qt::Key_Escape);
  EXPECT_TRUE(inTree(made));
  frame->Refresh();
  for (uint32_t node : {folder, inner, empty, made}) EXPECT_TRUE(inTree(node)) << node;
  CMlfNode record(doc, inner);
  record.SetTitle("Renamed");
  record.Update(false);
  frame->RefreshNode(inner);
  EXPECT_EQ(Item(inner)->text(0), QStringLiteral("Renamed"));

  // A deleted branch takes the entries below it out of the index.
  AppSettings().promptDelete = false;
  Tree().DeleteItem(Item(folder));
  EXPECT_EQ(Item(folder), nullptr);
  EXPECT_EQ(Item(inner), nullptr);
  frame->RefreshNode(inner);  // nothing to refresh, nothing touched
  EXPECT_TRUE(inTree(made));
}

TEST_F(TreeTest, PadlockBeatsClock) {
  uint32_t locked = Add(ntNote, "Locked", 0, "secret");
  uint32_t plain = Add(ntNote, "Plain", 0, "x");
  Encrypt(locked, "pw");
  for (uint32_t node : {locked, plain}) {
    MLFTASK task;
    doc->GetTask(doc->NewTask(), task);
    task.nFlags = kTaskAttached;
    task.nNode = node;
    doc->SetTask(task, false);
  }
  Show();
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(locked)), TreeOverlay::kEncrypted);
  EXPECT_EQ(CMlfTreeCtrl::ItemOverlay(Item(plain)), TreeOverlay::kTask);
}

TEST_F(TreeTest, RenameAppliesTheTitleAndRefusesAnEmptyName) {
  uint32_t note = Add(ntNote, "Before", 0, "x");
  Show();
  doc->SetModifiedFlag(false);
  auto rename = [&](const QString& text) {
    Tree().RenameItem(Item(note));
    auto* editor = Editor();
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the edit is committed from the event loop
  };
  rename(QString());
  EXPECT_EQ(MessageTexts(), Titles{"You must enter a name for this item"});
  EXPECT_FALSE(doc->IsModified());
  QCoreApplication::processEvents();
  EXPECT_NE(Editor(), nullptr) << "the edit box opens again";
  QTest::keyClick(Editor(), Qt::Key_Escape);
  rename(QStringLiteral("Caf\u00e9"));
  CMlfNode node(doc, note);
  EXPECT_EQ(std::string(node.GetTitle()), "Caf\xe9") << "stored in the code page";
  EXPECT_EQ(Item(note)->text(0), QStringLiteral("Caf\u00e9"));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(TreeTest, BookmarksAreListedByNameAndOpenTheirNode) {
  uint32_t first = Add(ntNote, "First", 0, "1");
  uint32_t second = Add(ntNote, "Second", 0, "2");
  Show();
  CBookmarkTreeCtrl& list = *frame->TabsView()->BookmarkList();
  ASSERT_TRUE(Tree().AddBookmark(Item(first), QStringLiteral("zebra")));
  ASSERT_TRUE(Tree().AddBookmark(Item(second), QStringLiteral("Apple")));
  ASSERT_TRUE(Tree().AddBookmark(Item(first), QStringLiteral("mango")));
  std::vector<std::string> names;
  for (int i = 0; i < list.topLevelItemCount(); ++i) names.push_back(list.topLevelItem(i)->text(0).toStdString());
  EXPECT_EQ(names, (Titles{"Apple", "mango", "zebra"}));

  list.ActivateBookmark(list.topLevelItem(0));
  EXPECT_EQ(frame->ActiveNodeId(), second);
  EXPECT_EQ(frame->TabsView()->currentIndex(), CMlfTabsView::kMainTab) << "the tab does not change";

  doc->SetModifiedFlag(false);
  list.DeleteBookmark(list.topLevelItem(0));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_TRUE(prompts.messages.empty()) << "no question";
  AppSettings().promptDelete = false;
  Tree().DeleteItem(Item(first));
  EXPECT_EQ(list.topLevelItemCount(), 0) << "the bookmarks of a deleted node leave the list";
}

TEST_F(TreeTest, ActivatingAFolderTogglesItAndDoubleClickOnEmptySpaceClosesTheNode) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Note", 0, "x");
  Show();
  Tree().ActivateItem(Item(note));
  Tree().ActivateItem(Item(folder));
  EXPECT_TRUE(Item(folder)->isExpanded());
  EXPECT_EQ(CMlfTreeCtrl::ItemImage(Item(folder)), TreeImage::kFolderOpen);
  EXPECT_EQ(frame->ActiveNodeId(), note) << "a folder leaves the open node";
  QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, QPoint(20, Tree().viewport()->height() - 5));
  EXPECT_EQ(frame->ActiveNodeId(), -1);
  EXPECT_TRUE(Bold().empty());
}

TEST_F(TreeTest, RenamingABookmarkKeepsItsPlaceAndRefusesAnEmptyName) {
  uint32_t note = Add(ntNote, "Note", 0, "x");
  Show();
  CBookmarkTreeCtrl& list = *frame->TabsView()->BookmarkList();
  frame->SwitchToTab(CMlfTabsView::kBookmarksTab);
  Tree().AddBookmark(Item(note), QStringLiteral("alpha"));
  Tree().AddBookmark(Item(note), QStringLiteral("beta"));
  auto editor = [&]() -> QLineEdit* {
    for (QLineEdit* edit : list.viewport()->findChildren<QLineEdit*>())
      if (edit->isVisible()) return edit;
    return nullptr;
  };
  auto rename = [&](QTreeWidgetItem* item, const QString& text) {
    list.RenameBookmark(item);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->maxLength(), 128);
    editor()->setText(text);
    QTest::keyClick(editor(), Qt::Key_Return);
    QCoreApplication::processEvents();
  };
  rename(list.topLevelItem(0), QString());
  EXPECT_EQ(MessageTexts(), Titles{"You must enter a name for this bookmark"});
  QCoreApplication::processEvents();
  ASSERT_NE(editor(), nullptr) << "the edit box opens again";
  QTest::keyClick(editor(), Qt::Key_Escape);
  rename(list.topLevelItem(0), QStringLiteral("zulu"));
  EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("zulu")) << "not re-sorted";
  MLFBOOKMARK bookmark;
  ASSERT_TRUE(doc->GetBookmark(CBookmarkTreeCtrl::BookmarkId(list.topLevelItem(0)), bookmark));
  EXPECT_EQ(bookmark.strName, "zulu");
}

TEST_F(TreeTest, ContextMenuOffersWhatTheEntryAllows) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Note", 0, "x");
  Show();
  auto enabled = [&](QTreeWidgetItem* context) {
    std::unique_ptr<QMenu> menu = Tree().MakeContextMenu(context);
    std::vector<std::string> texts;
    for (QAction* action : menu->actions())
      if (action->isEnabled() && !action->isSeparator()) texts.push_back(action->text().toStdString());
    return texts;
  };
  EXPECT_EQ(enabled(Item(note)), (Titles{"&New", "&Import", "&Export...", "Cu&t", "&Copy", "&Delete", "&Rename",
                                          "Add to &Bookmarks...", "&Tasks", "Properties...."}));
  EXPECT_EQ(enabled(Item(folder)), (Titles{"&New", "&Import", "Cu&t", "&Copy", "&Delete", "&Rename", "&Tasks"}));
  EXPECT_EQ(enabled(Item(folder)->child(0)), (Titles{"&New", "&Import", "&Tasks"})) << "the placeholder";
  EXPECT_EQ(enabled(nullptr), (Titles{"&New", "&Import", "&Tasks"}));
  // Paste once the node clipboard holds a node, wherever it came from.
  Tree().CopyItem(Item(note));
  EXPECT_EQ(enabled(nullptr), (Titles{"&New", "&Import", "&Paste", "&Tasks"}));
  NodeClipboard::Instance().Clear();
}

TEST_F(TreeTest, KeysActOnTheSelectedEntry) {
  uint32_t note = Add(ntNote, "Note", 0, "x");
  uint32_t other = Add(ntNote, "Other", 0, "y");
  Show();
  AppSettings().promptDelete = false;
  Tree().setFocus();
  Tree().setCurrentItem(Item(note));
  QTest::keyClick(&Tree(), Qt::Key_Return);
  EXPECT_EQ(frame->ActiveNodeId(), note);
  Tree().setCurrentItem(Item(other));
  QTest::keyClick(&Tree(), Qt::Key_Space);
  EXPECT_EQ(frame->ActiveNodeId(), other);
  QTest::keyClick(&Tree(), Qt::Key_F2);
  ASSERT_NE(Editor(), nullptr) << "F2 renames";
  QTest::keyClick(Editor(), Qt::Key_Escape);
  Tree().setCurrentItem(Item(note));
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  EXPECT_EQ(Item(note), nullptr);
}

}  // namespace
}  // namespace mlf::test

namespace mlf {
namespace {

bool Drawn(const QPixmap& pixmap) {
  QImage image = pixmap.toImage();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y).alpha() > 0) return true;
  return false;
}

TEST(ArtworkTest, EveryTreeAndTaskImageIsDrawn) {
  for (int i = 0; i < kTreeImageCount; ++i) {
    QPixmap image = TreeImages::Instance().Image(i);
    EXPECT_EQ(image.size(), QSize(16, 16)) << "tree image " << i;
    EXPECT_TRUE(Drawn(image)) << "tree image " << i;
  }
  for (int i = kTaskImageClock; i <= kTaskImageAttachedNote; ++i) {
    EXPECT_EQ(TaskImages::Instance().Image(i).size(), QSize(16, 16)) << "task image " << i;
    EXPECT_TRUE(Drawn(TaskImages::Instance().Image(i))) << "task image " << i;
  }
  QImage plain = TaskImages::Instance().RowIcon(false).pixmap(16, 16).toImage();
  QImage attached = TaskImages::Instance().RowIcon(true).pixmap(16, 16).toImage();
  EXPECT_NE(plain, attached) << "an attached task shows the note over its clock";
}

}  // namespace
}  // namespace mlf
