// Moving and copying branches in the node tree: drops of dragged entries (called as the drop
// handler would be), the node clipboard, files dropped from a file manager.
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "gui_fixture.h"
#include "platform/fault_env.h"
#include "store/node_clipboard.h"
#include "store/node_data.h"
#include "store/stream_reader.h"
#include "tree/node_drag_data.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

using Titles = std::vector<std::string>;

// A second document window beside the fixture's, on its own memory file system (seen through
// a fault injector).
struct OtherWindow {
  explicit OtherWindow(TestCrypt& crypt) {
    auto document = std::make_unique<CMarrowleafDoc>(faults);
    doc = document.get();
    doc->OnNewDocument();
    doc->SetCryptProvider(&crypt);
    target = AddNode(*doc, ntFolder, "Target");
    frame = std::make_unique<CChildFrame>(std::move(document), QStringLiteral("Untitled 2"));
    frame->resize(800, 500);
    frame->show();
    frame->OnDocumentLoaded();
  }
  static uint32_t AddNode(CMarrowleafDoc& doc, uint8_t type, const char* title, uint32_t parent = 0) {
    CMlfNode node;
    node.Create(&doc, type, title, parent);
    return node.GetId();
  }
  CMlfTreeCtrl& Tree() const { return *frame->TabsView()->NodeTree(); }

  MemEnv env;
  FaultEnv faults{env};
  CMarrowleafDoc* doc;
  uint32_t target;
  std::unique_ptr<CChildFrame> frame;
};

std::string ReadContent(CMarrowleafDoc& doc, uint32_t nodeId) {
  CMlfNode node(&doc, nodeId);
  std::string content;
  if (CMlfNodeData* data = node.GetNodeDataForRead()) {
    char buffer[4096];
    while (size_t n = data->Get(buffer, sizeof buffer)) content.append(buffer, n);
  }
  return content;
}

uint32_t ParentOf(CMarrowleafDoc& doc, uint32_t nodeId) {
  NTV record;
  return doc.Data_GetItem(nodeId, record) ? record.nParent : uint32_t(-1);
}

// The ids of a parent's children in the document, ascending.
std::vector<uint32_t> ChildIds(CMarrowleafDoc& doc, uint32_t parent) {
  std::vector<uint32_t> ids;
  doc.Data_EnumItems([&](const NTV& record) {
    if (record.nParent == parent) ids.push_back(record.nIndex);
  });
  return ids;
}

uint32_t ChildNamed(CMarrowleafDoc& doc, uint32_t parent, const std::string& title) {
  for (uint32_t id : ChildIds(doc, parent)) {
    NTV record;
    doc.Data_GetItem(id, record);
    if (record.strTitle == title) return id;
  }
  return 0;
}

class TreeTransferTest : public GuiFixture {
 protected:
  ~TreeTransferTest() override { NodeClipboard::Instance().Clear(); }

  // The point of an entry in its tree, or of the empty space below the last entry.
  static QPoint PointOf(CMlfTreeCtrl& tree, QTreeWidgetItem* item) {
    if (!item) return {5, tree.viewport()->height() - 5};
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    tree.scrollToItem(item);
    return tree.visualItemRect(item).center();
  }
  static Qt::DropAction Drop(CMlfTreeCtrl& into, CMlfTreeCtrl& from, uint32_t nodeId, QTreeWidgetItem* target,
                             Qt::KeyboardModifiers modifiers = {}, bool rightButton = false) {
    auto data = MakeNodeDragData({&from, nodeId, rightButton});
    return into.DropAt(*data, PointOf(into, target), modifiers);
  }
  // Chooses the item of the drop menu once it shows; the texts and accessible names it had.
  void ChooseFromDropMenu(const QString& choice) {
    QTimer::singleShot(0, [this, choice] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      QAccessibleInterface* access = QAccessible::queryAccessibleInterface(menu);
      for (int i = 0; access && i < access->childCount(); ++i)
        menuNames.push_back(access->child(i)->text(QAccessible::Name).toStdString());
      for (QAction* action : menu->actions()) {
        menuTexts.push_back(action->text().toStdString());
        if (action->text() == choice) menu->setActiveAction(action);
      }
      QTest::keyClick(menu, Qt::Key_Return);
    });
  }

  Titles menuTexts, menuNames;
};

