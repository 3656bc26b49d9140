#include "rtf/reader.h"

#include <gtest/gtest.h>

#include <string>

#include "model_dump.h"
#include "rtf/plain_text.h"
#include "rtf/writer.h"

namespace mlf::rtf {
namespace {

const char kFonts[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset134 SimSun;}{\\f2\\froman\\fcharset2 Symbol;}"
    "{\\f3\\fnil\\fcharset0\\cpg1251 Cyr;}{\\f4\\fnil\\fcharset204 Cyr2;}"
    "{\\f5\\fnil\\fcharset2 Wingdings;}}";

std::string TextOf(const std::string& body) { return RtfToPlainText(kFonts + body + "}"); }

const Paragraph& FirstParagraph(const Document& doc) {
  static const Paragraph kNone;
  for (const Block& block : doc.blocks)
    if (const Paragraph* p = std::get_if<Paragraph>(&block)) return *p;
  return kNone;
}

TEST(RtfReaderTest, DecodesText) {
  struct Case {
    const char* name;
    std::string body, text;
  } cases[] = {
      {"1252 bytes", "caf\\'e9 \\'80", "caf\xc3\xa9 \xe2\x82\xac"},
      {"GBK pairs under an ANSI header", "\\f1\\'d6\\'d0\\'ce\\'c4", "\xe4\xb8\xad\xe6\x96\x87"},
      {"GBK pair split by a literal trail byte", "\\f1\\'b2\\'e2\\'ca\\'d4x", "\xe6\xb5\x8b\xe8\xaf\x95x"},
      {"\\cpg before \\fcharset", "\\f3\\'cf\\'f0", "\xd0\x9f\xd1\x80"},
      {"\\fcharset204", "\\f4\\'cf", "\xd0\x9f"},
      {"Symbol letters and bytes", "\\f2 ab\\'b7\\'a5", "\xce\xb1\xce\xb2\xe2\x80\xa2\xe2\x88\x9e"},
      {"Symbol through \\u in the private area", "\\f2\\u-3913?", "\xe2\x80\xa2"},
      {"other symbol fonts keep private code points", "\\f5\\'4a", "\xef\x81\x8a"},
      {"\\u with negative N", "\\u-3937?", "\xef\x82\x9f"},
      {"\\u surrogate pair", "\\u-10179?\\u-8704?", "\xf0\x9f\x98\x80"},
      {"lone low surrogate dropped", "a\\u-8704?b", "ab"},
      {"\\uc2 skips two fallback bytes", "\\uc2\\u8364\\'80\\'80x", "\xe2\x82\xac" "x"},
      {"\\uc0 skips nothing", "\\uc0\\u8364 x", "\xe2\x82\xac" "x"},
      {"skip counts a control word as one", "\\u8364\\'80\\u8364\\emdash x", "\xe2\x82\xac\xe2\x82\xac" "x"},
      {"skip ends at a closing brace", "{\\uc3\\u8364}abc", "\xe2\x82\xac" "abc"},
      {"\\uc is scoped to its group", "{\\uc3 a}\\u8364?b", "a\xe2\x82\xac" "b"},
      {"\\bin with a count hides its bytes", "a\\bin3 {}\\b", "ab"},
      {"\\bin without a count", "a\\bin b", "ab"},
      {"backslash before CR or LF is \\par", "a\\\nb\\\rc", "a\nb\nc"},
      {"control symbols", "a\\~b\\-c\\_d\\\\\\{\\}", "a\xc2\xa0" "b\xc2\xad" "c\xe2\x80\x91" "d\\{}"},
      {"named characters", "\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet",
       "\xe2\x80\x94\xe2\x80\x93\xe2\x80\x98\xe2\x80\x99\xe2\x80\x9c\xe2\x80\x9d\xe2\x80\xa2"},
      {"tabs and line breaks", "a\\tab b\tc\\line d", "a\tb\tc\nd"},
      {"unknown ignorable group skipped whole", "a{\\*\\unknown b{c}\\par}d", "ad"},
      {"unknown plain word ignored", "a\\zzz b", "ab"},
      {"hidden text left out", "a{\\v hidden}b", "ab"},
      {"old numbering text left out", "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt}item", "item"},
      {"new numbering text left out", "{\\listtext 1.\\tab}item", "item"},
      {"a link shows its result", "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}}", "here"},
      {"a field shows its result", "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}!", "7!"},
      {"footnotes and headers left out", "a{\\footnote note}{\\header head}b", "ab"},
      {"an object left out", "a{\\object\\objemb{\\*\\objdata 0102}{\\result text}}b", "ab"},
      {"final paragraph mark", "a\\par", "a"},
      {"empty paragraphs", "a\\par\\par b\\par", "a\n\nb"},
      {"page break ends a paragraph", "a\\page b", "a\nb"},
      {"table cells", "\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row\\pard c\\par", "a\nb\nc"},
      {"a nested table's cells become paragraphs",
       "\\trowd\\cellx900\\intbl a\\par\\itap2 b\\nestcell c\\nestcell{\\*\\nesttableprops\\trowd\\cellx1\\nestrow}"
       "\\cell\\row", "a\nb\nc\n"},
      {"a destination that does not open its group is no destination", "{x\\footnote y}", "xy"},
      {"a stray \\* is ignored", "{x\\*{\\b a}b}", "xab"},
      {"a control character from \\' is no text", "a\\'01\\'09b", "a\tb"},
      {"a placeholder field shows its prompt", "{\\field{\\*\\fldinst MACROBUTTON NoMacro Click here}}",
       "Click here"},
      {"a field keeps the \\uc it was read in", "{\\uc0{\\field{\\*\\fldinst X}{\\fldrslt \\u8364 a}}}", "\xe2\x82\xac" "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(TextOf(c.body), c.text) << c.name;
}

// RTF as other programs write it: whole documents and the plain text a reader sees.
TEST(RtfReaderTest, ReadsRtfFromOtherPrograms) {
  const std::string list = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat10{\\leveltext\\'02\\'00.;}}"
                           "{\\listlevel\\levelnfc4{\\leveltext\\'03(\\'01);}}\\listid1}"
                           "{\\list{\\listlevel\\levelnfc1{\\leveltext\\'02\\'00.;}}"
                           "{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\'01.;}}\\listid2}"
                           "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid3}}"
                           "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}"
                           "{\\listoverride\\listid3\\ls3}{\\listoverride\\listid1\\ls4}"
                           "{\\listoverride\\listid1\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls5}}";
  struct Case {
    const char* name;
    std::string rtf, text;
  } cases[] = {
      {"font table in an \\upr pair",
       "{\\rtf1\\ansi{\\upr{\\fonttbl{\\f0 Times New Roman;}{\\f1 Times;}}{\\*\\ud{\\fonttbl{\\f0 Times New Roman;}"
       "{\\f1 Times;}}}}\\f0 Hello}", "Hello"},
      {"the \\ud part of the pair is read",
       "{\\rtf1\\ansi{\\upr{\\fonttbl{\\f0\\fcharset0 A;}}{\\*\\ud{\\fonttbl{\\f0\\fcharset204 B;}}}}\\f0\\'cf}",
       "\xd0\x9f"},
      {"an \\upr without \\ud", "{\\rtf1{\\upr{\\fonttbl{\\f0 Arial;}}}\\f0 x}", "x"},
      {"stylesheet and information in \\upr pairs",
       "{\\rtf1{\\upr{\\stylesheet{\\s0 Normal;}}{\\*\\ud{\\stylesheet{\\s0 Normal;}}}}"
       "{\\upr{\\info{\\title T}}{\\*\\ud{\\info{\\title T}}}}x}", "x"},
      {"a colour table in another group", "{\\rtf1{{\\colortbl;\\red255\\green0\\blue0;}}x}", "x"},
      {"a font table after the text", "{\\rtf1 x{\\fonttbl{\\f0 Arial;}}y}", "xy"},
      {"a space before \\fonttbl", "{\\rtf1{ \\fonttbl {\\f0 Arial;}}x}", "x"},
      {"a line break before \\colortbl", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\n{\n\\colortbl ;\\red0\\green0\\blue0;}x}", "x"},
      {"spaces, tabs and line breaks before a destination",
       "{\\rtf1{ \t \r\n \\fonttbl{\\f0 Arial;}}{  \\*\\generator Gen;}{ \\field{\\*\\fldinst HYPERLINK \"u\"}"
       "{\\fldrslt here}}}", "here"},
      {"a space before other words is text", "{\\rtf1 a{ \\b b}}", "a b"},
      {"nested table: every word once",
       "{\\rtf1\\trowd\\cellx4000\\cellx8000\\pard\\intbl\\itap1 {one two\\par}"
       "\\pard\\intbl\\itap2 {three four\\nestcell}{five six\\nestcell}"
       "\\pard\\intbl\\itap2 {\\*\\nesttableprops\\trowd\\cellx2000\\cellx4000\\nestrow}{\\nonesttables three four five six\\par}"
       "\\pard\\intbl\\itap2 {seven\\nestcell}{eight nine\\nestcell}"
       "\\pard\\intbl\\itap2 {\\*\\nesttableprops\\trowd\\cellx2000\\cellx4000\\nestrow}{\\nonesttables seven eight nine\\par}"
       "\\pard\\intbl\\itap1 {ten\\cell}{eleven twelve thirteen\\cell}"
       "\\pard\\intbl\\itap1 {\\trowd\\cellx4000\\cellx8000\\row}\\pard fourteen fifteen\\par}",
       "one two\nthree four\nfive six\nseven\neight nine\nten\neleven twelve thirteen\nfourteen fifteen"},
      {"numbers from the list table, without \\listtext",
       "{\\rtf1" + list + "\\pard\\ls1 Trade and other receivables\\par\\ls1 Cash\\par}",
       "10. Trade and other receivables\n11. Cash"},
      {"numbering goes on after other paragraphs",
       "{\\rtf1" + list + "\\pard\\ls1 a\\par\\pard Heading\\par\\pard\\ls1 b\\par}", "10. a\nHeading\n11. b"},
      {"letters in the level text, restarted under each item",
       "{\\rtf1" + list + "\\pard\\ls1 a\\par\\ls1\\ilvl1 x\\par y\\par\\pard\\ls1 b\\par\\ls1\\ilvl1 z\\par}",
       "10. a\n(a) x\n(b) y\n11. b\n(a) z"},
      {"roman numbers, and the number of the level above in its own style",
       "{\\rtf1" + list + "\\pard\\ls2 a\\par\\ls2\\ilvl1 x\\par y\\par\\pard\\ls2 b\\par\\ls2\\ilvl1 z\\par}",
       "I. a\nI.1. x\nI.2. y\nII. b\nII.1. z"},
      {"bullets from the list table", "{\\rtf1" + list + "\\pard\\ls3 x\\par}", "\xe2\x80\xa2 x"},
      {"another \\ls of the list counts anew, an override sets its start",
       "{\\rtf1" + list + "\\pard\\ls1 a\\par\\pard x\\par\\ls4 b\\par\\ls5 c\\par d\\par\\ls1 e\\par}",
       "10. a\nx\n10. b\n5. c\n6. d\n11. e"},
      {"numbering goes on through a table and after it",
       "{\\rtf1" + list + "\\pard\\ls1 a\\par\\trowd\\cellx100\\pard\\intbl\\ls1 b\\cell\\row\\pard\\ls1 c\\par\\ls1 d\\par}",
       "10. a\n11. b\n12. c\n13. d"},
      {"\\listtext is not read twice", "{\\rtf1" + list + "\\pard{\\listtext 10.\\tab}\\ls1 x\\par}", "10. x"},
      {"old-style numbers",
       "{\\rtf1\\pard{\\pntext 3.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart3{\\pntxta .}}x\\par"
       "{\\pntext 4.\\tab}y\\par\\pard z\\par}", "3. x\n4. y\nz"},
      {"old-style letters in brackets",
       "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart1{\\pntxtb (}{\\pntxta )}}x\\par y\\par}", "(a) x\n(b) y"},
      {"old-style bullets", "{\\rtf1\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}x\\par}", "\xe2\x80\xa2 x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RtfToPlainText(c.rtf), c.text) << c.name;
    EXPECT_EQ(PlainText(ReadRtf(c.rtf)), c.text) << c.name;
  }
}

// Which code page a font's bytes are read in: \cpg, then \fcharset (0 is 1252 whatever the
// document says), then the document's \ansicpg for a font without a charset.
TEST(RtfReaderTest, ReadsBytesInTheFontsCodePage) {
  struct Case {
    const char* font;
    int documentCodePage;
    std::string text;
  } cases[] = {
      {"", 1251, "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"", 1252, "\xc3\x8f\xc3\xb0\xc3\xa8"},
      {"\\fcharset0", 1251, "\xc3\x8f\xc3\xb0\xc3\xa8"},
      {"\\fcharset0", 1252, "\xc3\x8f\xc3\xb0\xc3\xa8"},
      {"\\fcharset204", 1251, "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"\\fcharset204", 1252, "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"\\fcharset0\\cpg1251", 1251, "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"\\fcharset0\\cpg1251", 1252, "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"\\fcharset1", 1251, "\xd0\x9f\xd1\x80\xd0\xb8"},
  };
  for (const Case& c : cases) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg" + std::to_string(c.documentCodePage) + " {\\fonttbl{\\f0" + c.font +
                      " Times New Roman;}} \\f0 \\'cf\\'f0\\'e8}";
    EXPECT_EQ(RtfToPlainText(rtf), c.text) << c.font << " under " << c.documentCodePage;
    Document doc = ReadRtf(rtf);
    EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc) << c.font << " under " << c.documentCodePage;
  }
}

TEST(RtfReaderTest, ToleratesDamagedInput) {
  struct Case {
    const char* name;
    std::string rtf, text;
  } cases[] = {
      {"missing closing braces", "{\\rtf1 a{\\b b", "ab"},
      {"junk after the last brace", "{\\rtf1 a}junk{\\b more}", "a"},
      {"stray closing brace before the document", "}{\\rtf1 a}", "a"},
      {"not RTF at all", "plain words", "plain words"},
      {"empty", "", ""},
      {"lone backslash at the end", "{\\rtf1 a\\", "a"},
      {"bad hex", "{\\rtf1 a\\'zzb}", "azzb"},
      {"\\bin count beyond the end", "{\\rtf1 a\\bin999999 xyz", "a"},
      {"huge parameter", "{\\rtf1\\uc99999999999\\u65 xyz}", "A"},
  };
  for (const Case& c : cases) EXPECT_EQ(RtfToPlainText(c.rtf), c.text) << c.name;
}

TEST(RtfReaderTest, LimitsNesting) {
  std::string deep = "{\\rtf1 a";
  for (int i = 0; i < 100000; ++i) deep += "{x";
  for (int i = 0; i < 100000; ++i) deep += "}";
  deep += "b}";
  std::string text = RtfToPlainText(deep);
  EXPECT_EQ(text.substr(0, 1), "a");
  EXPECT_EQ(text.substr(text.size() - 1), "b");
  EXPECT_LT(text.size(), 2u + kMaxGroupDepth);
}

TEST(RtfReaderTest, ReadsCharacterFormats) {
  Document doc = ReadRtf(std::string(kFonts) +
                         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                         "\\fs20 a\\b\\i\\ul\\strike\\super\\cf1\\highlight2 b\\plain c"
                         "\\uldb d\\uld e\\ulwave f\\ul0 g\\f1\\fs30\\cb1\\sub h}");
  const Paragraph& p = FirstParagraph(doc);
  ASSERT_EQ(p.content.size(), 8u) << DumpDocument(doc);
  auto format = [&](size_t i) { return std::get<rtf::Run>(p.content[i]).format; };
  EXPECT_EQ(format(0).font, "Arial");
  EXPECT_EQ(format(0).halfPoints, 20);
  CharFormat b = format(1);
  EXPECT_TRUE(b.bold && b.italic && b.strike);
  EXPECT_EQ(b.underline, Underline::kSingle);
  EXPECT_EQ(b.vertical, VerticalAlign::kSuperscript);
  EXPECT_EQ(b.color, Rgb{0xFF0000});
  EXPECT_EQ(b.background, Rgb{0x0000FF});
  EXPECT_EQ(format(2), CharFormat{.font = "Arial"});  // \plain
  EXPECT_EQ(format(3).underline, Underline::kDouble);
  EXPECT_EQ(format(4).underline, Underline::kDotted);
  EXPECT_EQ(format(5).underline, Underline::kWave);
  EXPECT_EQ(format(6).underline, Underline::kNone);
  CharFormat h = format(7);
  EXPECT_EQ(h.font, "SimSun");
  EXPECT_EQ(h.halfPoints, 30);
  EXPECT_EQ(h.background, Rgb{0xFF0000});
  EXPECT_EQ(h.vertical, VerticalAlign::kSubscript);
}

TEST(RtfReaderTest, ReadsParagraphFormats) {
  Document doc = ReadRtf(std::string(kFonts) +
                         "\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1"
                         "\\tx1000\\tqr\\tldot\\tx5000 a\\par b\\par\\pard\\qj c\\page d}");
  ASSERT_EQ(doc.blocks.size(), 4u) << DumpDocument(doc);
  const ParagraphFormat& a = std::get<Paragraph>(doc.blocks[0]).format;
  EXPECT_EQ(a.alignment, Alignment::kCenter);
  EXPECT_EQ(a.leftIndent, 720);
  EXPECT_EQ(a.rightIndent, 360);
  EXPECT_EQ(a.firstLineIndent, -360);
  EXPECT_EQ(a.spaceBefore, 120);
  EXPECT_EQ(a.spaceAfter, 240);
  EXPECT_EQ(a.lineSpacing, 360);
  EXPECT_TRUE(a.lineSpacingMultiple);
  ASSERT_EQ(a.tabs.size(), 2u);
  EXPECT_EQ(a.tabs[1], (TabStop{5000, TabStop::Kind::kRight, TabStop::Leader::kDots}));
  EXPECT_EQ(std::get<Paragraph>(doc.blocks[1]).format, a);  // kept across \par
  EXPECT_EQ(std::get<Paragraph>(doc.blocks[2]).format.alignment, Alignment::kJustify);
  EXPECT_TRUE(std::get<Paragraph>(doc.blocks[3]).format.pageBreakBefore);
}

// Words the model has no field for are kept per name, sorted, whatever order the RTF used.
TEST(RtfReaderTest, KeepsWordsWithoutAModelField) {
  struct Case {
    const char* body;
    const char* charExtra;  // of the first run
    const char* paraExtra;
  };
  const Case cases[] = {
      {"\\lang1031\\caps a\\par}", "\\caps\\lang1031", ""},
      {"\\caps\\lang1031 a\\par}", "\\caps\\lang1031", ""},
      {"\\lang1031\\lang1036 a\\par}", "\\lang1036", ""},
      {"\\caps\\caps0 a\\par}", "", ""},
      {"\\caps\\plain a\\par}", "", ""},
      {"{\\caps}a\\par}", "", ""},
      {"\\pard\\s2\\keepn\\expndtw-4 a\\par}", "\\expndtw-4", "\\keepn\\s2"},
      {"\\keepn\\pard a\\par}", "", ""},
  };
  for (const Case& c : cases) {
    Document doc = ReadRtf(std::string(kFonts) + c.body);
    const Paragraph& p = FirstParagraph(doc);
    ASSERT_FALSE(p.content.empty()) << c.body;
    EXPECT_EQ(std::get<rtf::Run>(p.content[0]).format.extra, c.charExtra) << c.body;
    EXPECT_EQ(p.format.extra, c.paraExtra) << c.body;
  }
}

TEST(RtfReaderTest, ReadsOldAndNewNumbering) {
  Document doc = ReadRtf(
      std::string(kFonts) +
      "{\\*\\listtable{\\list{\\listlevel\\levelnfc4\\levelstartat3{\\leveltext\\'02\\'00.;}}"
      "{\\listlevel\\levelnfc23}\\listid7}}"
      "{\\*\\listoverridetable{\\listoverride\\listid7\\ls2}}"
      "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'b7}}bullet\\par"
      "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4{\\pntxtb (}{\\pntxta )}}roman\\par"
      "\\pard{\\listtext c.\\tab}\\ls2 alpha\\par"
      "\\pard\\ls2\\ilvl1 inner\\par"
      "\\pard plain\\par}");
  ASSERT_EQ(doc.blocks.size(), 5u) << DumpDocument(doc);
  auto list = [&](size_t i) { return std::get<Paragraph>(doc.blocks[i]).format.list; };
  EXPECT_EQ(list(0), (ListFormat{ListFormat::Style::kBullet, 0, 1}));
  EXPECT_EQ(list(1), (ListFormat{ListFormat::Style::kUpperRoman, 0, 4, "(", ")"}));
  EXPECT_EQ(list(2), (ListFormat{ListFormat::Style::kLowerAlpha, 0, 3}));
  EXPECT_EQ(list(3), (ListFormat{ListFormat::Style::kBullet, 1, 1}));
  EXPECT_EQ(list(4), ListFormat());
  EXPECT_NE(doc.header.find("\\listtable"), std::string::npos);
  EXPECT_NE(doc.header.find("\\listoverridetable"), std::string::npos);
}

TEST(RtfReaderTest, ReadsLinksAndKeepsOtherFields) {
  Document doc = ReadRtf(
      std::string(kFonts) +
      "{\\field{\\*\\fldinst{HYPERLINK \"http://a.example/\"}}{\\fldrslt{\\ul one}{ two}}}"
      "{\\field{\\*\\fldinst HYPERLINK \\\\l \"mark\"}{\\fldrslt three}}"
      "{\\field{\\*\\fldinst { DATE \\\\@ \"d\"}}{\\fldrslt {\\b 5}}}}");
  const Paragraph& p = FirstParagraph(doc);
  ASSERT_EQ(p.content.size(), 4u) << DumpDocument(doc);
  EXPECT_EQ(std::get<rtf::Run>(p.content[0]).format.link, "http://a.example/");
  EXPECT_EQ(std::get<rtf::Run>(p.content[0]).format.underline, Underline::kSingle);
  EXPECT_EQ(std::get<rtf::Run>(p.content[1]).format.link, "http://a.example/");
  EXPECT_EQ(std::get<rtf::Run>(p.content[2]).format.link, "#mark");
  const Fragment& date = std::get<Fragment>(p.content[3]);
  EXPECT_EQ(date.text, "5");
  EXPECT_EQ(date.rtf, "{\\field{\\*\\fldinst { DATE \\\\@ \"d\"}}{\\fldrslt {\\b 5}}}");
}

TEST(RtfReaderTest, ReadsPictures) {
  const std::string png = "89504e47";
  Document doc = ReadRtf(
      std::string(kFonts) +
      "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn a}{\\sv 1}}}\\pngblip\\picw10\\pich20"
      "\\picwgoal150\\pichgoal300\\picscalex50\\bliptag5 " + png + "}}"
      "{\\nonshppict{\\pict\\wmetafile8\\picw1\\pich1 0102}}"
      "{\\pict\\jpegblip\\bin3 \xff\xd8\xff}"
      "{\\pict\\wmetafile8\\picw5\\pich6 01 02\r\n03}}");
  const Paragraph& p = FirstParagraph(doc);
  ASSERT_EQ(p.content.size(), 3u) << DumpDocument(doc);
  const Image& shape = std::get<Image>(p.content[0]);
  EXPECT_EQ(shape.type, PictureType::kPng);
  EXPECT_EQ(shape.data, "\x89PNG");
  EXPECT_EQ(shape.width, 10);
  EXPECT_EQ(shape.goalHeight, 300);
  EXPECT_EQ(shape.scaleX, 50);
  EXPECT_EQ(shape.extra, "{\\*\\picprop{\\sp{\\sn a}{\\sv 1}}}\\bliptag5");
  EXPECT_EQ(std::get<Image>(p.content[1]).data, "\xff\xd8\xff");
  const Image& metafile = std::get<Image>(p.content[2]);
  EXPECT_EQ(metafile.type, PictureType::kWmf);
  EXPECT_EQ(metafile.typeParameter, 8);
  EXPECT_EQ(metafile.data, std::string("\x01\x02\x03"));
}

TEST(RtfReaderTest, UsesTheFallbackPictureWhenItStandsAlone) {
  Document doc = ReadRtf(std::string(kFonts) + "{\\nonshppict{\\pict\\wmetafile8 0102}}}");
  ASSERT_EQ(FirstParagraph(doc).content.size(), 1u);
  EXPECT_EQ(std::get<Image>(FirstParagraph(doc).content[0]).type, PictureType::kWmf);
}

TEST(RtfReaderTest, KeepsWhatItCannotShow) {
  const std::string object = "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result x}}";
  const std::string unknown = "{\\*\\unknownthing {nested} \\bin2 }}}";
  Document doc = ReadRtf(std::string(kFonts) + "{\\*\\generator Gen;}\\paperw12240 a" + object +
                         "b" + unknown + "c}");
  EXPECT_EQ(doc.header, "{\\*\\generator Gen;}\\paperw12240");
  const Paragraph& p = FirstParagraph(doc);
  ASSERT_EQ(p.content.size(), 5u) << DumpDocument(doc);
  EXPECT_EQ(std::get<Fragment>(p.content[1]).rtf, object);
  EXPECT_EQ(std::get<Fragment>(p.content[3]).rtf, unknown);
  EXPECT_EQ(std::get<rtf::Run>(p.content[4]).text, "c");
}

TEST(RtfReaderTest, ReadsTables) {
  Document doc = ReadRtf(std::string(kFonts) +
                         "\\trowd\\trgaph108\\trleft-108\\cellx1000\\cellx2000"
                         "\\pard\\intbl a\\cell b\\par b2\\cell\\row"
                         // pandoc puts each cell's paragraph in a group that resets \intbl
                         "{\\trowd\\cellx1500{\\intbl{\\pard c\\par}\\cell}\\intbl\\row}"
                         "\\pard after\\par}");
  ASSERT_EQ(doc.blocks.size(), 2u) << DumpDocument(doc);
  const Table& table = std::get<Table>(doc.blocks[0]);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0].leftEdge, -108);
  EXPECT_EQ(table.rows[0].cellGap, 108);
  ASSERT_EQ(table.rows[0].cells.size(), 2u);
  EXPECT_EQ(table.rows[0].cells[1].rightEdge, 2000);
  EXPECT_EQ(table.rows[0].cells[1].paragraphs.size(), 2u);
  ASSERT_EQ(table.rows[1].cells.size(), 1u) << DumpDocument(doc);
  EXPECT_EQ(table.rows[1].cells[0].rightEdge, 1500);
  EXPECT_EQ(PlainText(doc), "a\nb\nb2\nc\n\nafter");
}

// \itap gives the table depth without \intbl: a nested table's paragraphs stay in their cell.
TEST(RtfReaderTest, ReadsTableDepth) {
  Document doc = ReadRtf("{\\rtf1\\pard\\itap1 a\\par\\itap2 b\\nestcell{\\*\\nesttableprops\\trowd\\cellx1\\nestrow}"
                         "\\itap1 c\\cell{\\trowd\\cellx9\\row}\\pard\\itap0 d\\par}");
  ASSERT_EQ(doc.blocks.size(), 2u) << DumpDocument(doc);
  const Table& table = std::get<Table>(doc.blocks[0]);
  ASSERT_EQ(table.rows.size(), 1u);
  ASSERT_EQ(table.rows[0].cells.size(), 1u);
  EXPECT_EQ(table.rows[0].cells[0].paragraphs.size(), 3u);
  EXPECT_EQ(PlainText(doc), "a\nb\nc\nd");
}

TEST(RtfReaderTest, ReadsFontAndColourTables) {
  Document doc = ReadRtf(
      "{\\rtf1\\ansi\\deff3{\\fonttbl{\\f3\\froman\\fprq2\\fcharset0{\\*\\panose 0102}Times New Roman;}"
      "{\\f9\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}\\f10\\fswiss Old Style;}"
      "{\\colortbl;\\red1\\green2\\blue3;;}x}");
  ASSERT_EQ(doc.fonts.size(), 3u) << DumpDocument(doc);
  EXPECT_EQ(doc.defaultFont, 3);
  EXPECT_EQ(doc.fonts[0], (Font{3, "Times New Roman", "roman", 0, 0, 2, "{\\*\\panose 0102}"}));
  EXPECT_EQ(doc.fonts[1].name, "\xe5\xae\x8b\xe4\xbd\x93");
  EXPECT_EQ(doc.fonts[2].name, "Old Style");
  ASSERT_EQ(doc.colors.size(), 3u);
  EXPECT_EQ(doc.colors[0], std::nullopt);
  EXPECT_EQ(doc.colors[1], Rgb{0x010203});
  EXPECT_EQ(doc.colors[2], std::nullopt);
  EXPECT_EQ(std::get<rtf::Run>(FirstParagraph(doc).content[0]).format.font, "Times New Roman");
}

}  // namespace
}  // namespace mlf::rtf
