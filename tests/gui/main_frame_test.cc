#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QComboBox>
#include <QTreeWidget>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "app/main_frame.h"
#include "dialogs/find_nodes_dlg.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "store/node_record.h"
#include "support/scripted_prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/blank_area_view.h"
#include "views/child_frame.h"
#include "views/mlf_scroll_view.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"
#include "widgets/font_size_combo.h"
#include "widgets/format_bar.h"
#include "widgets/mlf_status.h"
#include "widgets/window_state.h"

namespace mlf::test {
namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() {
    AppSettings() = MlfSettings();
    main.show();
  }
  QStringList MenuTitles() const {
    QStringList titles;
    for (QAction* action : main.menuBar()->actions()) titles.push_back(action->text());
    return titles;
  }

  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
};

TEST_F(MainFrameTest, TheMenuFollowsTheDocumentWindows) {
  EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&View", "&Tools", "&Help"}));
  EXPECT_FALSE(AppCommands().Action(CommandId::kSave)->isEnabled());
  CChildFrame* frame = main.NewDocument();
  main.UpdateCommands();
  EXPECT_EQ(MenuTitles(),
            (QStringList{"&File", "&Edit", "&View", "F&ormat", "T&ree", "&Tools", "&Window", "&Help"}));
  EXPECT_TRUE(AppCommands().Action(CommandId::kSave)->isEnabled()) << "a new document is modified";
  EXPECT_EQ(frame->DocumentTitle(), QStringLiteral("Untitled 1"));

  AppCommands().Action(CommandId::kBookmarksList)->trigger();
  EXPECT_EQ(frame->TabsView()->currentIndex(), CMlfTabsView::kBookmarksTab);
  EXPECT_TRUE(AppCommands().Action(CommandId::kBookmarksList)->isChecked());
  EXPECT_FALSE(AppCommands().Action(CommandId::kMainTree)->isChecked());
  EXPECT_EQ(AppCommands().Action(CommandId::kBookmarksList)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_2));

  AppCommands().Action(CommandId::kTaskBar)->trigger();
  EXPECT_TRUE(AppCommands().Action(CommandId::kTaskBar)->isChecked());
}

TEST_F(MainFrameTest, FindInNodesIsAlwaysThereAndHearsOfClosedWindows) {
  QAction* find = AppCommands().Action(CommandId::kFindInNodes);
  EXPECT_TRUE(find->isEnabled());
  EXPECT_EQ(find->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
  CChildFrame* frame = main.NewDocument();
  CMlfNode node;
  ASSERT_TRUE(node.Create(&frame->Document(), ntNote, "needle", 0));
  find->trigger();
  CFindNodesDlg* window = main.FindNodesWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  find->trigger();
  EXPECT_EQ(main.FindNodesWindow(), window) << "the open window only gets the focus";

  window->QueryBox()->setEditText(QStringLiteral("needle"));
  window->FindNow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Searching(); }, 10000));
  ASSERT_EQ(window->Results()->topLevelItemCount(), 1);
  frame->Document().SetModifiedFlag(false);
  main.MdiArea()->closeAllSubWindows();
  EXPECT_EQ(window->Results()->topLevelItemCount(), 0);
}

TEST_F(MainFrameTest, SaveAndTheModifiedMarkFollowTheDocumentAtOnce) {
  CChildFrame* frame = main.NewDocument();
  QAction* save = AppCommands().Action(CommandId::kSave);
  frame->Document().SetModifiedFlag(false);
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(frame->isWindowModified());
  CMlfNode node;
  node.Create(&frame->Document(), ntNote, "Note", 0);  // changes the document deep in the core
  EXPECT_TRUE(save->isEnabled()) << "no polling: the document tells its window";
  EXPECT_TRUE(frame->isWindowModified());

  // A change on another thread reaches the window through its event loop.
  std::thread([&] { frame->Document().SetModifiedFlag(false); }).join();
  EXPECT_TRUE(save->isEnabled());
  QCoreApplication::processEvents();
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(frame->isWindowModified());
}

