#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <random>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/recovery_file.h"
#include "support/node_content.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

const std::string kPath = "/notes/a.mlf";
const std::string kRecovery = "/data/a.mlfrecovery";

std::string Noise(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(bytes.at(at + i));
  return v;
}

// The trailer as the layout describes it, read with plain byte arithmetic.
struct Trailer {
  std::string magic;
  uint32_t version, flags;
  std::string path;
  std::vector<uint32_t> inSaved;
  uint64_t imageLength;
  bool crcMatches;
};

Trailer ParseTrailer(const std::string& file) {
  Trailer t;
  size_t at = file.size() - Le32(file, file.size() - 4);
  uint32_t n = Le32(file, at);
  for (uint32_t i = 0; i + 2 < n; i += 2) t.magic += file.at(at + 4 + i);
  at += 4 + n;
  t.version = Le32(file, at);
  t.flags = Le32(file, at + 4);
  at += 16;  // version, flags, autosave time
  uint32_t pathLength = Le32(file, at);
  t.path = file.substr(at + 4, pathLength);
  at += 4 + pathLength + 20;  // size, modification time, head CRC
  uint32_t count = Le32(file, at);
  for (uint32_t i = 0; i < count; ++i) t.inSaved.push_back(Le32(file, at + 4 + 4 * i));
  at += 4 + 4 * count;
  t.imageLength = Le32(file, at) | uint64_t(Le32(file, at + 4)) << 32;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(file.data()), uInt(file.size() - 8));
  t.crcMatches = crc == Le32(file, file.size() - 8);
  return t;
}

class RecoveryTest : public ::testing::Test {
 protected:
  RecoveryTest() : scope(prompts) {
    env.CreateDirectory("/notes");
    env.CreateDirectory("/data");
  }

  uint32_t Note(CMarrowleafDoc& doc, const char* title, const std::string& content, bool compress = true) {
    CMlfNode node;
    node.Create(&doc, ntNote, title, 0);
    EXPECT_TRUE(test::WriteStream(doc, node.GetId(), content, compress));
    return node.GetId();
  }

  // A saved file of three notes, one of them large, opened again and one note changed.
  void SavedAndChanged(CMarrowleafDoc& doc) {
    {
      CMarrowleafDoc first(env);
      first.SetCryptProvider(&crypt);
      Note(first, "Big", Noise(300 * 1024));
      Note(first, "Small", "small text");
      Note(first, "Other", "other text");
      if (encrypted) first.SetFileEncryption(test::TestCrypt::kCipher, 16, test::TestCrypt::kKeyDerivation, SecureString("pw"));
      ASSERT_TRUE(first.OnSaveDocument(kPath));
    }
    doc.SetCryptProvider(&crypt);
    if (encrypted) prompts.QueuePassword("pw");
    ASSERT_TRUE(doc.OnOpenDocument(kPath));
    ASSERT_TRUE(test::WriteStream(doc, 2, "typed since the save"));
    uint32_t keyword = doc.FindOrAddKeyword("kept");
    doc.SetNodeKeywords(2, MLFNODEKEYWORDS{2, {keyword}});
    doc.AddBookmark(3, "mark");
  }

