#include "platform/text_case.h"

#include <gtest/gtest.h>

namespace mlf {
namespace {

TEST(TextCaseTest, FoldsTheScriptsSearchKnowsAndLeavesTheRest) {
  struct Case {
    const char* name;
    std::string text, lower;
  } cases[] = {
      {"ASCII", "Budget TOMORROW @[`{", "budget tomorrow @[`{"},
      {"Latin-1, but not the sign or sharp s", "\xc3\x84\xc3\x96\xc3\x9c \xc3\x97 \xc3\x9f", "\xc3\xa4\xc3\xb6\xc3\xbc \xc3\x97 \xc3\x9f"},
      {"Latin Extended-A", "\xc5\x81\xc4\x8c\xc5\xb8\xc5\xbd", "\xc5\x82\xc4\x8d\xc3\xbf\xc5\xbe"},
      {"Greek", "\xce\xa3\xce\x91\xce\xa9", "\xcf\x83\xce\xb1\xcf\x89"},
      {"Cyrillic", "\xd0\x81\xd0\x94\xd0\xaf", "\xd1\x91\xd0\xb4\xd1\x8f"},
      {"other scripts stay", "\xe4\xb8\xad\xf0\x9f\x98\x80", "\xe4\xb8\xad\xf0\x9f\x98\x80"},
      {"bytes that are not UTF-8 stay", "A\xff\xc3" "B\x80\xc3", "a\xff\xc3" "b\x80\xc3"},
      {"an overlong form stays", "\xc1\x81", "\xc1\x81"},
      {"a lead byte of three before a fold", "\xe0\xc3\x84", "\xe0\xc3\xa4"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LowerUtf8(c.text), c.lower) << c.name;
    std::string inPlace = c.text;
    LowerUtf8InPlace(inPlace);
    EXPECT_EQ(inPlace, c.lower) << c.name;
  }
}

}  // namespace
}  // namespace mlf