TEST_F(MainFrameTest, TheWindowMenuListsTheDocumentWindows) {
  main.NewDocument();
  main.NewDocument();
  main.UpdateCommands();
  QMenu* window = nullptr;
  for (QAction* action : main.menuBar()->actions())
    if (action->text() == QStringLiteral("&Window")) window = action->menu();
  ASSERT_NE(window, nullptr);
  Q_EMIT window->aboutToShow();
  QStringList texts;
  for (QAction* action : window->actions())
    if (!action->isSeparator()) texts.push_back(action->text());
  EXPECT_EQ(texts, (QStringList{"&Cascade", "&Tile", "&Arrange Icons", "&1 Untitled 1", "&2 Untitled 2"}));
  Q_EMIT window->aboutToShow();
  EXPECT_EQ(window->actions().size(), 6) << "filled afresh, not twice";
  for (CChildFrame* frame : main.ChildFrames()) frame->Document().SetModifiedFlag(false);
}

TEST_F(MainFrameTest, AlwaysOnTopTwiceIsOffAgain) {
  QAction* onTop = AppCommands().Action(CommandId::kAlwaysOnTop);
  onTop->trigger();
  EXPECT_TRUE(AppSettings().alwaysOnTop);
  EXPECT_TRUE(main.windowFlags() & Qt::WindowStaysOnTopHint);
  onTop->trigger();
  EXPECT_FALSE(AppSettings().alwaysOnTop);
  EXPECT_FALSE(main.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(onTop->isChecked());
}

TEST_F(MainFrameTest, TabMovesBetweenTheListAndTheContentPane) {
  CChildFrame* frame = main.NewDocument();
  CMlfTreeCtrl* tree = frame->TabsView()->NodeTree();
  QTreeWidgetItem* note = tree->NewNode(nullptr, ntNote);
  tree->closePersistentEditor(note);
  QApplication::setActiveWindow(&main);
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Escape);
  QTest::keyClick(tree, Qt::Key_Tab);
  EXPECT_TRUE(frame->BlankView()->hasFocus()) << "no node open: the blank view";
  QTest::keyClick(frame->BlankView(), Qt::Key_Tab);
  EXPECT_TRUE(tree->hasFocus());
  ASSERT_TRUE(frame->ActivateNode(true, CMlfTreeCtrl::ItemValue(note)));
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), frame->RichEditView()) << "a note open: its editor";
  for (CommandId id : {CommandId::kNextPane, CommandId::kPreviousPane}) {
    AppCommands().Action(id)->trigger();
    EXPECT_TRUE(tree->hasFocus()) << "F6 and Shift+F6 as Tab";
    AppCommands().Action(id)->trigger();
    EXPECT_EQ(QApplication::focusWidget(), frame->RichEditView());
  }
  QTest::keyClick(frame->RichEditView(), Qt::Key_F6);
  EXPECT_TRUE(tree->hasFocus()) << "the key itself";
}

TEST_F(MainFrameTest, TheImageToolbarWorksWhileAPictureIsOpen) {
  CChildFrame* frame = main.NewDocument();
  QImage picture(40, 20, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  CMlfNode node;
  node.Create(&frame->Document(), ntImage, "Picture", 0);
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  data->Put(png.data(), size_t(png.size()));
  data->Finish();

  QAction* rotate = AppCommands().Action(CommandId::kRotateClockwise);
  QAction* fit = AppCommands().Action(CommandId::kScaleToFit);
  QAction* zoom = AppCommands().Action(CommandId::kZoom);
  main.UpdateCommands();
  for (QAction* action : {rotate, fit, zoom, AppCommands().Action(CommandId::kPrint)}) EXPECT_FALSE(action->isEnabled());
  ASSERT_TRUE(frame->ActivateNode(true, node.GetId()));
  main.UpdateCommands();
  for (QAction* action : {rotate, fit, zoom, AppCommands().Action(CommandId::kPrint)}) EXPECT_TRUE(action->isEnabled());
  EXPECT_EQ(rotate->statusTip(), QStringLiteral("Rotate Clockwise"));

  rotate->trigger();
  EXPECT_EQ(frame->ImageView()->Picture().size(), QSize(20, 40));
  EXPECT_TRUE(fit->isChecked());
  fit->trigger();
  EXPECT_FALSE(AppSettings().imageScaleToFit);
  EXPECT_FALSE(fit->isChecked());
  EXPECT_FALSE(zoom->isChecked());
  zoom->trigger();
  EXPECT_TRUE(frame->ImageView()->ZoomMode());
  EXPECT_TRUE(zoom->isChecked());
  zoom->trigger();
  EXPECT_FALSE(AppZoomMode());
}

TEST_F(MainFrameTest, SingleClickModeOpensOnOneClick) {
  AppSettings().singleClick = true;
  CChildFrame* frame = main.NewDocument();
  CMlfTreeCtrl* tree = frame->TabsView()->NodeTree();
  QTreeWidgetItem* folder = tree->NewNode(nullptr, ntFolder);
  QTreeWidgetItem* note = tree->NewNode(nullptr, ntNote);
  QTest::keyClick(tree->viewport()->focusWidget() ? tree->viewport()->focusWidget() : tree, Qt::Key_Escape);
  ASSERT_TRUE(tree->AddBookmark(note, QStringLiteral("Mark")));
  QApplication::processEvents();

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(note).center());
  EXPECT_EQ(frame->ActiveNodeId(), CMlfTreeCtrl::ItemValue(note));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(folder).center());
  EXPECT_EQ(frame->ActiveNodeId(), CMlfTreeCtrl::ItemValue(note)) << "a folder does not change the open node";
  EXPECT_TRUE(folder->isExpanded());

  tree->ActivateItem(nullptr);
  frame->SwitchToTab(CMlfTabsView::kBookmarksTab);
  CBookmarkTreeCtrl* bookmarks = frame->TabsView()->BookmarkList();
  QTest::mouseClick(bookmarks->viewport(), Qt::LeftButton, {},
                    bookmarks->visualItemRect(bookmarks->topLevelItem(0)).center());
  EXPECT_EQ(frame->ActiveNodeId(), CMlfTreeCtrl::ItemValue(note));
}

