#include "rtf/plain_text.h"

#include <gtest/gtest.h>

#include "rtf/reader.h"

namespace mlf::rtf {
namespace {

TEST(RtfPlainTextTest, PlainTextToRtfMakesOneParagraphPerLine) {
  struct Case {
    std::string text, readBack;
    size_t paragraphs;
  } cases[] = {
      {"one", "one", 1},
      {"a\r\nb\nc\rd", "a\nb\nc\nd", 4},
      {"a\n", "a\n", 2},
      {"", "", 1},
      {"\xef\xbb\xbftab\there", "tab\there", 1},
      {"caf\xe9", "caf\xc3\xa9", 1},  // not UTF-8: the system code page
      {"\xe4\xb8\xad {\\}", "\xe4\xb8\xad {\\}", 1},
  };
  for (const Case& c : cases) {
    Document doc = ReadRtf(PlainTextToRtf(c.text, "Courier New", 11));
    EXPECT_EQ(PlainText(doc), c.readBack) << c.text;
    EXPECT_EQ(doc.blocks.size(), c.paragraphs) << c.text;
  }
}

TEST(RtfPlainTextTest, PlainTextToRtfUsesTheImportFont) {
  std::string rtf = PlainTextToRtf("x\n", "Courier New", 11);
  EXPECT_EQ(rtf,
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs22 x\\par\r\n\\par\r\n}\r\n");
  Document doc = ReadRtf(rtf);
  const Paragraph& p = std::get<Paragraph>(doc.blocks[0]);
  EXPECT_EQ(std::get<rtf::Run>(p.content[0]).format, (CharFormat{.font = "Courier New", .halfPoints = 22}));
  EXPECT_EQ(std::get<Paragraph>(doc.blocks[1]).markFormat, (CharFormat{.font = "Courier New", .halfPoints = 22}));
}

}  // namespace
}  // namespace mlf::rtf
