#include <algorithm>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "file_fixture.h"
#include "diagnostics/log.h"
#include "platform/fault_env.h"
#include "platform/mem_env.h"
#include "store/crc32.h"
#include "store/document.h"
#include "store/node.h"
#include "support/node_content.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

const std::string kPath = "/notes/a.mlf";

uint32_t U32At(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

// What a reopened file holds, for comparing two files by content.
std::string Describe(CMarrowleafDoc& doc) {
  std::string out;
  doc.Data_EnumItems([&](const NTV& r) {
    out += std::to_string(r.nIndex) + "<" + std::to_string(r.nParent) + ":" + r.strTitle + "=";
  });
  std::vector<uint32_t> ids;
  doc.Data_EnumItems([&](const NTV& r) { ids.push_back(r.nIndex); });
  for (uint32_t id : ids) out += test::ReadStream(doc, id) + ";";
  doc.EnumBookmarks([&](const MLFBOOKMARK& b) { out += "B" + std::to_string(b.nNode) + b.strName; });
  doc.EnumKeywords([&](uint32_t id, const std::string& k) { out += "K" + k; });
  doc.EnumTasks([&](const MLFTASK& t) { out += "T" + t.strTitle; });
  FileHeader h = doc.GetHeader();
  out += "S" + std::to_string(h.sortFlags) + std::to_string(h.folderArrangement) + std::to_string(h.viewFlags);
  return out;
}

class FileTest : public ::testing::Test {
 protected:
  FileTest() : scope(prompts) { env.CreateDirectory("/notes"); }

  // A document with a little of everything.
  void Fill(CMarrowleafDoc& doc) {
    doc.OnNewDocument();
    CMlfNode folder, note, other;
    folder.Create(&doc, ntFolder, "Projects", 0);
    note.Create(&doc, ntNote, "Plan", folder.GetId());
    other.Create(&doc, ntNote, "Other", 0);
    ASSERT_TRUE(test::WriteStream(doc, note.GetId(), "{\\rtf1 plan}"));
    ASSERT_TRUE(test::WriteStream(doc, other.GetId(), "other content"));
    doc.SetNodeKeywords(note.GetId(), {note.GetId(), {doc.FindOrAddKeyword("work")}});
    MLFBOOKMARK b;
    doc.GetBookmark(doc.AddBookmark(), b);
    b.nNode = note.GetId();
    b.strName = "The plan";
    doc.SetBookmark(b.nId, b);
    MLFTASK t;
    doc.GetTask(doc.NewTask(), t);
    t.strTitle = "Finish";
    t.nFlags = kTaskAttached;
    t.nNode = note.GetId();
    doc.SetTask(t, true);
    FileHeader h = doc.GetHeader();
    h.sortFlags = 2;
    h.folderArrangement = 1;
    doc.SetHeader(h, true);
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
};

TEST_F(FileTest, SaveThenOpenGivesTheSameDocument) {
  auto doc = std::make_unique<CMarrowleafDoc>(env);
  Fill(*doc);
  ASSERT_TRUE(doc->OnSaveDocument(kPath));
  EXPECT_FALSE(doc->IsModified());
  std::string bytes = env.GetFile(kPath);
  // An independent look at the bytes: magic, version 7, three 72-byte entries.
  EXPECT_EQ(U32At(bytes, 0), 32u);
  EXPECT_EQ(bytes.substr(4, 6), std::string("M\0a\0r\0", 6));
  EXPECT_EQ(U32At(bytes, 36), 7u);
  EXPECT_EQ(U32At(bytes, 72), 3u);
  EXPECT_EQ(U32At(bytes, 112 + 8), 1u);  // first entry's id
  EXPECT_EQ(bytes[112 + 72], 'P');       // its title right after 72 bytes

  // After the save the document reads its streams from the new file.
  EXPECT_EQ(test::ReadStream(*doc, 2), "{\\rtf1 plan}");
  std::string saved = Describe(*doc);
  {
    CMarrowleafDoc second(env);
    EXPECT_FALSE(second.OnOpenDocument(kPath)) << "the file is held by the first document";
    prompts.messages.clear();
  }
  doc.reset();  // releases the file
  CMarrowleafDoc reopened(env);
  ASSERT_TRUE(reopened.OnOpenDocument(kPath));
  EXPECT_EQ(Describe(reopened), saved);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FileTest, DeletedNodeAndSharedBytesAfterSave) {
  auto doc = std::make_unique<CMarrowleafDoc>(env);
  Fill(*doc);
  uint32_t copy = doc->CopyNode(3, false);  // shares node 3's bytes
  ASSERT_TRUE(doc->OnSaveDocument(kPath));
  size_t withCopy = env.GetFile(kPath).size();
  NTV record;
  doc->Data_GetItem(copy, record);
  doc.reset();  // releases the file
  CMarrowleafDoc reopened(env);
  ASSERT_TRUE(reopened.OnOpenDocument(kPath));
  DATALOC a, b;
  reopened.Data_GetLocation(3, a);
  reopened.Data_GetLocation(copy, b);
  EXPECT_NE(a.nLoc, b.nLoc) << "each entry points at its own copy";
  EXPECT_EQ(test::ReadStream(reopened, copy), "other content");
  reopened.Data_DeleteItem(copy);
  ASSERT_TRUE(reopened.OnSaveDocument(kPath));
  EXPECT_EQ(env.GetFile(kPath).size(), withCopy - record.nStorageLength - 72 - record.strTitle.size() - 1);
}

TEST_F(FileTest, SaveLogReadsAsDocumented) {
  test::ScratchDir logs;  // a log of its own: tests running beside this one write theirs elsewhere
  AppLog().OpenIn(logs.path());
  ASSERT_TRUE(AppLog().IsOpen());
  auto linesAfter = [](const std::string& marker) {
    std::string log = test::ReadWholeFile(AppLog().GetFilePath());
    std::vector<std::string> lines;
    for (size_t at = log.rfind(marker), end; at != std::string::npos && lines.size() < 6; at = end + 2) {
      end = log.find("\r\n", at);
      if (end == std::string::npos) break;
      lines.push_back(log.substr(at, end - at));
    }
    return lines;
  };
  CMarrowleafDoc doc(env);
  Fill(doc);
  ASSERT_TRUE(doc.OnSaveDocument("/notes/log.mlf"));
  EXPECT_EQ(linesAfter("CMarrowleafDoc::OnSaveDocument(lpszPathName := '/notes/log.mlf')")[0],
            "CMarrowleafDoc::OnSaveDocument(lpszPathName := '/notes/log.mlf')...m_hOrgFile is null, creating new "
            "file...commencing main save logic...");
  ASSERT_TRUE(doc.OnSaveDocument("/notes/log.mlf"));
  std::vector<std::string> expected = {
      "CMarrowleafDoc::OnSaveDocument(lpszPathName := '/notes/log.mlf')...commencing main save logic...",
      "CMarrowleafDoc::SaveFile()...",
      "Initial NTV writeout complete, DataLocPos collection has 3 elements",
      "processing other writeout sections...custom logo...bookmarks...keywords...moreinfo (1st)...tasks..."
      "treefont (dummy)...treeicon (dummy)...header (2nd)...moreinfo (2nd)...done.",
      "no encryption selected, closing temp and original files",
      "CMarrowleafDoc::OnSaveDocument - result is 1"};
  EXPECT_EQ(linesAfter(expected[0]), expected);
}

TEST_F(FileTest, FixturesOfOlderVersionsOpen) {
  test::FileFixture v2;
  v2.version = 2;
  v2.nodes = {{1, 0, ntFolder, "Old"}, {2, 1, ntNote, "Raw note", "plain text"}};
  v2.sortFlags = 3;  // not present in version 2: must read as 0
  env.PutFile(kPath, v2.Build());
  CMarrowleafDoc doc(env);
  ASSERT_TRUE(doc.OnOpenDocument(kPath));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "Warning");
  EXPECT_EQ(doc.GetHeader().sortFlags, 0);
  EXPECT_EQ(test::ReadStream(doc, 2), "plain text");
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  std::string saved = env.GetFile(kPath);
  EXPECT_EQ(U32At(saved, 36), 7u);
  EXPECT_EQ(saved.substr(112 + 72, 3), "Old") << "72-byte entries now";
}

TEST_F(FileTest, VersionSixCrcWordsAreIgnoredAndMoreInfoRuleApplies) {
  test::FileFixture v6;
  v6.version = 6;
  v6.nodes = {{5, 0, ntNote, "N", "text", 0, 0, 0xDEADBEEF, 0xDEADBEEF}};
  v6.moreInfoWord1 = 5;
  v6.withTasks = true;
  env.PutFile(kPath, v6.Build());
  CMarrowleafDoc doc(env);
  ASSERT_TRUE(doc.OnOpenDocument(kPath));
  EXPECT_EQ(test::ReadStream(doc, 5), "text");
  EXPECT_TRUE(prompts.messages.empty());
  MLFTASK task;
  ASSERT_TRUE(doc.GetTask(4, task)) << "the task offset in word 0 is still used";
  EXPECT_EQ(task.strNotes, "Notes here");
  EXPECT_EQ(doc.NewTask(), 5u);
}

TEST_F(FileTest, EnvelopesOfBothVersionsOpen) {
  test::TestCrypt crypt;
  test::FileFixture plain;
  plain.version = 4;
  plain.nodes = {{1, 0, ntNote, "Inside", "secret text"}};
  plain.bookmarks = {{1, 1, "b"}};
  struct Case {
    const char* name;
    bool version2;
    std::string extra;
  } cases[] = {{"version 1", false, ""}, {"version 2 with an extra block", true, "EXTRA-BLOCK"}};
  for (const Case& c : cases) {
    env.PutFile(kPath, test::Envelope(plain.Build(), crypt, test::TestCrypt::kCipher, test::TestCrypt::kKeyDerivation,
                                      16, "pw", c.version2, c.extra));
    prompts.messages.clear();
    prompts.QueuePassword(std::string("pw"));
    CMarrowleafDoc doc(env);
    doc.SetCryptProvider(&crypt);
    ASSERT_TRUE(doc.OnOpenDocument(kPath)) << c.name;
    EXPECT_EQ(test::ReadStream(doc, 1), "secret text") << c.name;
    ASSERT_EQ(prompts.messages.size(), 1u) << "the previous-version warning";
    FileEncryption settings = doc.GetFileEncryption();
    EXPECT_EQ(settings.nCryptType, test::TestCrypt::kCipher);
    std::vector<uint8_t> expectedBlock =
        c.version2 ? std::vector<uint8_t>(c.extra.begin(), c.extra.end()) : crypt.PasswordBlock("pw");
    EXPECT_EQ(settings.passwordBlock, expectedBlock) << c.name;
  }
}

TEST_F(FileTest, LeftoversOfAnInterruptedSaveAreReportedNotDeleted) {
  {
    CMarrowleafDoc doc(env);
    Fill(doc);
    ASSERT_TRUE(doc.OnSaveDocument(kPath));
  }
  env.PutFile("/notes/MLFab12cd.a.mlf.tmp", "half a save");
  env.PutFile("/notes/MLFzz99zz.other.mlf.tmp", "someone else's");
  CMarrowleafDoc doc(env);
  ASSERT_TRUE(doc.OnOpenDocument(kPath));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("/notes/MLFab12cd.a.mlf.tmp"), std::string::npos);
  EXPECT_TRUE(env.FileExists("/notes/MLFab12cd.a.mlf.tmp"));
}