TEST_F(MainFrameTest, StatusProgressLastsAsLongAsItsObject) {
  QStatusBar* bar = main.statusBar();
  EXPECT_EQ(bar->currentMessage(), QStringLiteral("For Help, press F1"));
  {
    CMlfStatus status("Decompressing document...");
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("Decompressing document..."));
    status.BeginProgress(200);
    status.StepProgress(50);
    auto* progress = bar->findChild<QProgressBar*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), 250);
    status.StepProgress(500);
    EXPECT_EQ(progress->value(), progress->maximum()) << "never beyond the end";
  }
  EXPECT_EQ(bar->findChild<QProgressBar*>(), nullptr);
  EXPECT_EQ(bar->currentMessage(), QStringLiteral("For Help, press F1"));
}

TEST(CommandTableTest, NoTwoCommandsAnswerTheSameKey) {
  // Qt runs neither of two enabled actions that share a key in one window.
  std::map<QKeySequence, std::string> owners;
  for (size_t i = 0; i < kCommandCount; ++i) {
    const CommandInfo& info = FindCommand(CommandId(i));
    EXPECT_EQ(size_t(info.id), i) << info.text;
    QAction* action = AppCommands().Action(info.id);
    EXPECT_EQ(action->text(), QString::fromLatin1(info.text));
    if (!info.key) continue;
    EXPECT_FALSE(action->shortcut().isEmpty()) << info.text << ": " << info.key;
    if (info.keyShownOnly) continue;
    auto [it, added] = owners.emplace(action->shortcut(), info.text);
    EXPECT_TRUE(added) << info.key << " is both " << it->second << " and " << info.text;
  }
}

TEST(WindowStateTest, StartupShowStateRules) {
  struct Case {
    int32_t saved;
    bool inTray;
    int32_t expected;
  } cases[] = {
      {0, false, kShowNormal},          {kShowMinimized, false, kShowNormal}, {kShowMinimize, false, kShowNormal},
      {kShowMaximized, false, kShowMaximized}, {kShowNormal, false, kShowNormal}, {kShowMaximized, true, kShowMinimize},
  };
  for (const Case& c : cases) EXPECT_EQ(StartupShowState(c.saved, c.inTray), c.expected) << c.saved << c.inTray;
}