  // Autosaves such a document, then closes it as a killed run would leave it: unsaved.
  std::string AutosaveChanged(const std::function<void(CMarrowleafDoc&)>& more = nullptr) {
    CMarrowleafDoc doc(env);
    SavedAndChanged(doc);
    if (more) more(doc);
    doc.WriteRecovery(kRecovery);
    return env.GetFile(kRecovery);
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
  test::TestCrypt crypt;
  bool encrypted = false;
};

TEST_F(RecoveryTest, HoldsOnlyChangedStreamsAndRecoversTheDocument) {
  std::string bytes = AutosaveChanged();
  EXPECT_LT(bytes.size(), 64u * 1024) << "the large unchanged note stays in the saved file";

  Trailer t = ParseTrailer(bytes);
  EXPECT_EQ(t.magic, "Marrowleaf Recovery");
  EXPECT_EQ(t.version, 1u);
  EXPECT_EQ(t.flags, 0u);
  EXPECT_EQ(t.path, kPath);
  EXPECT_EQ(t.inSaved, (std::vector<uint32_t>{1, 3}));
  EXPECT_TRUE(t.crcMatches);
  EXPECT_EQ(bytes.substr(4, 2), std::string("M\0", 2)) << "the image starts the file";
  EXPECT_EQ(t.imageLength, bytes.size() - Le32(bytes, bytes.size() - 4));

  {
    CMarrowleafDoc recovered(env);
    ASSERT_EQ(recovered.OpenRecovery(kRecovery), CMarrowleafDoc::RecoveryResult::Recovered);
    EXPECT_TRUE(recovered.IsModified());
    EXPECT_EQ(recovered.GetPathName(), "");
    EXPECT_EQ(test::ReadStream(recovered, 1), Noise(300 * 1024));
    EXPECT_EQ(test::ReadStream(recovered, 2), "typed since the save");
    EXPECT_EQ(test::ReadStream(recovered, 3), "other text");
    std::vector<std::string> words;
    recovered.EnumNodeKeywordNames(2, [&](const std::string& w) { words.push_back(w); });
    EXPECT_EQ(words, std::vector<std::string>{"kept"});
    std::vector<std::string> marks;
    recovered.EnumBookmarks([&](const MLFBOOKMARK& b) { marks.push_back(b.strName); });
    EXPECT_EQ(marks, std::vector<std::string>{"mark"});

    // Save As writes a whole file that opens without the recovery file or the old one.
    ASSERT_TRUE(recovered.OnSaveDocument("/notes/b.mlf"));
  }
  env.DeleteFile(kRecovery);
  env.DeleteFile(kPath);
  CMarrowleafDoc reopened(env);
  ASSERT_TRUE(reopened.OnOpenDocument("/notes/b.mlf"));
  EXPECT_EQ(test::ReadStream(reopened, 1), Noise(300 * 1024));
  EXPECT_EQ(test::ReadStream(reopened, 2), "typed since the save");
}

TEST_F(RecoveryTest, NeverSavedDocumentHoldsEveryStream) {
  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  Note(doc, "One", "first");
  Note(doc, "Two", "second");
  doc.WriteRecovery(kRecovery);
  Trailer t = ParseTrailer(env.GetFile(kRecovery));
  EXPECT_EQ(t.path, "");
  EXPECT_TRUE(t.inSaved.empty());

  CMarrowleafDoc recovered(env);
  ASSERT_EQ(recovered.OpenRecovery(kRecovery), CMarrowleafDoc::RecoveryResult::Recovered);
  EXPECT_EQ(test::ReadStream(recovered, 1), "first");
  EXPECT_EQ(test::ReadStream(recovered, 2), "second");
}

TEST_F(RecoveryTest, DamagedOrOrphanedRecoveryFilesAreRefused) {
  struct Case {
    const char* name;
    std::function<void(MemEnv&, std::string&)> harm;  // changes the saved file or the recovery bytes
  } cases[] = {
      {"a byte of the image flipped", [](MemEnv&, std::string& r) { r[200] ^= 1; }},
      {"cut short", [](MemEnv&, std::string& r) { r.resize(r.size() / 2); }},
      {"empty", [](MemEnv&, std::string& r) { r.clear(); }},
      {"trailer length beyond the file", [](MemEnv&, std::string& r) { r[r.size() - 1] = '\x7f'; }},
      {"saved file gone", [](MemEnv& e, std::string&) { e.DeleteFile(kPath); }},
      {"saved file changed", [](MemEnv& e, std::string&) {
         std::string saved = e.GetFile(kPath);
         saved[120] ^= 1;
         e.PutFile(kPath, saved);
       }},
  };
  for (const Case& c : cases) {
    std::string bytes = AutosaveChanged();
    c.harm(env, bytes);
    env.PutFile(kRecovery, bytes);
    CMarrowleafDoc recovered(env);
    EXPECT_THROW(recovered.OpenRecovery(kRecovery), DamagedRecoveryError) << c.name;
  }
}

TEST_F(RecoveryTest, EncryptedDocumentsRecoveryIsUnreadableWithoutThePassword) {
  encrypted = true;
  std::string bytes = AutosaveChanged([&](CMarrowleafDoc& doc) { Note(doc, "Secret title", "secret raw content", false); });
  EXPECT_EQ(ParseTrailer(bytes).flags, 1u);
  EXPECT_EQ(bytes.find("Secret title"), std::string::npos);
  EXPECT_EQ(bytes.find("secret raw content"), std::string::npos);
  EXPECT_EQ(bytes.find("Marrowleaf File"), std::string::npos) << "the magic is UTF-16, so this is no proof alone";

  struct Attempt {
    const char* name;
    std::optional<std::string> password;
    CMarrowleafDoc::RecoveryResult result;
  } attempts[] = {
      {"cancelled", std::nullopt, CMarrowleafDoc::RecoveryResult::Cancelled},
      {"wrong", "nope", CMarrowleafDoc::RecoveryResult::Cancelled},
      {"right", "pw", CMarrowleafDoc::RecoveryResult::Recovered},
  };
  for (const Attempt& a : attempts) {
    prompts.passwordRequests.clear();
    prompts.QueuePassword(a.password);
    CMarrowleafDoc recovered(env);
    recovered.SetCryptProvider(&crypt);
    EXPECT_EQ(recovered.OpenRecovery(kRecovery), a.result) << a.name;
    EXPECT_EQ(prompts.passwordRequests.size(), 1u) << a.name << ": the saved file opens with the same key";
    if (a.result != CMarrowleafDoc::RecoveryResult::Recovered) continue;
    EXPECT_EQ(test::ReadStream(recovered, 2), "typed since the save");
    EXPECT_EQ(test::ReadStream(recovered, 4), "secret raw content");
    EXPECT_NE(recovered.GetFileEncryption().nCryptType, 0u);
  }
}

TEST_F(RecoveryTest, PlainRecoveryShowsTheSameMarkersTheEncryptedOneHides) {
  std::string bytes = AutosaveChanged([&](CMarrowleafDoc& doc) { Note(doc, "Secret title", "secret raw content", false); });
  EXPECT_NE(bytes.find("Secret title"), std::string::npos);
  EXPECT_NE(bytes.find("secret raw content"), std::string::npos);
}

}  // namespace
}  // namespace mlf