TEST_F(TreeTransferTest, DropWithinADocumentMovesAsThePartsOfTheTreeSay) {
  uint32_t a = Add(ntFolder, "A");
  uint32_t inA = Add(ntNote, "In A", a, "a text");
  uint32_t sub = Add(ntFolder, "Sub", a);
  uint32_t deep = Add(ntNote, "Deep", sub);
  uint32_t b = Add(ntFolder, "B");
  uint32_t top = Add(ntNote, "Top", 0, "top text");
  doc->AddBookmark(top, "mark");
  MLFTASK task;
  task.strTitle = "call";
  task.nFlags = kTaskAttached;
  task.nNode = top;
  uint32_t taskId = doc->NewTask(task);
  Show();

  constexpr uint32_t kUnchanged = uint32_t(-2);
  struct Case {
    const char* name;
    uint32_t node, onto;  // onto 0: the empty space below the entries
    uint32_t parent;      // afterwards, or kUnchanged
    const char* refusal;
  } cases[] = {
      {"top-level note onto a top-level folder goes in", top, b, b, ""},
      {"nested note onto a folder elsewhere goes beside it", inA, b, 0, ""},
      {"nested note onto empty space goes to the top level", deep, 0, 0, ""},
      {"onto itself", a, a, kUnchanged, "An item cannot be dropped onto itself."},
      {"folder into its own branch", a, sub, kUnchanged, "A folder cannot be moved or copied into its own branch."},
      {"top-level entry onto empty space", b, 0, kUnchanged,
       "The item is at this level already: drop it on a folder to put it there."},
      // By now "In A" is a top-level note.
      {"onto a sibling note", b, inA, kUnchanged,
       "The item is at this level already: drop it on a folder to put it there."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t before = ParentOf(*doc, c.node);
    uint32_t onto = c.onto;
    auto data = MakeNodeDragData({&Tree(), c.node, false});
    QString refusal = Tree().DropRefusal(*data, PointOf(Tree(), onto ? Item(onto) : nullptr));
    EXPECT_EQ(refusal.toStdString(), c.refusal);
    Qt::DropAction done = Drop(Tree(), Tree(), c.node, onto ? Item(onto) : nullptr);
    uint32_t expected = c.parent == kUnchanged ? before : c.parent;
    EXPECT_EQ(ParentOf(*doc, c.node), expected);
    EXPECT_EQ(done, c.parent == kUnchanged ? Qt::IgnoreAction : Qt::MoveAction);
    // The entry went along and sits under its node's parent.
    ASSERT_NE(Item(c.node), nullptr);
    EXPECT_EQ(Item(c.node)->parent(), expected ? Item(expected) : nullptr);
    EXPECT_EQ(Tree().DropHighlight(), nullptr);
  }
  // A move keeps the node itself: its id, content, bookmark and task.
  EXPECT_EQ(Content(top), "top text");
  EXPECT_TRUE(doc->NodeHasTask(top));
  MLFTASK after;
  ASSERT_TRUE(doc->GetTask(taskId, after));
  EXPECT_EQ(after.nNode, top);
  int bookmarks = 0;
  doc->EnumBookmarks([&](const MLFBOOKMARK& bookmark) { bookmarks += bookmark.nNode == top; });
  EXPECT_EQ(bookmarks, 1);
  // The folder that lost its last child shows its placeholder.
  EXPECT_EQ(Children(Item(sub)), (Titles{kEmptyText}));
}

TEST_F(TreeTransferTest, CtrlCopiesWithinADocumentAndPromptMoveAsks) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "Note", 0, "text");
  Show();
  EXPECT_EQ(Drop(Tree(), Tree(), note, Item(folder), Qt::ControlModifier), Qt::CopyAction);
  EXPECT_EQ(ParentOf(*doc, note), 0u);
  std::vector<uint32_t> inside = ChildIds(*doc, folder);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_NE(inside[0], note);
  EXPECT_EQ(Content(inside[0]), "text");

  AppSettings().promptMove = true;
  prompts.QueueAnswer(MessageAnswer::No);
  EXPECT_EQ(Drop(Tree(), Tree(), note, Item(folder)), Qt::IgnoreAction);
  EXPECT_EQ(ParentOf(*doc, note), 0u);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Are you sure you want to move this item?");
  EXPECT_EQ(prompts.messages[0].caption, "Confirm item move");
  prompts.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(Drop(Tree(), Tree(), note, Item(folder)), Qt::MoveAction);
  EXPECT_EQ(ParentOf(*doc, note), folder);
}