TEST_F(FileTest, DuplicateIdsLaterWinsAndTheSavedCountIsCorrected) {
  test::FileFixture f;
  f.nodes = {{3, 0, ntNote, "first", "a"}, {3, 0, ntNote, "second", "b"}};
  env.PutFile(kPath, f.Build());
  CMarrowleafDoc doc(env);
  ASSERT_TRUE(doc.OnOpenDocument(kPath));
  EXPECT_EQ(doc.Data_GetCount(), 1u);
  CMlfNode node(&doc, 3);
  EXPECT_STREQ(node.GetTitle(), "second");
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  EXPECT_EQ(U32At(env.GetFile(kPath), 72), 1u);
}

TEST_F(FileTest, DamagedFiles) {
  test::FileFixture good;
  good.version = 5;  // no more-info block after the bookmarks
  good.nodes = {{1, 0, ntNote, "A", "x"}};
  good.bookmarks = {{1, 1, "one"}, {2, 1, "two"}};
  std::string bytes = good.Build();
  struct Case {
    const char* name;
    std::string file;
    bool opens;
    const char* caption;
  } cases[] = {
      {"magic length 64", [] { test::FileFixture f; f.magicLength = 64; return f.Build(); }(), false, "Load Failed"},
      {"truncated node table", bytes.substr(0, 112 + 30), false, "Load Failed"},
      {"empty file", "", false, "Load Failed"},
      {"version 9", [] { test::FileFixture f; f.version = 9; return f.Build(); }(), false, "Marrowleaf"},
      {"bookmark section cut inside the second name", bytes.substr(0, bytes.size() - 2), true, nullptr},
  };
  for (const Case& c : cases) {
    prompts.messages.clear();
    env.PutFile(kPath, c.file);
    CMarrowleafDoc doc(env);
    EXPECT_EQ(doc.OnOpenDocument(kPath), c.opens) << c.name;
    if (c.opens) {
      MLFBOOKMARK b;
      EXPECT_TRUE(doc.GetBookmark(1, b)) << "read before the damage";
      EXPECT_FALSE(doc.GetBookmark(2, b));
    } else {
      ASSERT_FALSE(prompts.messages.empty()) << c.name;
      EXPECT_EQ(prompts.messages.back().caption, c.caption) << c.name;
      if (std::string(c.caption) == "Load Failed")
        EXPECT_NE(prompts.messages.back().text.find(kPath), std::string::npos) << c.name;
      EXPECT_EQ(doc.Data_GetCount(), 0u) << c.name;
    }
  }
}