TEST_F(MainFrameTest, TheLastClosedDocumentWindowShapesTheNextOne) {
  for (bool minimised : {true, false}) {
    CChildFrame* frame = main.NewDocument();
    frame->Document().SetModifiedFlag(false);
    auto* sub = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
    if (minimised) sub->showMinimized();
    else sub->showMaximized();
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* next = qobject_cast<QMdiSubWindow*>(main.NewDocument()->parentWidget());
    EXPECT_EQ(next->isMinimized(), minimised);
    EXPECT_EQ(next->isMaximized(), !minimised);
    qobject_cast<CChildFrame*>(next->widget())->Document().SetModifiedFlag(false);
    next->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_F(MainFrameTest, EditorCommandsGoToTheOpenNote) {
  CChildFrame* frame = main.NewDocument();
  QTreeWidgetItem* note = frame->TabsView()->NodeTree()->NewNode(nullptr, ntNote);
  ASSERT_TRUE(frame->ActivateNode(true, CMlfTreeCtrl::ItemValue(note)));
  CMlfRichEditViewEx* editor = frame->RichEditView();
  ASSERT_NE(editor, nullptr);
  main.UpdateCommands();
  auto format = [](CommandId id) { return AppCommands().Action(id); };
  QAction* copy = AppCommands().Action(CommandId::kCopy);
  EXPECT_FALSE(copy->isEnabled()) << "nothing selected";
  EXPECT_FALSE(AppCommands().Action(CommandId::kInsertObject)->isEnabled()) << "notes hold no new objects";
  EXPECT_EQ(format(CommandId::kBold)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
  EXPECT_EQ(format(CommandId::kAlignJustify)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));

  editor->insertPlainText(QStringLiteral("words"));
  editor->selectAll();
  EXPECT_TRUE(copy->isEnabled()) << "the states follow the selection";
  format(CommandId::kBold)->trigger();
  EXPECT_TRUE(editor->CurrentFormat().bold);
  EXPECT_TRUE(format(CommandId::kBold)->isChecked());
  format(CommandId::kAlignCenter)->trigger();
  EXPECT_TRUE(format(CommandId::kAlignCenter)->isChecked());
  EXPECT_FALSE(format(CommandId::kAlignLeft)->isChecked());
  QMenu* formatMenu = nullptr;
  for (QAction* menu : main.menuBar()->actions())
    if (menu->text() == QStringLiteral("F&ormat")) formatMenu = menu->menu();
  ASSERT_NE(formatMenu, nullptr);
  EXPECT_TRUE(formatMenu->actions().contains(format(CommandId::kBullets)));
  EXPECT_TRUE(formatMenu->actions().contains(format(CommandId::kIndentMore)));

  // The editor's context menu holds the same actions, which reach the open note.
  std::unique_ptr<QMenu> context(editor->CreateContextMenu());
  ASSERT_TRUE(context->actions().contains(copy));
  QApplication::clipboard()->clear();
  copy->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("words"));
  context.reset();  // a child of the editor, which goes next

  ASSERT_TRUE(frame->ActivateNode(false, -1));
  main.UpdateCommands();
  EXPECT_FALSE(format(CommandId::kBold)->isEnabled()) << "no note open";
}

TEST_F(MainFrameTest, TheFormattingBarWorksOnTheFocusedNote) {
  auto* bar = main.findChild<CFormatBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->IsEnabled()) << "no note yet";
  CChildFrame* frame = main.NewDocument();
  QTreeWidgetItem* note = frame->TabsView()->NodeTree()->NewNode(nullptr, ntNote);
  ASSERT_TRUE(frame->ActivateNode(true, CMlfTreeCtrl::ItemValue(note)));
  CMlfRichEditViewEx* editor = frame->RichEditView();
  main.UpdateCommands();
  EXPECT_EQ(bar->Target(), editor);
  QFocusEvent focusIn(QEvent::FocusIn);
  QApplication::sendEvent(editor, &focusIn);
  EXPECT_TRUE(bar->IsEnabled()) << "the editor has the focus";

  editor->insertPlainText(QStringLiteral("words"));
  editor->selectAll();
  QLineEdit* size = bar->FontSizeCombo()->lineEdit();
  size->setText(QStringLiteral("13"));
  QTest::keyClick(size, Qt::Key_Return);
  EXPECT_EQ(editor->CurrentFormat().halfPoints, 26) << "13 points are 260 twips";

  ASSERT_TRUE(frame->ActivateNode(false, -1));
  main.UpdateCommands();
  EXPECT_FALSE(bar->IsEnabled()) << "the editor went";
  EXPECT_EQ(bar->Target(), nullptr);
}

}  // namespace
}  // namespace mlf::test