class AcrossDocumentsTest : public TreeTransferTest {
 protected:
  // Project > Inner > {Plan (keywords, a bookmark, a task), Secret (encrypted)}.
  void SetUp() override {
    project = Add(ntFolder, "Project");
    inner = Add(ntFolder, "Inner", project);
    plan = Add(ntNote, "Plan", inner, "plan text");
    secret = Add(ntNote, "Secret", inner, "secret text");
    Encrypt(secret, "pw");
    doc->SetNodeKeywords(plan, {plan, {doc->FindOrAddKeyword("alpha"), doc->FindOrAddKeyword("beta")}});
    doc->AddBookmark(plan, "Plan mark");
    MLFTASK task;
    task.strTitle = "Do it";
    task.nFlags = kTaskAttached;
    task.nNode = plan;
    task.nDue = 1234;
    doc->NewTask(task);
    Show();
    other = std::make_unique<OtherWindow>(crypt);
  }
  // The copy's ids in the other document; false when its shape is not the branch's.
  bool FindCopy(uint32_t& copyProject, uint32_t& copyPlan, uint32_t& copySecret) {
    copyProject = ChildNamed(*other->doc, other->target, "Project");
    uint32_t copyInner = ChildNamed(*other->doc, copyProject, "Inner");
    copyPlan = ChildNamed(*other->doc, copyInner, "Plan");
    copySecret = ChildNamed(*other->doc, copyInner, "Secret");
    return copyProject && copyInner && copyPlan && copySecret;
  }
  size_t NodeCount() const { return doc->Data_GetCount(); }

  uint32_t project = 0, inner = 0, plan = 0, secret = 0;
  std::unique_ptr<OtherWindow> other;
};

TEST_F(AcrossDocumentsTest, ABranchCopiedAcrossKeepsKeywordsBookmarksTasksAndEncryption) {
  ASSERT_EQ(Drop(other->Tree(), Tree(), project, other->Tree().FindItem(other->target)), Qt::CopyAction);
  uint32_t copyProject, copyPlan, copySecret;
  ASSERT_TRUE(FindCopy(copyProject, copyPlan, copySecret));
  // The source is untouched by a copy.
  EXPECT_EQ(NodeCount(), 4u);
  EXPECT_EQ(ParentOf(*doc, project), 0u);

  Titles keywords;
  other->doc->EnumNodeKeywordNames(copyPlan, [&](const std::string& name) { keywords.push_back(name); });
  EXPECT_EQ(keywords, (Titles{"alpha", "beta"}));
  Titles marks;
  other->doc->EnumBookmarks([&](const MLFBOOKMARK& b) {
    if (b.nNode == copyPlan) marks.push_back(b.strName);
  });
  EXPECT_EQ(marks, (Titles{"Plan mark"}));
  Titles tasks;
  other->doc->EnumTasks([&](const MLFTASK& t) {
    if ((t.nFlags & kTaskAttached) && t.nNode == copyPlan && t.nDue == 1234) tasks.push_back(t.strTitle);
  });
  EXPECT_EQ(tasks, (Titles{"Do it"}));
  EXPECT_EQ(ReadContent(*other->doc, copyPlan), "plan text");

  // Encrypted it stays: the same stored bytes, opened with the same password.
  CMlfNode copy(other->doc, copySecret);
  EXPECT_TRUE(copy.IsEncrypted());
  EXPECT_EQ(StreamReader(*other->doc, copySecret).ReadStored(), StreamReader(*doc, secret).ReadStored());
  other->doc->SetNodePassword(copySecret, std::nullopt);
  EXPECT_NE(ReadContent(*other->doc, copySecret), "secret text");
  other->doc->SetNodePassword(copySecret, SecureString("pw"));
  EXPECT_EQ(ReadContent(*other->doc, copySecret), "secret text");

  // The other window shows the branch under the folder, its bookmark and its task.
  QTreeWidgetItem* entry = other->Tree().FindItem(copyProject);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->parent(), other->Tree().FindItem(other->target));
  EXPECT_NE(other->Tree().FindItem(copySecret), nullptr);
}

