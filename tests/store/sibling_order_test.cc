#include <gtest/gtest.h>

#include <random>

#include "store/sibling_order.h"

namespace mlf {
namespace {

NTV Node(uint32_t id, const char* title, uint8_t type = ntNote) {
  NTV r;
  r.nIndex = id;
  r.strTitle = title;
  r.nType = type;
  return r;
}

std::vector<std::string> Order(const std::vector<NTV>& nodes, SortOptions options) {
  std::vector<const NTV*> records;
  for (const NTV& n : nodes) records.push_back(&n);
  auto levels = OrderSiblings(records, options);
  std::vector<std::string> titles;
  for (const NTV* r : levels[0]) titles.push_back(r->strTitle);
  return titles;
}

constexpr SortOptions kAToZ{0, 0}, kNumeric{2, 0}, kZToA{1, 0}, kZToANumeric{3, 0}, kMixed{0, 2};

TEST(SiblingOrderTest, Cases) {
  struct Case {
    const char* name;
    std::vector<NTV> nodes;
    SortOptions options;
    std::vector<std::string> expected;
  } cases[] = {
      {"numbers on", {Node(1, "10 Apples"), Node(2, "9 Pears")}, kNumeric, {"9 Pears", "10 Apples"}},
      {"numbers off", {Node(1, "9 Pears"), Node(2, "10 Apples")}, kAToZ, {"10 Apples", "9 Pears"}},
      {"leading zero is a title", {Node(1, "1 Start"), Node(2, "0 Intro")}, kNumeric, {"0 Intro", "1 Start"}},
      {"equal numbers by title", {Node(1, "3b"), Node(2, "3a")}, kNumeric, {"3a", "3b"}},
      {"negative numbers", {Node(1, "2 y"), Node(2, "-3 x")}, kNumeric, {"-3 x", "2 y"}},
      {"Z to A keeps numbers ascending", {Node(1, "2 x"), Node(2, "1 x")}, kZToANumeric, {"1 x", "2 x"}},
      {"Z to A titles", {Node(1, "a"), Node(2, "b")}, kZToA, {"b", "a"}},
      {"case is ignored, ids break ties", {Node(1, "apple"), Node(2, "Apple")}, kAToZ, {"apple", "Apple"}},
      {"folders first, Z to A among them",
       {Node(1, "a note"), Node(2, "A", ntFolder), Node(3, "B", ntFolder)}, kZToA, {"B", "A", "a note"}},
      {"folders last", {Node(1, "Z", ntFolder), Node(2, "a")}, SortOptions{0, 1}, {"a", "Z"}},
      {"no separation", {Node(1, "b", ntFolder), Node(2, "a"), Node(3, "c")}, kMixed, {"a", "b", "c"}},
      {"accented capitals fold", {Node(1, "\xe9t\xe9"), Node(2, "\xc9T\xc9 2")}, kAToZ, {"\xe9t\xe9", "\xc9T\xc9 2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Order(c.nodes, c.options), c.expected) << c.name;
}

TEST(SiblingOrderTest, LeadingNumberReadsLikeAtoi) {
  EXPECT_EQ(LeadingNumber("  +42abc"), 42);
  EXPECT_EQ(LeadingNumber("-7"), -7);
  EXPECT_EQ(LeadingNumber("x1"), 0);
  EXPECT_EQ(LeadingNumber("99999999999"), INT32_MAX);
  EXPECT_EQ(LeadingNumber("-99999999999"), INT32_MIN);
}

// The fast build must give exactly the order of the plain insertion walk, also where the
// comparison is not transitive.
TEST(SiblingOrderTest, FastBuildEqualsTheInsertionWalk) {
  const char* titles[] = {"9 x", " 10 x", "!", "apple", "Apple", "10", "b", "2 z", "-3", "0a", "Z", "3a", "3b"};
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    std::vector<NTV> nodes;
    for (uint32_t id = 1; id <= 12; ++id)
      nodes.push_back(Node(id, titles[random() % std::size(titles)], random() % 4 == 0 ? ntFolder : ntNote));
    for (SortOptions options : {kAToZ, kNumeric, kZToANumeric, SortOptions{2, 2}, SortOptions{3, 1}}) {
      std::vector<const NTV*> walked;
      for (const NTV& n : nodes) walked.insert(walked.begin() + InsertPosition(walked, n, options), &n);
      std::vector<std::string> expected;
      for (const NTV* r : walked) expected.push_back(r->strTitle + "#" + std::to_string(r->nIndex));
      std::vector<const NTV*> records;
      for (const NTV& n : nodes) records.push_back(&n);
      auto levels = OrderSiblings(records, options);
      std::vector<std::string> fast;
      for (const NTV* r : levels[0]) fast.push_back(r->strTitle + "#" + std::to_string(r->nIndex));
      ASSERT_EQ(fast, expected) << "round " << round << " flags " << options.sortFlags;
    }
  }
}

}  // namespace
}  // namespace mlf
