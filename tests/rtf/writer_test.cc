#include "rtf/writer.h"

#include <gtest/gtest.h>

#include "model_dump.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"

namespace mlf::rtf {
namespace {

Document OneRun(const std::string& text, CharFormat format = {.font = "Arial"}) {
  Document doc;
  doc.fonts.push_back(Font{0, "Arial", "swiss", 0, 0, -1, {}});
  Paragraph p;
  p.markFormat = format;
  p.markFormat.link.clear();
  p.content.emplace_back(rtf::Run{text, format});
  doc.blocks.emplace_back(std::move(p));
  return doc;
}

void ExpectRoundTrip(const Document& doc) {
  std::string rtf = WriteRtf(doc);
  Document again = ReadRtf(rtf);
  EXPECT_EQ(again, doc) << rtf << "\n" << DumpDocument(doc) << "----\n" << DumpDocument(again);
}

TEST(RtfWriterTest, WritesTheRichEditForm) {
  EXPECT_EQ(WriteRtf(OneRun("Hello")),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs24 Hello\\par\r\n}\r\n");
}

TEST(RtfWriterTest, EscapesText) {
  struct Case {
    std::string text, rtf;
  } cases[] = {
      {"a\\b{c}", "a\\\\b\\{c\\}"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\\'e9 \\'80"},
      {"\xe4\xb8\xad", "\\u20013?"},
      {"\xef\x82\x9f", "\\u-3937?"},
      {"\xf0\x9f\x98\x80", "\\u-10179?\\u-8704?"},
      {"a\tb\xe2\x80\xa8" "c", "a\\tab b\\line c"},
      {"bad \xff byte", "bad \\u-3? byte"},
  };
  for (const Case& c : cases) {
    std::string rtf = WriteRtf(OneRun(c.text));
    EXPECT_NE(rtf.find(c.rtf + "\\par"), std::string::npos) << rtf;
  }
}

TEST(RtfWriterTest, WritesTextInTheFontsCodePage) {
  Document doc = OneRun("\xe4\xb8\xad", {.font = "SimSun"});
  doc.fonts.push_back(Font{1, "SimSun", "nil", 134, 0, -1, {}});
  std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("\\'d6\\'d0"), std::string::npos) << rtf;
  ExpectRoundTrip(doc);
}

TEST(RtfWriterTest, RoundTripsEveryFormat) {
  CharFormat rich{.font = "Courier New", .halfPoints = 30, .bold = true, .italic = true,
                  .strike = true, .underline = Underline::kDotted,
                  .vertical = VerticalAlign::kSuperscript, .color = 0x112233,
                  .background = 0xFFFF00};
  std::vector<CharFormat> formats = {rich, {.font = "Arial", .hidden = true},
                                     {.font = "Arial", .link = "http://example.org/?a=\"b\""},
                                     {.font = "Arial", .bold = true, .link = "C:\\notes\\"},
                                     {.font = "Arial", .underline = Underline::kWave, .link = "#anchor"}};
  for (Underline u : {Underline::kSingle, Underline::kDouble, Underline::kDash, Underline::kThick,
                      Underline::kWord})
    formats.push_back({.font = "Arial", .underline = u});
  Document doc = OneRun("start");
  doc.fonts.push_back(Font{1, "Courier New", "modern", 0, 0, 1, {}});
  doc.colors = {std::nullopt, 0x112233, 0xFFFF00};
  auto& content = std::get<Paragraph>(doc.blocks[0]).content;
  for (const CharFormat& f : formats) content.emplace_back(rtf::Run{"x", f});
  Image image{.type = PictureType::kWmf, .typeParameter = 8, .data = std::string("\0\1\2", 3),
              .width = 10, .height = 20, .goalWidth = 300, .goalHeight = 400, .scaleX = 50,
              .cropLeft = 5, .extra = "\\bliptag7{\\*\\blipuid 0a}", .format = rich};
  content.emplace_back(image);
  content.emplace_back(Fragment{"{\\object{\\*\\objdata 01}}", "", rich});
  content.emplace_back(Fragment{"{\\field{\\*\\fldinst PAGE}{\\fldrslt 2}}", "2", {.font = "Arial"}});

  ParagraphFormat pf{.alignment = Alignment::kJustify, .leftIndent = 720, .rightIndent = 360,
                     .firstLineIndent = -360, .spaceBefore = 10, .spaceAfter = 20,
                     .lineSpacing = -300, .pageBreakBefore = true,
                     .tabs = {{100}, {200, TabStop::Kind::kDecimal, TabStop::Leader::kEqualSigns}}};
  for (auto style : {ListFormat::Style::kBullet, ListFormat::Style::kDecimal, ListFormat::Style::kLowerAlpha,
                     ListFormat::Style::kUpperRoman}) {
    for (int level : {0, 2}) {
      Paragraph p{.format = pf, .markFormat = rich};
      p.format.list = {style, level, 3};
      p.content.emplace_back(rtf::Run{"item", {.font = "Arial"}});
      doc.blocks.emplace_back(p);
      doc.blocks.emplace_back(p);
    }
  }
  Table table;
  for (int r = 0; r < 2; ++r) {
    TableRow row{.leftEdge = -108, .cellGap = 108};
    for (int c = 0; c < 3; ++c) {
      TableCell cell{.rightEdge = 1000 * (c + 1)};
      cell.paragraphs.push_back(Paragraph{.markFormat = {.font = "Arial"}});
      if (c == 1) cell.paragraphs.push_back(Paragraph{.format = pf, .markFormat = rich, .content = {rtf::Run{"cell", rich}}});
      row.cells.push_back(cell);
    }
    table.rows.push_back(row);
  }
  doc.blocks.emplace_back(table);
  doc.blocks.emplace_back(Paragraph{.markFormat = {.font = "Arial"}});
  doc.header = "{\\stylesheet{\\s0 Normal;}}\\paperw12240";
  ExpectRoundTrip(doc);
}

// Words without a model field survive an edit: turning one off needs \\plain and a rewrite of
// the rest of the format.
TEST(RtfWriterTest, KeepsWordsWithoutAModelField) {
  Document doc = OneRun("start");
  Paragraph& p = std::get<Paragraph>(doc.blocks[0]);
  p.format.extra = "\\keepn\\s2";
  const CharFormat formats[] = {
      {.font = "Arial", .bold = true, .color = 0xFF0000, .extra = "\\caps\\lang1031"},
      {.font = "Arial", .bold = true, .color = 0xFF0000, .extra = "\\lang1031"},
      {.font = "Arial", .extra = "\\lang1036"},
      {.font = "Arial", .halfPoints = 30},
      {.font = "Arial", .extra = "\\up6"},
  };
  for (const CharFormat& f : formats) p.content.emplace_back(rtf::Run{"x", f});
  doc.colors = {std::nullopt, 0xFF0000};
  ExpectRoundTrip(doc);
}

TEST(RtfWriterTest, KeepsFragmentsByteForByte) {
  const std::string object =
      "{\\object\\objemb{\\*\\objclass Paint.Picture}\\objw10{\\*\\objdata 0102\r\n03}{\\result{\\pict\\wmetafile8 00}}}";
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before" + object + "after\\par}";
  std::string written = WriteRtf(ReadRtf(rtf));
  EXPECT_NE(written.find(object), std::string::npos) << written;
}

// Documents whose reading depends on more than the model says: each must read back the same.
TEST(RtfWriterTest, RoundTripsContextTheModelLeavesImplicit) {
  const char* cases[] = {
      // a non-link field under \uc0, in the second of two fonts of one name
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}\\f1\\uc0 "
      "{\\field{\\*\\fldinst X}{\\fldrslt \\u8364 a\\'cf}}}",
      // the document's code page for text in no font of the table
      "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\par}",
      // a colour table whose first entry is a colour
      "{\\rtf1{\\colortbl\\red1\\green2\\blue3;;}a\\cf1 b}",
      // ASCII letters in the Symbol font
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\f1 a\\f0 l\\f1\\u108 ?}",
      // a link in the Symbol font
      "{\\rtf1{\\fonttbl{\\f1 Symbol;}}\\f1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt a}}}",
      // text before any font is named
      "{\\rtf1 x{\\fonttbl{\\f0 Arial;}}y}",
  };
  for (const char* rtf : cases) {
    Document doc = ReadRtf(rtf);
    Document again = ReadRtf(WriteRtf(doc));
    again.colors.resize(doc.colors.size());  // the writer may add the automatic colour
    EXPECT_EQ(again, doc) << rtf << "\n" << DumpDocument(doc) << "----\n" << DumpDocument(again);
  }
}

TEST(RtfWriterTest, AddsFontsAndColoursTheTablesLack) {
  Document doc = OneRun("x", {.font = "Verdana", .color = 0xFF0000, .background = 0x00FF00});
  std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 Verdana;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green255\\blue0;}"), std::string::npos) << rtf;
  Document again = ReadRtf(rtf);
  EXPECT_EQ(std::get<rtf::Run>(std::get<Paragraph>(again.blocks[0]).content[0]).format,
            std::get<rtf::Run>(std::get<Paragraph>(doc.blocks[0]).content[0]).format);
}

}  // namespace
}  // namespace mlf::rtf