TEST_F(AcrossDocumentsTest, ShiftMovesAcrossAndTheSourceGoesOnlyOnceCopied) {
  ASSERT_EQ(Drop(other->Tree(), Tree(), inner, nullptr, Qt::ShiftModifier), Qt::MoveAction);
  EXPECT_NE(ChildNamed(*other->doc, 0, "Inner"), 0u);
  EXPECT_EQ(ChildIds(*doc, project), std::vector<uint32_t>{});
  EXPECT_EQ(Item(inner), nullptr);
  EXPECT_EQ(Children(Item(project)), (Titles{kEmptyText}));
  int bookmarks = 0;
  doc->EnumBookmarks([&](const MLFBOOKMARK&) { ++bookmarks; });
  EXPECT_EQ(bookmarks, 0);
}

TEST_F(AcrossDocumentsTest, ANoteBeingEditedIsStoredBeforeItIsCopied) {
  Tree().ActivateItem(Item(plan));
  ASSERT_NE(frame->RichEditView(), nullptr);
  frame->RichEditView()->moveCursor(QTextCursor::End);
  QTest::keyClicks(frame->RichEditView(), QStringLiteral(" edited"));
  ASSERT_EQ(Drop(other->Tree(), Tree(), plan, nullptr, Qt::ShiftModifier), Qt::MoveAction);
  uint32_t copy = ChildNamed(*other->doc, 0, "Plan");
  ASSERT_NE(copy, 0u);
  EXPECT_NE(ReadContent(*other->doc, copy).find("edited"), std::string::npos) << ReadContent(*other->doc, copy);
}

TEST_F(AcrossDocumentsTest, AFailurePartWayLeavesTheSourceWholeAndNoPartialCopy) {
  struct Case {
    const char* name;
    bool move;
    Qt::KeyboardModifiers modifiers;
  } cases[] = {
      {"copy, the disk full while writing", false, {}},
      {"move, the disk full while writing", true, Qt::ShiftModifier},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    size_t before = other->doc->Data_GetCount();
    auto stored = StreamReader(*doc, secret).ReadStored();
    other->doc->SetModifiedFlag(false);
    other->faults.FailAt(2, true);  // the first node's content goes, a later one fails
    EXPECT_EQ(Drop(other->Tree(), Tree(), project, other->Tree().FindItem(other->target), c.modifiers),
              Qt::IgnoreAction);
    other->faults.FailAt(0, false);
    EXPECT_EQ(other->doc->Data_GetCount(), before);
    EXPECT_FALSE(other->doc->IsModified());
    EXPECT_EQ(other->Tree().FindItem(other->target)->childCount(), 1);  // its placeholder only
    EXPECT_EQ(NodeCount(), 4u);
    EXPECT_EQ(Content(plan), "plan text");
    EXPECT_EQ(StreamReader(*doc, secret).ReadStored(), stored);
    EXPECT_NE(Item(project), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("could not be read or written; nothing was copied"), std::string::npos)
        << prompts.messages[0].text;
  }
}