TEST_F(FileTest, ReadOnlyFileIsRefusedAndNothingWritten) {
  CMarrowleafDoc doc(env);
  Fill(doc);
  env.PutFile(kPath, "old");
  env.SetReadOnly(kPath);
  EXPECT_FALSE(doc.OnSaveDocument(kPath));
  EXPECT_EQ(env.GetFile(kPath), "old");
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(FileTest, EncryptedFileLeavesExactlyOneDecryptedCopyWhileOpen) {
  test::TestCrypt crypt;
  auto tempFiles = [&] {
    size_t n = 0;
    for (const DirEntry& e : env.ListDirectory("/tmp")) n += e.name.rfind("MLF", 0) == 0;
    return n;
  };
  {
    CMarrowleafDoc doc(env);
    doc.SetCryptProvider(&crypt);
    Fill(doc);
    doc.SetFileEncryption(test::TestCrypt::kCipher, 16, test::TestCrypt::kKeyDerivation, SecureString("secret"));
    ASSERT_TRUE(doc.OnSaveDocument(kPath));
    EXPECT_EQ(env.GetFile(kPath).substr(4, 2), std::string("E\0", 2));
    EXPECT_EQ(tempFiles(), 2u) << "the work file and the new decrypted data file";
  }
  EXPECT_EQ(tempFiles(), 0u);

  struct Attempt {
    const char* name;
    std::optional<std::string> password;
    bool withModule;
    bool opens;
  } attempts[] = {
      {"right password", "secret", true, true},
      {"wrong password", "nope", true, false},
      {"cancelled", std::nullopt, true, false},
      {"no module", "secret", false, false},
  };
  for (const Attempt& a : attempts) {
    prompts.messages.clear();
    prompts.QueuePassword(a.password);
    CMarrowleafDoc doc(env);
    if (a.withModule) doc.SetCryptProvider(&crypt);
    EXPECT_EQ(doc.OnOpenDocument(kPath), a.opens) << a.name;
    EXPECT_EQ(tempFiles(), a.opens ? 2u : 1u) << a.name;  // the work file, plus the copy when open
    if (a.opens) EXPECT_EQ(test::ReadStream(doc, 3), "other content");
  }
  EXPECT_EQ(tempFiles(), 0u);
}

// A save that fails at any operation, once or from then on, or is cut off by a power cut,
// leaves the note file as exactly the old or exactly the new version.
TEST_F(FileTest, EveryFailureLeavesTheOldOrTheNewFile) {
  {
    CMarrowleafDoc doc(env);
    Fill(doc);
    ASSERT_TRUE(doc.OnSaveDocument(kPath));
  }
  env.SyncAll();
  std::string oldBytes = env.GetFile(kPath);
  CMarrowleafDoc probe(env);
  ASSERT_TRUE(probe.OnOpenDocument(kPath));
  std::string oldState = Describe(probe);
  probe.SetModifiedFlag(false);

  size_t runs = 0;
  for (bool powerCut : {false, true}) {
    for (bool permanent : {false, true}) {
      for (uint64_t n = 1;; ++n, ++runs) {
        env.PutFile(kPath, oldBytes);
        FaultEnv faulty(env);
        std::string newState;
        bool saved;
        {
          CMarrowleafDoc doc(faulty);
          ASSERT_TRUE(doc.OnOpenDocument(kPath));
          CMlfNode extra;
          extra.Create(&doc, ntNote, "Added", 0);
          ASSERT_TRUE(test::WriteStream(doc, extra.GetId(), "new content"));
          newState = Describe(doc);
          faulty.FailAt(n, permanent);
          saved = doc.OnSaveDocument(kPath);
          faulty.FailAt(0, false);
          EXPECT_EQ(doc.IsModified(), !saved);
          if (!saved) EXPECT_EQ(Describe(doc), newState) << "the document stays usable";
        }
        if (powerCut) env.DropUnsyncedData();
        CMarrowleafDoc check(env);
        ASSERT_TRUE(check.OnOpenDocument(kPath)) << n;
        std::string state = Describe(check);
        EXPECT_TRUE(state == oldState || state == newState) << "N=" << n;
        if (saved && !powerCut) EXPECT_EQ(state, newState);
        if (!faulty.Failed()) break;  // the save ran to its end without reaching operation N
      }
    }
  }
  EXPECT_GT(runs, 40u) << "every operation of a save was failed once";
}

// A 32-bit field (at its offset in the entry) of each saved node entry, by node id, read
// straight from the bytes of a version 7 file.
std::map<uint32_t, uint32_t> SavedEntryField(const std::string& bytes, size_t field) {
  std::map<uint32_t, uint32_t> values;
  size_t at = 112;
  for (uint32_t i = 0, n = U32At(bytes, 72); i < n; ++i) {
    values[U32At(bytes, at + 8)] = U32At(bytes, at + field);
    at = bytes.find('\0', at + 72) + 1;
  }
  return values;
}

std::map<uint32_t, uint32_t> SavedParents(const std::string& bytes) { return SavedEntryField(bytes, 12); }

// The stored bytes each saved entry points at: offset at 0, stored length at 20.
std::map<uint32_t, std::string> SavedStreams(const std::string& bytes) {
  std::map<uint32_t, std::string> streams;
  std::map<uint32_t, uint32_t> lengths = SavedEntryField(bytes, 20);
  for (auto [id, offset] : SavedEntryField(bytes, 0))
    if (lengths[id] != 0) streams[id] = bytes.substr(offset, lengths[id]);
  return streams;
}

TEST_F(FileTest, NodesOffTheTreeAreShownAtTheTopLevelReportedAndSavedThere) {
  test::FileFixture f;
  f.nodes = {{1, 0, ntFolder, "Top", ""},
             {2, 1, ntNote, "under top", ""},
             {17, 99, ntForeign, "x", "attached bytes"},
             {18, 19, ntFolder, "loop A", ""},
             {19, 18, ntFolder, "loop B", ""},
             {20, 19, ntNote, "in the loop", ""},
             {21, 17, ntFolder, "below x", ""}};
  for (auto mode : {CMarrowleafDoc::OpenMode::Normal, CMarrowleafDoc::OpenMode::Salvage}) {
    env.PutFile(kPath, f.Build());
    CMarrowleafDoc doc(env);
    ASSERT_TRUE(doc.OnOpenDocument(kPath, mode));
    std::vector<std::string> problems;
    for (const DetachedNode& node : doc.DetachedNodesAtOpen()) problems.push_back(DetachedNodeText(node));
    EXPECT_EQ(problems, (std::vector<std::string>{"node 17 'x' has no parent 99; shown at the top level",
                                                  "node 18 'loop A' has parent 19, which leads back to it; shown at the top level",
                                                  "node 21 'below x' has parent 17, which is not a folder; shown at the top level"}));
    std::vector<uint32_t> all;
    doc.Data_GetChildren(0, all);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<uint32_t>{1, 2, 17, 18, 19, 20, 21})) << "every node is reachable";
    std::vector<uint32_t> below;
    doc.Data_GetChildren(18, below);
    EXPECT_EQ(below, (std::vector<uint32_t>{20, 19}));
    EXPECT_EQ(doc.Data_GetItemPath(20), "//loop A/loop B/in the loop");
    EXPECT_EQ(test::ReadStream(doc, 17), "attached bytes");

    ASSERT_TRUE(doc.OnSaveDocument(kPath));
    std::map<uint32_t, uint32_t> parents = SavedParents(env.GetFile(kPath));
    EXPECT_EQ(parents, (std::map<uint32_t, uint32_t>{{1, 0}, {2, 1}, {17, 0}, {18, 0}, {19, 18}, {20, 19}, {21, 0}}));
  }
}

