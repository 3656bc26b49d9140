#include <functional>

#include <gtest/gtest.h>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "store/node_password.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

class NodeDataTest : public ::testing::Test {
 protected:
  NodeDataTest() : scope(prompts) { doc.SetCryptProvider(&crypt); }

  uint32_t NoteWith(const std::string& content) {
    CMlfNode node;
    node.Create(&doc, ntNote, "n", 0);
    CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(content.data(), content.size());
    EXPECT_TRUE(data->Finish());
    EXPECT_EQ(node.GetRawLength(), content.size()) << "the handle sees the new lengths";
    return node.GetId();
  }
  std::string ReadAll(uint32_t id, size_t piece = 5) {
    CMlfNode node(&doc, id);
    CMlfNodeData* data = node.GetNodeDataForRead();
    if (!data) return "<no data>";
    std::string out(piece, '\0'), all;
    while (size_t n = data->Get(out.data(), piece)) all.append(out, 0, n);
    return all;
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
  test::TestCrypt crypt;
  CMarrowleafDoc doc{env};
};

TEST_F(NodeDataTest, EmptyAndClippedReads) {
  EXPECT_EQ(ReadAll(NoteWith("")), "");
  EXPECT_TRUE(prompts.messages.empty());
  uint32_t id = NoteWith("0123456789");
  CMlfNode node(&doc, id);
  CMlfNodeData* data = node.GetNodeDataForRead();
  ASSERT_NE(data, nullptr);
  char buffer[64];
  EXPECT_EQ(data->Get(buffer, 4), 4u);
  EXPECT_EQ(data->Get(buffer, 64), 6u) << "only what remains";
  EXPECT_EQ(data->Get(buffer, 64), 0u);
  EXPECT_TRUE(prompts.messages.empty());
  CMlfNode fresh;
  fresh.Create(&doc, ntNote, "never written", 0);
  EXPECT_EQ(fresh.GetNodeDataForRead(), nullptr) << "no stored data";
}

TEST_F(NodeDataTest, CallbacksIgnoreNullPointers) {
  int32_t count = -1;
  uint8_t buffer[4];
  EXPECT_EQ(CMlfNodeData::ReadCallback(0, buffer, 4, &count), 0u);
  EXPECT_EQ(CMlfNodeData::WriteCallback(0, buffer, 4, &count), 0u);
  EXPECT_EQ(count, -1);
}

TEST_F(NodeDataTest, SetNodeEncryptionOnAndOff) {
  uint32_t id = NoteWith("secret note");
  using T = test::TestCrypt;
  ASSERT_TRUE(doc.SetNodeEncryption(id, T::kCipher, 16, T::kKeyDerivation, SecureString("pw"), SecureString()));
  CMlfNode node(&doc, id);
  EXPECT_TRUE(node.IsEncrypted());
  EXPECT_EQ(node.GetTestLength(), 16u);
  EXPECT_TRUE(VerifyNodePassword(doc, id, SecureString("pw")));
  node.SetPassword(true, SecureString("pw"));
  EXPECT_EQ(ReadAll(id), "secret note");

  ASSERT_TRUE(doc.SetNodeEncryption(id, 0, 0, 0, SecureString(), SecureString("pw")));
  node.Attach(&doc, id);
  EXPECT_FALSE(node.IsEncrypted());
  EXPECT_TRUE(node.IsCompressed());
  EXPECT_EQ(node.GetKeyLength(), 0u);
  node.SetPassword(false, SecureString());
  EXPECT_EQ(ReadAll(id), "secret note");
  EXPECT_TRUE(prompts.messages.empty());

  EXPECT_FALSE(doc.SetNodeEncryption(id, 99, 16, T::kKeyDerivation, SecureString("x"), SecureString()))
      << "an unknown cipher changes nothing";
  node.Attach(&doc, id);
  EXPECT_FALSE(node.IsEncrypted());
}

TEST_F(NodeDataTest, FilesInAndOut) {
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
  env.PutFile("/in/report.dat", bytes);
  uint32_t id = doc.Data_AddForeignFromFile("/in/report.dat", 0);
  ASSERT_NE(id, 0u);
  CMlfNode node(&doc, id);
  EXPECT_STREQ(node.GetTitle(), "report.dat");
  EXPECT_EQ(node.GetType(), ntForeign);
  EXPECT_TRUE(node.IsCompressed());
  std::vector<int> steps;
  ASSERT_TRUE(doc.Data_CopyToFile(id, "/tmp/out.dat", [&](int permille) { steps.push_back(permille); }));
  EXPECT_EQ(env.GetFile("/tmp/out.dat"), bytes);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), 1000);
  EXPECT_EQ(doc.Data_AddHtmlFromFile("/in/missing.html", 0), 0u);
  EXPECT_FALSE(doc.Data_CopyToFile(12345, "/tmp/none"));
}