TEST_F(AcrossDocumentsTest, TheRightButtonDropMenuMovesCopiesOrCancels) {
  struct Case {
    const char* choice;
    Qt::DropAction done;
    bool sourceStays;
  } cases[] = {
      {"Cancel", Qt::IgnoreAction, true},
      {"&Copy Here", Qt::CopyAction, true},
      {"&Move Here", Qt::MoveAction, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.choice);
    menuTexts.clear();
    menuNames.clear();
    size_t before = other->doc->Data_GetCount();
    ChooseFromDropMenu(QString::fromLatin1(c.choice));
    EXPECT_EQ(Drop(other->Tree(), Tree(), plan, nullptr, {}, true), c.done);
    EXPECT_EQ(menuTexts, (Titles{"&Move Here", "&Copy Here", "Cancel"}));
    EXPECT_EQ(menuNames, (Titles{"Move Here", "Copy Here", "Cancel"}));
    EXPECT_EQ(other->doc->Data_GetCount(), before + (c.done == Qt::IgnoreAction ? 0 : 1));
    EXPECT_EQ(Item(plan) != nullptr, c.sourceStays);
  }
}

TEST_F(TreeTransferTest, DropsThatAreRefusedChangeNothing) {
  uint32_t folder = Add(ntFolder, "Folder");
  Show();
  QTemporaryDir folderOnly;
  struct Case {
    const char* name;
    std::function<void(QMimeData&)> fill;
    const char* refusal;
  } cases[] = {
      {"plain text", [](QMimeData& d) { d.setText(QStringLiteral("words")); }, "Only nodes and files can be dropped here."},
      {"a web address", [](QMimeData& d) { d.setUrls({QUrl(QStringLiteral("https://example.org/a.txt"))}); },
       "Only nodes and files can be dropped here."},
      {"only a folder",
       [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(folderOnly.path())}); },
       "Folders are not imported: drop the files inside them."},
      {"a node drag of another process",
       [](QMimeData& d) { d.setData(QString::fromLatin1(kNodeDragFormat), QByteArray("\x00\x01", 2)); },
       "Only nodes and files can be dropped here."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QMimeData data;
    c.fill(data);
    QPoint at = PointOf(Tree(), Item(folder));
    EXPECT_EQ(Tree().DropRefusal(data, at).toStdString(), c.refusal);
    EXPECT_EQ(Tree().DropAt(data, at, {}), Qt::IgnoreAction);
    EXPECT_EQ(doc->Data_GetCount(), 1u);
  }
  // A drag whose source window has closed names no tree any more.
  OtherWindow gone(crypt);
  auto data = MakeNodeDragData({&gone.Tree(), gone.target, false});
  gone.frame.reset();
  EXPECT_FALSE(ReadNodeDragData(*data).has_value());
}

TEST_F(AcrossDocumentsTest, DroppingIntoAReadOnlyDocumentAsksFirst) {
  other->env.CreateDirectory("/notes");
  ASSERT_TRUE(other->doc->OnSaveDocument("/notes/other.mlf"));
  other->env.SetReadOnly("/notes/other.mlf");
  size_t before = other->doc->Data_GetCount();
  prompts.QueueAnswer(MessageAnswer::No);
  EXPECT_EQ(Drop(other->Tree(), Tree(), plan, nullptr), Qt::IgnoreAction);
  EXPECT_EQ(other->doc->Data_GetCount(), before);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("is read-only"), std::string::npos);
  prompts.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(Drop(other->Tree(), Tree(), plan, nullptr), Qt::CopyAction);
  EXPECT_EQ(other->doc->Data_GetCount(), before + 1);
}