// The save copies streams in runs through one buffer: streams larger than the buffer, streams
// next to each other in the note file and in the work file, a gap where a node was deleted and
// two entries sharing bytes must each land where their entry says, and the document must read
// them there afterwards.
TEST_F(FileTest, EveryStreamLandsWhereItsEntrySays) {
  auto content = [](uint32_t seed, size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (seed * 7 + i * 13 + i / 4096) % 26);
    return bytes;
  };
  std::map<uint32_t, std::string> expected;
  auto write = [&](CMarrowleafDoc& doc, uint32_t id, size_t size) {
    expected[id] = content(id * 31 + static_cast<uint32_t>(size), size);
    ASSERT_TRUE(test::WriteStream(doc, id, expected[id], false));
  };
  auto check = [&](CMarrowleafDoc& doc, const char* round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(SavedStreams(env.GetFile(kPath)), expected);
    for (const auto& [id, bytes] : expected) EXPECT_EQ(test::ReadStream(doc, id, 65536), bytes) << id;
  };

  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  CMlfNode folder;
  folder.Create(&doc, ntFolder, "Folder", 0);
  std::vector<uint32_t> ids;
  for (size_t size : {size_t(1), size_t(300000), size_t(10), size_t(700000), size_t(5), size_t(262144)}) {
    CMlfNode node;
    node.Create(&doc, ntForeign, "n", folder.GetId());
    ids.push_back(node.GetId());
    write(doc, node.GetId(), size);
  }
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  check(doc, "all from the work file");

  write(doc, ids[2], 20);      // from the work file, between runs of the note file
  write(doc, ids[4], 400000);  // larger than it was
  doc.Data_DeleteItem(ids[1]);
  expected.erase(ids[1]);
  uint32_t copy = doc.CopyNode(ids[3], false);
  expected[copy] = expected[ids[3]];
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  check(doc, "mixed");
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  check(doc, "all from the note file");
}