TEST_F(NodeDataTest, WrongOldPasswordChangesNothing) {
  using T = test::TestCrypt;
  uint32_t id = NoteWith("guarded");
  ASSERT_TRUE(doc.SetNodeEncryption(id, T::kCipher, 16, T::kKeyDerivation, SecureString("old"), SecureString()));
  NTV before;
  doc.Data_GetItem(id, before);
  DATALOC beforeLocation;
  doc.Data_GetLocation(id, beforeLocation);

  EXPECT_FALSE(doc.SetNodeEncryption(id, T::kCipher, 16, T::kKeyDerivation, SecureString("new"), SecureString("bad")));
  EXPECT_FALSE(doc.SetNodeEncryption(id, 0, 0, 0, SecureString(), SecureString("bad")));
  NTV after;
  doc.Data_GetItem(id, after);
  DATALOC afterLocation;
  doc.Data_GetLocation(id, afterLocation);
  EXPECT_EQ(after.nFlags, before.nFlags);
  EXPECT_EQ(after.nStorageLength, before.nStorageLength);
  EXPECT_EQ(afterLocation.nLoc, beforeLocation.nLoc) << "the stored bytes were not rewritten";
  EXPECT_TRUE(VerifyNodePassword(doc, id, SecureString("old")));
  CMlfNode node(&doc, id);
  node.SetPassword(true, SecureString("old"));
  EXPECT_EQ(ReadAll(id), "guarded");
}