TEST_F(AcrossDocumentsTest, CutAndPasteMovesTheBranchOnlyOncePasted) {
  Tree().CutItem(Item(inner));
  // The whole cut branch is pale until it is pasted.
  EXPECT_EQ(CMlfTreeCtrl::ItemImage(Item(inner)), TreeImage(int(TreeImage::kFolder) + 7));
  EXPECT_EQ(CMlfTreeCtrl::ItemImage(Item(plan)), TreeImage(int(TreeImage::kNote) + 7));
  EXPECT_EQ(CMlfTreeCtrl::ItemImage(Item(project)), TreeImage::kFolder);

  // Pasting on the folder's placeholder puts the copy into that folder.
  QTreeWidgetItem* placeholder = other->Tree().FindItem(other->target)->child(0);
  QTreeWidgetItem* pasted = other->Tree().PasteItem(placeholder);
  ASSERT_NE(pasted, nullptr);
  uint32_t copyInner = ChildNamed(*other->doc, other->target, "Inner");
  EXPECT_EQ(CMlfTreeCtrl::ItemValue(pasted), copyInner);
  EXPECT_EQ(ChildIds(*other->doc, copyInner).size(), 2u);
  EXPECT_EQ(Item(inner), nullptr);
  EXPECT_EQ(NodeCount(), 1u);
  EXPECT_FALSE(NodeClipboard::Instance().Get().hasEntry);
}

TEST_F(AcrossDocumentsTest, ACopyPastesAgainAndIsRefusedIntoItself) {
  Tree().CopyItem(Item(plan));
  // A folder's entry takes the copy beside it, into its parent.
  QTreeWidgetItem* first = Tree().PasteItem(Item(inner));
  QTreeWidgetItem* second = Tree().PasteItem(Item(inner));
  ASSERT_TRUE(first && second);
  EXPECT_NE(CMlfTreeCtrl::ItemValue(first), CMlfTreeCtrl::ItemValue(second));
  EXPECT_EQ(first->parent(), Item(project));
  EXPECT_EQ(Content(uint32_t(CMlfTreeCtrl::ItemValue(second))), "plan text");
  EXPECT_TRUE(NodeClipboard::Instance().Get().hasEntry);
  EXPECT_EQ(Children(Item(project)), (Titles{"Inner", "Plan", "Plan"}));

  Tree().CopyItem(Item(project));
  EXPECT_EQ(Tree().PasteItem(Item(plan)), nullptr);
  EXPECT_EQ(MessageTexts(), (Titles{"A branch cannot be pasted into itself."}));
}