TEST_F(FileTest, AStreamBeyondTheEndOfItsFileFailsTheSaveAndChangesNothing) {
  CMarrowleafDoc doc(env);
  Fill(doc);
  ASSERT_TRUE(doc.OnSaveDocument(kPath));
  std::string saved = env.GetFile(kPath);
  // Node 3's bytes follow node 2's in the note file: its location is checked against the size
  // the save already knows from node 2.
  DATALOC location;
  ASSERT_TRUE(doc.Data_GetLocation(3, location));
  location.nLoc = static_cast<uint32_t>(saved.size()) - 2;
  doc.Data_SetLocation(3, location);
  prompts.messages.clear();
  EXPECT_FALSE(doc.OnSaveDocument(kPath));
  EXPECT_EQ(env.GetFile(kPath), saved);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("a stored stream lies beyond the end of its file"), std::string::npos)
      << prompts.messages[0].text;
}

TEST_F(FileTest, ChildrenWalkOfADeepChainNeedsNoRecursion) {
  CMarrowleafDoc doc(env);
  uint32_t parent = 0;
  for (int i = 0; i < 100000; ++i) {
    CMlfNode folder;
    folder.Create(&doc, ntFolder, "f", parent);
    parent = folder.GetId();
  }
  std::vector<uint32_t> ids;
  doc.Data_GetChildren(0, ids);
  ASSERT_EQ(ids.size(), 100000u);
  EXPECT_EQ(ids.front(), parent) << "the deepest folder comes first";
  EXPECT_EQ(ids.back(), 1u);
}

