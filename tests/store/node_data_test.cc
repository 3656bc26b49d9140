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

}  // namespace
}  // namespace mlf