TEST_F(AcrossDocumentsTest, KeysWorkTheClipboardOnlyWhileTheTreeHasTheFocus) {
  Tree().setFocus();
  Tree().setCurrentItem(Item(plan));
  QTest::keyClick(&Tree(), Qt::Key_C, Qt::ControlModifier);
  NodeClipboardEntry clip = NodeClipboard::Instance().Get();
  EXPECT_TRUE(clip.hasEntry && !clip.cut && clip.nodeId == plan);
  QTest::keyClick(&Tree(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(NodeClipboard::Instance().Get().cut);
  other->Tree().setFocus();
  other->Tree().setCurrentItem(other->Tree().FindItem(other->target));
  QTest::keyClick(&other->Tree(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_NE(ChildNamed(*other->doc, 0, "Plan"), 0u);
  EXPECT_EQ(Item(plan), nullptr);

  // In a label's edit box the keys are the box's own.
  NodeClipboard::Instance().Clear();
  Tree().RenameItem(Item(secret));
  ASSERT_NE(Editor(), nullptr);
  QTest::keyClick(Editor(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(NodeClipboard::Instance().Get().hasEntry);
}

TEST_F(AcrossDocumentsTest, ClosingTheSourceDocumentClearsTheClipboard) {
  uint32_t theirs = OtherWindow::AddNode(*other->doc, ntNote, "Theirs");
  other->Tree().RebuildTree(false);
  other->Tree().CopyItem(other->Tree().FindItem(theirs));
  auto pasteEnabled = [&] {
    std::unique_ptr<QMenu> menu = Tree().MakeContextMenu(Item(plan));
    return AppCommands().Action(CommandId::kPasteNode)->isEnabled();
  };
  EXPECT_TRUE(pasteEnabled());
  other.reset();
  EXPECT_FALSE(NodeClipboard::Instance().Get().hasEntry);
  EXPECT_FALSE(pasteEnabled());
  EXPECT_EQ(Tree().PasteItem(Item(plan)), nullptr);
  EXPECT_EQ(NodeCount(), 4u);
}

TEST_F(TreeTransferTest, FilesDroppedOnAnEntryAreImportedBesideIt) {
  uint32_t folder = Add(ntFolder, "Folder");
  uint32_t inside = Add(ntNote, "Inside", folder);
  uint32_t empty = Add(ntFolder, "Empty");
  Show();
  env.CreateDirectory("/in");
  env.PutFile("/in/one.txt", "one");
  env.PutFile("/in/two.txt", "two");
  QTemporaryDir aFolder;
  struct Case {
    const char* name;
    uint32_t onto;
    bool itsPlaceholder;
    uint32_t into;
  } cases[] = {
      {"a note inside a folder", inside, false, folder},
      {"the placeholder of an empty folder", empty, true, empty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Entries are found again each time: the import rebuilds the tree.
    QTreeWidgetItem* onto = c.itsPlaceholder ? Item(c.onto)->child(0) : Item(c.onto);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/in/one.txt")), QUrl::fromLocalFile(aFolder.path()),
                  QUrl::fromLocalFile(QStringLiteral("/in/two.txt"))});
    size_t before = ChildIds(*doc, c.into).size();
    EXPECT_EQ(Tree().DropAt(data, PointOf(Tree(), onto), {}), Qt::CopyAction);
    EXPECT_NE(ChildNamed(*doc, c.into, "one.txt"), 0u);
    EXPECT_NE(ChildNamed(*doc, c.into, "two.txt"), 0u);
    EXPECT_EQ(ChildIds(*doc, c.into).size(), before + 2);  // the folder was skipped
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_NE(Item(ChildNamed(*doc, c.into, "one.txt")), nullptr);
  }
}

// As it happens on screen: the edit box closes before the key comes up, and the release goes
// to the tree, which has the focus again.
void PressEnterInTheEditBox(QLineEdit* box, QWidget* tree) {
  QTest::keyPress(box, Qt::Key_Return);
  QApplication::processEvents();
  QTest::keyRelease(tree, Qt::Key_Return);
}

TEST_F(TreeTransferTest, EnterThatEndsARenameIsNotSeenByTheTree) {
  uint32_t note = Add(ntNote, "Note", 0, "text");
  Show();
  Tree().setFocus();
  QTreeWidgetItem* folder = Tree().NewNode(nullptr, ntFolder);
  ASSERT_NE(Editor(), nullptr);
  Editor()->setText(QStringLiteral("Named"));
  PressEnterInTheEditBox(Editor(), &Tree());
  EXPECT_EQ(folder->text(0), QStringLiteral("Named"));
  EXPECT_TRUE(folder->isExpanded());
  EXPECT_EQ(Children(folder), (Titles{kEmptyText}));

  Tree().RenameItem(Item(note));
  ASSERT_NE(Editor(), nullptr);
  Editor()->setText(QStringLiteral("Renamed"));
  PressEnterInTheEditBox(Editor(), &Tree());
  EXPECT_EQ(Item(note)->text(0), QStringLiteral("Renamed"));
  EXPECT_EQ(frame->ActiveNodeId(), -1) << "the renamed note is not opened";

  // Enter pressed in the tree itself still opens the selected entry.
  Tree().setFocus();
  Tree().setCurrentItem(Item(note));
  QTest::keyClick(&Tree(), Qt::Key_Return);
  EXPECT_EQ(frame->ActiveNodeId(), int64_t(note));
}

}  // namespace
}  // namespace mlf::test