// Fails the reopen of the saved file (read/write, must exist) a given number of times, as when
// another process holds it right after the rename.
class HeldAfterRenameEnv : public FaultEnv {
 public:
  using FaultEnv::FaultEnv;
  std::unique_ptr<File> OpenFile(const std::string& path, FileAccess access, FileCreation creation,
                                 FileShare share) override {
    if (path == kPath && access == FileAccess::ReadWrite && creation == FileCreation::OpenExisting && failures > 0) {
      --failures;
      throw FileError(path, "held by another process");
    }
    return FaultEnv::OpenFile(path, access, creation, share);
  }
  int failures = 0;
};

TEST_F(FileTest, ASaveWhoseRenameSucceededIsNeverReportedAsUnchanged) {
  struct Case {
    const char* name;
    int failures;
    CMarrowleafDoc::SaveResult expected;
  };
  for (const Case& c : {Case{"reopen fails once, the retry works", 1, CMarrowleafDoc::SaveResult::Saved},
                        Case{"reopen keeps failing", 100, CMarrowleafDoc::SaveResult::Committed}}) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    if (env.FileExists(kPath)) env.DeleteFile(kPath);
    HeldAfterRenameEnv held(env);
    CMarrowleafDoc doc(held);
    Fill(doc);
    ASSERT_TRUE(doc.OnSaveDocument(kPath));
    CMlfNode extra;
    extra.Create(&doc, ntNote, "Added", 0);
    test::WriteStream(doc, extra.GetId(), "new content");
    std::string state = Describe(doc);
    held.failures = c.failures;
    EXPECT_EQ(doc.Save(kPath), c.expected);
    held.failures = 0;
    EXPECT_FALSE(doc.IsModified()) << "the changes are in the file";
    for (const auto& m : prompts.messages) EXPECT_EQ(m.text.find("not changed"), std::string::npos) << m.text;
    if (c.expected == CMarrowleafDoc::SaveResult::Committed) {
      ASSERT_EQ(prompts.messages.size(), 1u);
      EXPECT_NE(prompts.messages[0].text.find("Your changes are in the file"), std::string::npos);
    }
    EXPECT_EQ(Describe(doc), state) << "the document stays usable";
    EXPECT_TRUE(doc.OnSaveDocument(kPath)) << "and saves again";
  }
  CMarrowleafDoc check(env);
  ASSERT_TRUE(check.OnOpenDocument(kPath));
  EXPECT_EQ(test::ReadStream(check, 4), "new content");
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

