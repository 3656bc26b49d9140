#include <gtest/gtest.h>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/document_observer.h"
#include "store/node.h"
#include "store/node_clipboard.h"

namespace mlf {
namespace {

class RecordingObserver : public DocumentObserver {
 public:
  void RefreshNode(uint32_t id) override { nodes.push_back(id); }
  void RefreshTask(uint32_t id) override { tasks.push_back(id); }
  void RefreshLogo() override { ++logos; }
  void OnDocumentLoaded() override {}
  bool PrepareForSave() override { return false; }
  std::vector<uint32_t> nodes, tasks;
  int logos = 0;
};

class DocumentTest : public ::testing::Test {
 protected:
  uint32_t Make(uint8_t type, const char* title, uint32_t parent = 0) {
    CMlfNode node;
    node.Create(&doc, type, title, parent);
    return node.GetId();
  }
  uint32_t AttachTask(uint32_t node) {
    MLFTASK task;
    task.nFlags = kTaskAttached;
    task.nNode = node;
    return doc.NewTask(task);
  }
  void SetKeywords(uint32_t node, std::vector<std::string> words) {
    MLFNODEKEYWORDS entry{node, {}};
    for (const auto& w : words) entry.ids.push_back(doc.FindOrAddKeyword(w));
    doc.SetNodeKeywords(node, entry);
  }
  MemEnv env;
  CMarrowleafDoc doc{env};
};

TEST_F(DocumentTest, CreateGivesDefaultTitlesImagesAndRisingIds) {
  struct Case {
    uint8_t type;
    const char* title;
    uint16_t image;
  } cases[] = {{ntFolder, "New Folder", 3}, {ntNote, "New Note", 2},  {ntImage, "New Image", 6},
               {ntHtml, "New HTML", 7},     {ntForeign, "New Foreign Data", 8}};
  uint32_t expectedId = 1;
  for (const Case& c : cases) {
    doc.SetModifiedFlag(false);
    CMlfNode node;
    ASSERT_TRUE(node.Create(&doc, c.type, nullptr, 42));
    EXPECT_EQ(node.GetId(), expectedId++);
    EXPECT_STREQ(node.GetTitle(), c.title);
    EXPECT_EQ(node.Record().nIcon, c.image);
    EXPECT_EQ(node.GetParent(), 42u);
    EXPECT_TRUE(doc.IsModified());
    DATALOC location{9, 9, 9, 9};
    ASSERT_TRUE(doc.Data_GetLocation(node.GetId(), location));
    EXPECT_EQ(location.bHasData, 0u);
  }
}

TEST_F(DocumentTest, UnknownIdsReportFalseAndChangeNothing) {
  NTV record;
  DATALOC location;
  EXPECT_FALSE(doc.Data_GetItem(7, record));
  EXPECT_FALSE(doc.Data_GetLocation(7, location));
  doc.SetModifiedFlag(false);
  EXPECT_FALSE(doc.Data_DeleteItem(7));
  EXPECT_FALSE(doc.IsModified());
  CMlfNode node(&doc, 7);
  EXPECT_FALSE(node.IsValid());
  EXPECT_EQ(node.GetId(), 0u);
  EXPECT_EQ(node.GetType(), 255);
  EXPECT_EQ(node.GetTitle(), nullptr);
}

TEST_F(DocumentTest, DeletingANestedBranchTakesKeywordsBookmarksAndTaskLinks) {
  uint32_t outer = Make(ntFolder, "Outer");
  uint32_t inner = Make(ntFolder, "Inner", outer);
  uint32_t note = Make(ntNote, "Plan", inner);
  uint32_t keep = Make(ntNote, "Keep");
  SetKeywords(note, {"work", "only-here"});
  SetKeywords(keep, {"work"});
  MLFBOOKMARK bookmark;
  ASSERT_TRUE(doc.GetBookmark(doc.AddBookmark(note, "Plan"), bookmark));
  EXPECT_EQ(bookmark.nNode, note);
  EXPECT_EQ(bookmark.strName, "Plan");
  uint32_t task = AttachTask(note);

  ASSERT_TRUE(doc.Data_DeleteItem(outer));
  EXPECT_EQ(doc.Data_GetCount(), 1u);
  for (uint32_t id : {outer, inner, note}) {
    NTV record;
    DATALOC location;
    MLFNODEKEYWORDS keywords;
    EXPECT_FALSE(doc.Data_GetItem(id, record));
    EXPECT_FALSE(doc.Data_GetLocation(id, location));
    EXPECT_FALSE(doc.GetNodeKeywords(id, keywords));
  }
  MLFBOOKMARK gone;
  EXPECT_FALSE(doc.GetBookmark(bookmark.nId, gone));
  MLFTASK detached;
  ASSERT_TRUE(doc.GetTask(task, detached));
  EXPECT_EQ(detached.nNode, 0u);
  EXPECT_EQ(detached.nFlags & kTaskAttached, 0u);
  std::vector<std::string> left;
  doc.EnumKeywords([&](uint32_t, const std::string& text) { left.push_back(text); });
  EXPECT_EQ(left, std::vector<std::string>{"work"});
}

TEST_F(DocumentTest, ChildrenOfANoteAreNotFollowed) {
  uint32_t note = Make(ntNote, "Note");
  uint32_t orphan = Make(ntNote, "Under a note", note);  // only damaged files hold this
  doc.Data_DeleteItem(note);
  NTV record;
  EXPECT_TRUE(doc.Data_GetItem(orphan, record));
}

TEST_F(DocumentTest, ChildrenComeInIdOrderWithEachFoldersDescendantsBeforeIt) {
  uint32_t a = Make(ntFolder, "A");
  uint32_t b = Make(ntNote, "b", a);
  uint32_t c = Make(ntFolder, "C", a);
  uint32_t d = Make(ntNote, "d", c);
  uint32_t e = Make(ntNote, "e", a);
  std::vector<uint32_t> ids;
  doc.Data_GetChildren(a, ids);
  EXPECT_EQ(ids, (std::vector<uint32_t>{b, d, c, e}));
}

TEST_F(DocumentTest, ParentCyclesOfDamagedFilesNeitherHangNorRecurseForever) {
  uint32_t a = Make(ntFolder, "A");
  uint32_t b = Make(ntFolder, "B", a);
  NTV record;
  doc.Data_GetItem(a, record);
  record.nParent = b;
  doc.Data_SetItem(a, record, false);
  EXPECT_EQ(doc.Data_GetItemPath(a).substr(0, 2), "//");
  std::vector<uint32_t> ids;
  doc.Data_GetChildren(a, ids);
  EXPECT_EQ(ids, std::vector<uint32_t>{b});
  EXPECT_TRUE(doc.Data_DeleteItem(a));
  EXPECT_EQ(doc.Data_GetCount(), 0u);
}

TEST_F(DocumentTest, ItemPath) {
  uint32_t projects = Make(ntFolder, "Projects");
  uint32_t year = Make(ntFolder, "2013", projects);
  uint32_t plan = Make(ntNote, "Plan", year);
  EXPECT_EQ(doc.Data_GetItemPath(plan), "//Projects/2013/Plan");
  EXPECT_EQ(doc.Data_GetItemPath(projects), "//Projects");
}

TEST_F(DocumentTest, KeywordsAreFoundCaseInsensitivelyAndDroppedWhenUnused) {
  uint32_t first = doc.FindOrAddKeyword("Work");
  EXPECT_EQ(doc.FindOrAddKeyword("WORK"), first);
  std::string name;
  ASSERT_TRUE(doc.GetKeywordName(first, name));
  EXPECT_EQ(name, "work");

  uint32_t n1 = Make(ntNote, "1"), n2 = Make(ntNote, "2");
  SetKeywords(n1, {"work", "home"});
  SetKeywords(n2, {"work"});
  SetKeywords(n1, {});
  EXPECT_TRUE(doc.GetKeywordName(first, name)) << "still used by node 2";
  EXPECT_EQ(doc.FindOrAddKeyword("home"), 3u) << "home was dropped, so it comes back with a new id";
  SetKeywords(n2, {});
  EXPECT_FALSE(doc.GetKeywordName(first, name));
}

// Keywords fold case as search does, and are stored by the code-page rule of typed text.
TEST_F(DocumentTest, KeywordsFoldCaseBeyondAscii) {
  struct Case {
    const char* first;
    const char* second;
    std::string stored;
  };
  for (const Case& c : {Case{"Gr\xc3\xbcn", "GR\xc3\x9cN", "gr\xfcn"},            // UTF-8 typed
                        Case{"Gr\xfcn", "GR\xc3\x9cN", "gr\xfcn"},                // 1252 as stored
                        Case{"\xce\x91\xce\x92", "\xce\xb1\xce\xb2", "\xce\xb1\xce\xb2"}}) {  // Greek: UTF-8
    SCOPED_TRACE(c.first);
    uint32_t id = doc.FindOrAddKeyword(c.first);
    EXPECT_EQ(doc.FindOrAddKeyword(c.second), id);
    std::string name;
    ASSERT_TRUE(doc.GetKeywordName(id, name));
    EXPECT_EQ(name, c.stored);
  }
}

TEST_F(DocumentTest, ImportedTitlesFollowTheCodePageRule) {
  env.CreateDirectory("/in");
  struct Case {
    std::string file;
    std::string title;
  };
  for (const Case& c : {Case{"Gr\xc3\xbc\xc3\x9f""e.txt", "Gr\xfc\xdf""e.txt"},  // fits 1252
                        Case{"\xe6\x97\xa5\xe6\x9c\xac.txt", "\xe6\x97\xa5\xe6\x9c\xac.txt"}}) {  // stays UTF-8
    env.PutFile("/in/" + c.file, "bytes");
    CMlfNode node(&doc, doc.Data_AddForeignFromFile("/in/" + c.file, 0));
    ASSERT_TRUE(node.IsValid());
    EXPECT_EQ(std::string(node.GetTitle()), c.title);
  }
}

TEST_F(DocumentTest, TaskOverlayAndRowRefreshes) {
  RecordingObserver observer;
  doc.SetObserver(&observer);
  uint32_t node = Make(ntNote, "7");
  uint32_t t1 = AttachTask(node);
  uint32_t t2 = AttachTask(node);
  CMlfNode handle(&doc, node);
  EXPECT_EQ(handle.GetTreeItem().overlay, TreeOverlay::kTask);

  doc.DeleteTask(t1);
  EXPECT_TRUE(observer.nodes.empty()) << "another task is still attached";
  doc.DeleteTask(t2);
  EXPECT_EQ(observer.nodes, std::vector<uint32_t>{node});
  EXPECT_EQ(handle.GetTreeItem().overlay, TreeOverlay::kNone);

  uint32_t t3 = AttachTask(node);
  doc.SetModifiedFlag(false);
  doc.RemoveTaskAssociation(node);
  EXPECT_EQ(observer.tasks, std::vector<uint32_t>{t3});
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.NodeHasTask(node));
}

TEST_F(DocumentTest, EncryptedOverlayBeatsTask) {
  uint32_t node = Make(ntNote, "secret");
  AttachTask(node);
  CMlfNode handle(&doc, node);
  handle.SetFlags(kNodeCompressed | kNodeEncrypted);
  handle.Update(false);
  EXPECT_EQ(handle.GetTreeItem().overlay, TreeOverlay::kEncrypted);
}

TEST_F(DocumentTest, PasswordsBelongToTheNodeIdNotToCopiesOfItsRecord) {
  uint32_t locked = Make(ntNote, "Locked"), other = Make(ntNote, "Other");
  CMlfNode earlier(&doc, locked);
  CMlfNode(&doc, locked).SetPassword(true, SecureString("pw"));
  earlier.SetTitle("Renamed");
  earlier.Update(true);
  EXPECT_EQ(std::string(CMlfNode(&doc, locked).GetPassword().view()), "pw") << "a handle made before keeps it";

  NTV record;
  doc.Data_GetItem(locked, record);
  record.nIndex = other;
  doc.Data_SetItem(other, record, false);
  EXPECT_FALSE(CMlfNode(&doc, other).HasPassword()) << "a copied record carries no password";

  ASSERT_TRUE(doc.Data_DeleteItem(locked));
  EXPECT_FALSE(doc.GetNodePassword(locked).has_value());
}

TEST_F(DocumentTest, CopyWithinTheDocumentSharesStoredBytesAndKeywords) {
  uint32_t source = Make(ntNote, "Source");
  SetKeywords(source, {"a", "b"});
  NTV record;
  doc.Data_GetItem(source, record);
  record.nStorageLength = 10;
  record.nRawLength = 3;
  doc.Data_SetItem(source, record, false);
  doc.Data_SetLocation(source, DATALOC{1, 0, 0, 500});

  uint32_t copy = doc.CopyNode(source, false);
  ASSERT_NE(copy, 0u);
  EXPECT_NE(copy, source);
  CMlfNode handle(&doc, copy);
  EXPECT_EQ(handle.GetParent(), 0u);
  EXPECT_STREQ(handle.GetTitle(), "Source");
  DATALOC location;
  doc.Data_GetLocation(copy, location);
  EXPECT_EQ(location.nLoc, 500u);
  MLFNODEKEYWORDS keywords, original;
  doc.GetNodeKeywords(copy, keywords);
  doc.GetNodeKeywords(source, original);
  EXPECT_EQ(keywords.ids, original.ids);
}

TEST_F(DocumentTest, CopyAcrossDocumentsMapsKeywordsByName) {
  CMarrowleafDoc other(env);
  other.FindOrAddKeyword("unrelated");
  uint32_t source = Make(ntFolder, "Folder");
  SetKeywords(source, {"shared"});
  CMlfNode from(&doc, source), copy;
  ASSERT_TRUE(copy.CopyFrom(&other, from));
  std::vector<std::string> names;
  other.EnumNodeKeywordNames(copy.GetId(), [&](const std::string& n) { names.push_back(n); });
  EXPECT_EQ(names, std::vector<std::string>{"shared"});
}

TEST_F(DocumentTest, EmptyingClearsTheClipboardOnlyForItsOwnNodes) {
  CMarrowleafDoc other(env);
  uint32_t node = Make(ntNote, "n");
  NodeClipboard::Instance().Set({true, &other, nullptr, 1, false});
  doc.DeleteContents();
  EXPECT_TRUE(NodeClipboard::Instance().Get().hasEntry);
  NodeClipboard::Instance().Set({true, &doc, nullptr, node, true});
  doc.DeleteContents();
  EXPECT_FALSE(NodeClipboard::Instance().Get().hasEntry);
}

TEST_F(DocumentTest, NewDocumentResetsTheHeader) {
  env.SetNow(1796774400);  // 2026-12-09 00:00:00 UTC, a Wednesday
  FileHeader header;
  header.sortFlags = 3;
  header.viewFlags = 2;
  header.version = 5;
  doc.SetHeader(header, false);
  Make(ntNote, "n");
  doc.SetModifiedFlag(false);
  doc.OnNewDocument();
  FileHeader fresh = doc.GetHeader();
  EXPECT_EQ(fresh.version, 7u);
  EXPECT_EQ(fresh.sortFlags, 0);
  EXPECT_EQ(fresh.viewFlags, 0u);
  EXPECT_EQ(fresh.created, (SystemTime{2026, 12, 3, 9, 0, 0, 0, 0}));
  EXPECT_EQ(doc.Data_GetCount(), 0u);
  EXPECT_TRUE(doc.IsModified());
}

TEST(DocumentFilesTest, WorkFileIsMadeAndRemovedAndItsAbsenceIsOnlyAWarning) {
  MemEnv env;
  std::string path;
  {
    CMarrowleafDoc doc(env);
    path = doc.GetWorkFilePath();
    EXPECT_EQ(path.rfind("/tmp/MLF", 0), 0u);
    EXPECT_TRUE(env.FileExists(path));
  }
  EXPECT_FALSE(env.FileExists(path));

  struct NoTempEnv : MemEnv {
    std::string TempDirectory() override { return "/missing"; }
  } broken;
  CMarrowleafDoc doc(broken);
  EXPECT_EQ(doc.GetWorkFilePath(), "");
  CMlfNode node;
  EXPECT_TRUE(node.Create(&doc, ntNote, "still usable", 0));
}

}  // namespace
}  // namespace mlf
