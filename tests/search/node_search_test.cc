#include <gtest/gtest.h>

#include "platform/mem_env.h"
#include "search/node_search.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

class NodeSearchTest : public ::testing::Test {
 protected:
  uint32_t Note(const char* title, const std::string& text = "", std::vector<std::string> keywords = {}) {
    CMlfNode node;
    node.Create(&doc, ntNote, title, 0);
    if (!text.empty()) {
      std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\f0 " + text + "\\par}";
      CMlfNodeData* data = node.GetNodeDataForWrite(true);
      data->Put(rtf.data(), rtf.size());
      data->Finish();
    }
    MLFNODEKEYWORDS entry{node.GetId(), {}};
    for (const auto& k : keywords) entry.ids.push_back(doc.FindOrAddKeyword(k));
    if (!keywords.empty()) doc.SetNodeKeywords(node.GetId(), entry);
    return node.GetId();
  }
  std::vector<uint32_t> Find(const std::string& text, SearchMode mode, bool titles = true, bool keywords = true,
                             bool content = true) {
    return NodeSearch::Run(doc, SearchQuery{text, mode, titles, keywords, content});
  }

  MemEnv env;
  CMarrowleafDoc doc{env};
};

using Ids = std::vector<uint32_t>;

TEST_F(NodeSearchTest, EveryWordInOneField) {
  uint32_t both = Note("Red Car");
  Note("Red balloon", "a car in the text");
  uint32_t text = Note("Untitled", "the red car was fast");
  EXPECT_EQ(Find("red car", SearchMode::AllWords), (Ids{both, text}));
  EXPECT_EQ(Find("red car", SearchMode::AnyWords).size(), 3u);
}

TEST_F(NodeSearchTest, ExactPhraseIgnoresCase) {
  uint32_t mine = Note("My red car");
  Note("A car that is red");
  EXPECT_EQ(Find("Red Car", SearchMode::ExactPhrase), Ids{mine});
}

TEST_F(NodeSearchTest, KeywordsMatchBySubstringInEveryMode) {
  uint32_t a = Note("one", "", {"projects"});
  Note("two");
  uint32_t c = Note("three", "", {"home", "Projects"});
  for (SearchMode mode : {SearchMode::AllWords, SearchMode::AnyWords, SearchMode::ExactPhrase})
    EXPECT_EQ(Find("proj", mode), (Ids{a, c}));
  EXPECT_TRUE(Find("proj", SearchMode::AllWords, true, false, true).empty()) << "keywords not searched";
}

TEST_F(NodeSearchTest, EncryptedNotesAreNotSearchedByContent) {
  test::TestCrypt crypt;
  doc.SetCryptProvider(&crypt);
  uint32_t secret = Note("Diary", "the treasure lies north");
  ASSERT_TRUE(doc.SetNodeEncryption(secret, test::TestCrypt::kCipher, 16, test::TestCrypt::kKeyDerivation,
                                    SecureString("pw"), SecureString()));
  EXPECT_TRUE(Find("treasure", SearchMode::AllWords).empty());
  EXPECT_EQ(Find("diary", SearchMode::AllWords), Ids{secret}) << "its title still matches";
}

TEST_F(NodeSearchTest, EachNodeOnceInIdOrderAcrossThreads) {
  std::vector<uint32_t> expected;
  for (int i = 0; i < 200; ++i) {
    bool match = i % 3 == 0;
    uint32_t id = Note(match ? "Apple pie" : "Pear", match ? "apple inside" : "nothing");
    if (match) expected.push_back(id);
  }
  for (unsigned threads : {1u, 2u, 4u}) {
    NodeSearch search(doc, SearchQuery{"apple", SearchMode::AllWords}, threads);
    search.Start();
    search.Wait();
    EXPECT_TRUE(search.Finished());
    EXPECT_EQ(search.Progress(), 1000);
    EXPECT_EQ(search.TakeResults(), expected) << threads << " threads";
  }
}

TEST_F(NodeSearchTest, NonAsciiTextAndQueryWordsFoldCase) {
  uint32_t id = Note("\xc3\x89T\xc3\x89 \xd0\x9c\xd0\x9e\xd0\xa1\xd0\x9a\xd0\x92\xd0\x90");  // ÉTÉ МОСКВА in UTF-8
  uint32_t cp1252 = Note("Caf\xc9");                                                         // CafÉ in 1252
  EXPECT_EQ(Find("\xc3\xa9t\xc3\xa9", SearchMode::AllWords), Ids{id});
  EXPECT_EQ(Find("\xd0\xbc\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0", SearchMode::AllWords), Ids{id});
  EXPECT_EQ(Find("caf\xc3\xa9", SearchMode::AllWords), Ids{cp1252});
}

TEST_F(NodeSearchTest, DeletedWhileSearchingIsSkipped) {
  Ids kept;
  for (int i = 0; i < 50; ++i)
    if (uint32_t id = Note("match me", "match"); id % 2 == 0) kept.push_back(id);
  NodeSearch search(doc, SearchQuery{"match", SearchMode::AllWords}, 2);
  search.SetSnapshotHook([&] {
    for (uint32_t id = 1; id <= 50; id += 2) ASSERT_TRUE(doc.Data_DeleteItem(id));
  });
  search.Start();
  search.Wait();
  EXPECT_EQ(search.TakeResults(), kept);
  EXPECT_TRUE(search.Finished());
  EXPECT_EQ(search.Progress(), 1000);
}

TEST(QueryTest, WordsAndTrimming) {
  EXPECT_EQ(QueryWords("Red  CAR ", SearchMode::AllWords), (std::vector<std::string>{"red", "car"}));
  EXPECT_EQ(QueryWords("Red  CAR", SearchMode::ExactPhrase), (std::vector<std::string>{"red  car"}));
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("   "), "");
}

}  // namespace
}  // namespace mlf
