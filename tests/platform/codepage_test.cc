#include <gtest/gtest.h>

#include <thread>

#include "platform/codepage.h"
#include "platform/path.h"

namespace mlf {
namespace {

TEST(CodePageTest, DecodesSingleAndDoubleByteCodePages) {
  struct Case {
    unsigned codePage;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {1252, "caf\xe9 \x80 \x93q\x94", "caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d"},
      {1252, "\x81", "\xc2\x81"},                        // undefined in 1252: the C1 control
      {936, "\xd6\xd0\xce\xc4", "\xe4\xb8\xad\xe6\x96\x87"},  // GBK
      {1251, "\xcf\xf0\xe8", "\xd0\x9f\xd1\x80\xd0\xb8"},
      {932, "\x93\xfa", "\xe6\x97\xa5"},                 // Shift-JIS
      {936, "\xd6", "\xef\xbf\xbd"},                     // a lead byte cut off
      {1258, "caf\xe9", "caf\xc3\xa9"},                  // the decoder holds the last letter back
  };
  for (const Case& c : cases) EXPECT_EQ(CodePageToUtf8(c.codePage, c.bytes), c.utf8) << c.codePage;
}

// The converters a thread opened close when it ends; a sanitizer build with leak detection
// reports them otherwise.
TEST(CodePageTest, WorkerThreadConvertsAndLeavesNothingOpen) {
  std::thread worker([] {
    EXPECT_EQ(CodePageToUtf8(936, "\xd6\xd0"), "\xe4\xb8\xad");
    std::string out;
    EXPECT_TRUE(Utf8ToCodePage(932, "\xe6\x97\xa5", out));
    EXPECT_EQ(out, "\x93\xfa");
  });
  worker.join();
}

TEST(CodePageTest, EncodesOnlyWhatFits) {
  std::string out;
  EXPECT_TRUE(Utf8ToCodePage(1252, "caf\xc3\xa9 \xe2\x82\xac", out));
  EXPECT_EQ(out, "caf\xe9 \x80");
  EXPECT_FALSE(Utf8ToCodePage(1252, "\xe4\xb8\xad", out));
  EXPECT_TRUE(Utf8ToCodePage(936, "\xe4\xb8\xad", out));
  EXPECT_EQ(out, "\xd6\xd0");
}

TEST(CodePageTest, StoredTextRule) {
  EXPECT_EQ(StoredTextToUtf8("caf\xc3\xa9"), "caf\xc3\xa9");    // valid UTF-8 stays
  EXPECT_EQ(StoredTextToUtf8("caf\xe9"), "caf\xc3\xa9");        // else 1252
  EXPECT_EQ(Utf8ToStoredText("caf\xc3\xa9"), "caf\xe9");        // fits 1252
  EXPECT_EQ(Utf8ToStoredText("\xe4\xb8\xad"), "\xe4\xb8\xad");  // does not: UTF-8
  EXPECT_FALSE(IsValidUtf8("\xc3"));
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));      // overlong
}

TEST(PathTest, Parts) {
  EXPECT_EQ(DirName("/a/b/c.mlf"), "/a/b");
  EXPECT_EQ(DirName("c.mlf"), ".");
  EXPECT_EQ(BaseName("/a/b/c.mlf"), "c.mlf");
  EXPECT_EQ(Extension("/a.b/c"), "");
  EXPECT_EQ(Extension("photo.JPG"), "JPG");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
}

}  // namespace
}  // namespace mlf