TEST_F(NodeDataTest, EmptyNodeThatGetsAPasswordCanBeVerified) {
  using T = test::TestCrypt;
  CMlfNode node;
  node.Create(&doc, ntNote, "empty", 0);
  uint32_t id = node.GetId();
  ASSERT_TRUE(doc.SetNodeEncryption(id, T::kCipher, 16, T::kKeyDerivation, SecureString("pw"), SecureString()));
  node.Attach(&doc, id);
  EXPECT_TRUE(node.IsEncrypted());
  EXPECT_EQ(node.GetTestLength(), 16u);
  EXPECT_TRUE(VerifyNodePassword(doc, id, SecureString("pw")));
  EXPECT_FALSE(VerifyNodePassword(doc, id, SecureString("other")));
  EXPECT_FALSE(doc.SetNodeEncryption(id, 0, 0, 0, SecureString(), SecureString("other")));
  node.SetPassword(true, SecureString("pw"));
  EXPECT_EQ(ReadAll(id), "");
  ASSERT_TRUE(doc.SetNodeEncryption(id, 0, 0, 0, SecureString(), SecureString("pw")));
  node.Attach(&doc, id);
  EXPECT_FALSE(node.IsEncrypted());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(NodeDataTest, EncryptedNodesRecordNoContentCrc) {
  using T = test::TestCrypt;
  uint32_t plain = NoteWith("a guessable note");
  uint32_t secret = NoteWith("a guessable note");
  ASSERT_TRUE(doc.SetNodeEncryption(secret, T::kCipher, 16, T::kKeyDerivation, SecureString("pw"), SecureString()));
  CMlfNode node(&doc, secret);
  node.SetPassword(true, SecureString("pw"));
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  std::string content = "rewritten while encrypted";
  data->Put(content.data(), content.size());
  ASSERT_TRUE(data->Finish());
  NTV p, s;
  doc.Data_GetItem(plain, p);
  doc.Data_GetItem(secret, s);
  EXPECT_NE(p.nDataCRC, 0u);
  EXPECT_EQ(s.nDataCRC, 0u);
  EXPECT_NE(s.nFileDataCRC, 0u) << "the stored bytes stay guarded";
  EXPECT_EQ(ReadAll(secret), content);
}

// Each case breaks a node in one way; reading it must fail with the reason, and a copy to a
// file must leave no file behind.
TEST_F(NodeDataTest, UnreadableContentIsAFailureWithItsReason) {
  using T = test::TestCrypt;
  struct Case {
    const char* name;
    std::function<uint32_t()> make;
    ContentError expected;
  };
  auto breakRecord = [&](uint32_t id, const std::function<void(NTV&, DATALOC&)>& change) {
    NTV record;
    DATALOC location;
    doc.Data_GetItem(id, record);
    doc.Data_GetLocation(id, location);
    change(record, location);
    doc.Data_SetItem(id, record, false);
    doc.Data_SetLocation(id, location);
    return id;
  };
  auto encrypted = [&](const char* password) {
    uint32_t id = NoteWith("secret");
    EXPECT_TRUE(doc.SetNodeEncryption(id, T::kCipher, 16, T::kKeyDerivation, SecureString("pw"), SecureString()));
    CMlfNode(&doc, id).SetPassword(password != nullptr, SecureString(password ? password : ""));
    return id;
  };
  std::vector<Case> cases = {
      {"stored bytes fail their CRC", [&] { return breakRecord(NoteWith("abc"), [](NTV& r, DATALOC&) { r.nFileDataCRC ^= 1; }); },
       ContentError::Damaged},
      {"content fails its CRC", [&] { return breakRecord(NoteWith("abc"), [](NTV& r, DATALOC&) { r.nDataCRC ^= 1; }); },
       ContentError::Damaged},
      {"stream beyond the end", [&] { return breakRecord(NoteWith("abc"), [](NTV&, DATALOC& l) { l.nLoc = 1u << 30; }); },
       ContentError::Damaged},
      {"member not gzip", [&] { return breakRecord(NoteWith("abc"), [](NTV& r, DATALOC&) { r.nFileDataCRC = 0; r.nStorageLength = 5; }); },
       ContentError::Damaged},
      {"raw stream cut short", [&] {
         CMlfNode n;
         n.Create(&doc, ntForeign, "raw", 0);
         CMlfNodeData* d = n.GetNodeDataForWrite(false);
         d->Put("0123456789", 10);
         d->Finish();
         return breakRecord(n.GetId(), [](NTV& r, DATALOC&) { r.nRawLength = 4000; r.nStorageLength = 4000; r.nDataCRC = 0; });
       },
       ContentError::Damaged},
      {"wrong password", [&] { return encrypted("wrong"); }, ContentError::WrongPassword},
      {"no password given", [&] { return encrypted(nullptr); }, ContentError::WrongPassword},
      {"no encryption module", [&] {
         uint32_t id = encrypted("pw");
         doc.SetCryptProvider(nullptr);  // the process has no module loaded
         return id;
       },
       ContentError::NoEncryption},
      {"folder", [&] {
         CMlfNode f;
         f.Create(&doc, ntFolder, nullptr, 0);
         return f.GetId();
       },
       ContentError::NoContent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc.SetCryptProvider(&crypt);
    uint32_t id = c.make();
    ContentError error = ContentError::None;
    EXPECT_FALSE(doc.Data_CopyToFile(id, "/tmp/node.bin", nullptr, &error));
    EXPECT_EQ(error, c.expected);
    EXPECT_FALSE(env.FileExists("/tmp/node.bin")) << "nothing half-written";
    error = ContentError::None;
    EXPECT_FALSE(doc.Data_ReadContent(id, &error).has_value());
    EXPECT_EQ(error, c.expected);
  }
  EXPECT_EQ(ContentErrorText(ContentError::Damaged), "the stored data is damaged");
  EXPECT_EQ(ContentErrorText(ContentError::WrongPassword), "incorrect password");
  EXPECT_EQ(ContentErrorText(ContentError::NoEncryption), "no encryption module");
}

TEST_F(NodeDataTest, DamagedStreamWarningNamesTheNode) {
  CMlfNode node(&doc, NoteWith("abc"));
  node.SetTitle("Plans");
  node.Update(false);
  NTV record;
  doc.Data_GetItem(node.GetId(), record);
  record.nFileDataCRC = 0;
  record.nStorageLength = 5;  // the member is cut: the decoder fails
  doc.Data_SetItem(node.GetId(), record, false);
  EXPECT_FALSE(doc.Data_ReadContent(node.GetId()).has_value());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("node " + std::to_string(node.GetId()) + " 'Plans'"), std::string::npos)
      << prompts.messages[0].text;
}

}  // namespace
}  // namespace mlf