TEST_F(FileTest, SavingKeepsTheLinkAndThePermissionsTheUserSetUp) {
  test::ScratchDir dir;
  Env& disk = Env::Default();
  ::mkdir((dir / "real").c_str(), 0700);
  const std::string real = dir / "real/notes.mlf", link = dir / "notes.mlf";
  {
    CMarrowleafDoc doc(disk);
    Fill(doc);
    ASSERT_TRUE(doc.OnSaveDocument(real));
  }
  EXPECT_EQ(ModeOf(real) & 07777, 0600u) << "a new file is owner-only";
  ASSERT_EQ(::chmod(real.c_str(), 0664), 0);
  ASSERT_EQ(::symlink("real/notes.mlf", link.c_str()), 0);

  CMarrowleafDoc doc(disk);
  ASSERT_TRUE(doc.OnOpenDocument(link));
  CMlfNode extra;
  extra.Create(&doc, ntNote, "Added", 0);
  test::WriteStream(doc, extra.GetId(), "through the link");
  ASSERT_TRUE(doc.OnSaveDocument(link));
  EXPECT_TRUE(S_ISLNK(ModeOf(link))) << "the link stays a link";
  EXPECT_EQ(ModeOf(real) & 07777, 0664u) << "the saved file keeps the permission bits";
  std::string bytes = test::ReadWholeFile(real);
  EXPECT_NE(bytes.find("Added"), std::string::npos) << "the link's target was replaced";
  for (const DirEntry& entry : disk.ListDirectory(dir.path()))
    EXPECT_TRUE(entry.name == "real" || entry.name == "notes.mlf") << entry.name << " left beside the link";
  ASSERT_TRUE(doc.OnSaveDocument(link)) << "and it saves again through the reopened file";
  EXPECT_EQ(test::ReadStream(doc, extra.GetId()), "through the link");
}

}  // namespace
}  // namespace mlf
