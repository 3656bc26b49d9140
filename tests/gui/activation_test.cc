#include "gui_fixture.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/mlf_rich_edit_view_ex.h"

namespace mlf::test {
namespace {

class ActivationTest : public GuiFixture {
 protected:
  void SetUp() override {
    locked = Add(ntNote, "Locked", 0, "secret text");
    plain = Add(ntNote, "Plain", 0, "plain text");
    Encrypt(locked, "right");
    Show();
  }
  uint32_t locked = 0, plain = 0;
};

constexpr const char* kCouldNotLoad = "Warning: Could not load node data.";

TEST_F(ActivationTest, EncryptedNodeAsksForItsPasswordEveryTime) {
  struct Case {
    const char* name;
    std::vector<std::optional<std::string>> answers;
    bool opens;
    std::vector<std::string> messages;
  } cases[] = {
      {"right password", {"right"}, true, {}},
      {"cancel", {std::nullopt}, false, {"Access Denied"}},
      {"wrong, then right", {"wrong", "right"}, true, {"Incorrect password!"}},
      {"wrong, then cancel", {"wrong", std::nullopt}, false, {"Incorrect password!", "Access Denied"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    prompts.passwordRequests.clear();
    for (const auto& answer : c.answers) prompts.QueuePassword(answer);
    Tree().ActivateItem(Item(locked));
    EXPECT_EQ(MessageTexts(), c.messages);
    EXPECT_EQ(prompts.passwordRequests.size(), c.answers.size());
    ASSERT_FALSE(prompts.passwordRequests.empty());
    EXPECT_EQ(prompts.passwordRequests[0].mode, uint32_t(kPasswordEnter));
    EXPECT_EQ(prompts.passwordRequests[0].nodeId, locked);
    if (c.opens) {
      ASSERT_NE(frame->RichEditView(), nullptr);
      EXPECT_EQ(frame->ActiveNodeId(), locked);
      EXPECT_NE(frame->RichEditView()->toPlainText().indexOf(QStringLiteral("secret text")), -1);
      // Switching away forgets the password, so the next opening asks again.
      Tree().ActivateItem(Item(plain));
      EXPECT_TRUE(CMlfNode(doc, locked).GetPassword().empty());
    } else {
      EXPECT_NE(frame->BlankView(), nullptr);
      EXPECT_EQ(frame->ActiveNodeId(), -1);
      EXPECT_EQ(Tree().ActiveItem(), nullptr);
    }
  }
}

TEST_F(ActivationTest, EncryptionUnavailableRefusesTheNode) {
  struct NoCrypt : TestCrypt {
    uint32_t MaxKeyLength() const override { return 0; }
  } none;
  doc->SetCryptProvider(&none);
  EXPECT_FALSE(frame->ActivateNode(true, locked));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"You cannot access this encrypted node.\n\nEncryption is not available or not compatible."});
  EXPECT_TRUE(prompts.passwordRequests.empty());
  EXPECT_NE(frame->BlankView(), nullptr);
  doc->SetCryptProvider(&crypt);
}

TEST_F(ActivationTest, RefusedAndRepeatedActivations) {
  uint32_t foreign = Add(ntForeign, "Data", 0, "bytes");
  EXPECT_FALSE(frame->ActivateNode(true, foreign));
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].caption, "Open Foreign Data");
  EXPECT_EQ(frame->ActiveNodeId(), -1);

  prompts.messages.clear();
  uint32_t folder = Add(ntFolder, "Folder");
  EXPECT_FALSE(frame->ActivateNode(true, folder)) << "a folder has no view";
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{kCouldNotLoad});

  ASSERT_TRUE(frame->ActivateNode(true, plain));
  auto* view = frame->RichEditView();
  EXPECT_FALSE(frame->ActivateNode(true, plain)) << "the open node is not opened again";
  EXPECT_EQ(frame->RichEditView(), view);
  EXPECT_TRUE(frame->ActivateNode(false, -1));
  EXPECT_NE(frame->BlankView(), nullptr);
}

TEST_F(ActivationTest, ANewNoteWithoutContentOpens) {
  CMlfNode fresh;
  fresh.Create(doc, ntNote, nullptr, 0);
  EXPECT_TRUE(frame->ActivateNode(true, fresh.GetId()));
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace mlf::test
