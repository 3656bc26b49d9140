// The note model through the editor's QTextDocument and back.
#include <gtest/gtest.h>

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../rtf/model_dump.h"
#include "gui_fixture.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"
#include "views/rich_text_export.h"
#include "views/rich_text_formats.h"
#include "views/rich_text_import.h"
#include "views/shown_text.h"

namespace mlf::test {
namespace {

namespace fs = std::filesystem;
using rtf::Alignment;
using rtf::CharFormat;
using rtf::Document;
using rtf::Paragraph;
using rtf::ParagraphFormat;
using TextRun = rtf::Run;

rtf::Document RoundTrip(const rtf::Document& model) {
  QTextDocument document;
  ImportRichText(model, document);
  return ExportRichText(document, model);
}

Paragraph Text(const std::string& text, CharFormat format = {}, ParagraphFormat paragraph = {}) {
  Paragraph p;
  p.format = std::move(paragraph);
  p.markFormat = format;
  p.content.push_back(TextRun{text, std::move(format)});
  return p;
}

Document Doc(std::vector<rtf::Block> blocks) {
  Document document;
  document.fonts = {{0, "Arial", "swiss", 0, 0, -1, ""}, {1, "Courier New", "modern", 0, 0, 1, ""}};
  document.colors = {std::nullopt, 0xFF0000};
  document.header = "{\\*\\generator Test;}";
  document.blocks = std::move(blocks);
  return document;
}

template <class Change>
CharFormat Char(Change change) {
  CharFormat format;
  change(format);
  return format;
}
template <class Change>
ParagraphFormat Para(Change change) {
  ParagraphFormat format;
  change(format);
  return format;
}

rtf::TableCell Cell(int rightEdge, std::vector<Paragraph> paragraphs) { return {rightEdge, std::move(paragraphs)}; }

TEST(RichTextMappingTest, EachFormatMapsBackExactly) {
  rtf::Image png;
  png.type = rtf::PictureType::kPng;
  png.data = PngBytes(8, 4);
  png.width = 8;
  png.height = 4;
  png.goalWidth = 120;
  png.goalHeight = 60;
  png.format.bold = true;
  rtf::Image emf;
  emf.type = rtf::PictureType::kEmf;
  emf.data = std::string("\x01\x00\x00\x00 not a picture Qt reads", 26);
  emf.width = 2540;
  emf.height = 1270;
  emf.extra = "\\bliptag5";
  rtf::Fragment object{"{\\object\\objemb{\\*\\objdata 0102}{\\result {\\pict\\wmetafile8 00}}}", "", {}};
  rtf::Fragment field{"{\\field{\\*\\fldinst DATE}{\\fldrslt 1 May}}", "1 May", Char([](CharFormat& f) { f.italic = true; })};

  auto withContent = [](std::vector<rtf::Inline> content) {
    Paragraph p;
    p.content = std::move(content);
    return p;
  };
  rtf::Table uneven;
  uneven.rows = {{0, 108, {Cell(1440, {Text("a")}), Cell(2880, {Text("b")}), Cell(4320, {Text("c")})}},
                 {-108, 60, {Cell(2000, {Text("d"), Text("e")}), Cell(4320, {})}}};

  const struct {
    const char* name;
    Document model;
  } cases[] = {
      {"plain", Doc({Text("plain")})},
      {"font", Doc({Text("face", Char([](CharFormat& f) { f.font = "Courier New"; }))})},
      {"size in half points", Doc({Text("size", Char([](CharFormat& f) { f.halfPoints = 23; }))})},
      {"bold", Doc({Text("b", Char([](CharFormat& f) { f.bold = true; }))})},
      {"italic", Doc({Text("i", Char([](CharFormat& f) { f.italic = true; }))})},
      {"strike", Doc({Text("s", Char([](CharFormat& f) { f.strike = true; }))})},
      {"hidden", Doc({Text("h", Char([](CharFormat& f) { f.hidden = true; }))})},
      {"superscript", Doc({Text("sup", Char([](CharFormat& f) { f.vertical = rtf::VerticalAlign::kSuperscript; }))})},
      {"subscript", Doc({Text("sub", Char([](CharFormat& f) { f.vertical = rtf::VerticalAlign::kSubscript; }))})},
      {"colour", Doc({Text("red", Char([](CharFormat& f) { f.color = 0xFF0000; }))})},
      {"black is not automatic", Doc({Text("black", Char([](CharFormat& f) { f.color = 0x000000; }))})},
      {"highlight", Doc({Text("marked", Char([](CharFormat& f) { f.background = 0xFFFF00; }))})},
      {"link", Doc({Text("site", Char([](CharFormat& f) { f.link = "https://example.org/"; }))})},
      {"unknown words", Doc({Text("x", Char([](CharFormat& f) { f.extra = "\\lang1031\\caps"; }))})},
      {"underline single", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kSingle; }))})},
      {"underline double", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kDouble; }))})},
      {"underline dotted", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kDotted; }))})},
      {"underline dash", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kDash; }))})},
      {"underline wave", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kWave; }))})},
      {"underline thick", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kThick; }))})},
      {"underline words", Doc({Text("u", Char([](CharFormat& f) { f.underline = rtf::Underline::kWord; }))})},
      {"formats side by side", Doc({withContent({TextRun{"a", {}}, TextRun{"b", Char([](CharFormat& f) { f.bold = true; })}, TextRun{"c", {}}})})},
      {"tab and line break", Doc({Text("a\tb\u2028c")})},
      {"alignments", Doc({Text("l"), Text("c", {}, Para([](ParagraphFormat& p) { p.alignment = Alignment::kCenter; })),
                          Text("r", {}, Para([](ParagraphFormat& p) { p.alignment = Alignment::kRight; })),
                          Text("j", {}, Para([](ParagraphFormat& p) { p.alignment = Alignment::kJustify; }))})},
      {"indents not whole pixels", Doc({Text("x", {}, Para([](ParagraphFormat& p) {
                                      p.leftIndent = 727;
                                      p.rightIndent = 13;
                                      p.firstLineIndent = -361;
                                    }))})},
      {"space before and after", Doc({Text("x", {}, Para([](ParagraphFormat& p) {
                                    p.spaceBefore = 119;
                                    p.spaceAfter = 241;
                                  }))})},
      {"line spacing at least", Doc({Text("x", {}, Para([](ParagraphFormat& p) { p.lineSpacing = 301; }))})},
      {"line spacing exactly", Doc({Text("x", {}, Para([](ParagraphFormat& p) { p.lineSpacing = -299; }))})},
      {"line spacing multiple", Doc({Text("x", {}, Para([](ParagraphFormat& p) {
                                   p.lineSpacing = 361;
                                   p.lineSpacingMultiple = true;
                                 }))})},
      {"page break before", Doc({Text("a"), Text("b", {}, Para([](ParagraphFormat& p) { p.pageBreakBefore = true; }))})},
      {"tab stops", Doc({Text("x", {}, Para([](ParagraphFormat& p) {
                       p.tabs = {{725, rtf::TabStop::Kind::kLeft, rtf::TabStop::Leader::kDots},
                                 {2880, rtf::TabStop::Kind::kRight, rtf::TabStop::Leader::kNone},
                                 {4000, rtf::TabStop::Kind::kCenter, rtf::TabStop::Leader::kHyphens},
                                 {5000, rtf::TabStop::Kind::kDecimal, rtf::TabStop::Leader::kUnderline}};
                     }))})},
      {"paragraph words", Doc({Text("x", {}, Para([](ParagraphFormat& p) { p.extra = "\\s2\\keepn"; }))})},
      {"bullets", Doc({Text("one", {}, Para([](ParagraphFormat& p) {
                         p.list = {rtf::ListFormat::Style::kBullet, 0, 1};
                         p.leftIndent = 720;
                         p.firstLineIndent = -360;
                       })),
                       Text("two", {}, Para([](ParagraphFormat& p) {
                         p.list = {rtf::ListFormat::Style::kBullet, 0, 1};
                         p.leftIndent = 720;
                         p.firstLineIndent = -360;
                       }))})},
      {"numbering, levels and starts", Doc({Text("a", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kDecimal, 0, 3}; })),
                                            Text("b", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kLowerRoman, 1, 1}; })),
                                            Text("c", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kUpperAlpha, 2, 1}; })),
                                            Text("d"),
                                            Text("e", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kDecimal, 0, 3}; }))})},
      {"text around numbers", Doc({Text("a", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kLowerAlpha, 1, 4, "2.", ")"}; })),
                                   Text("b", {}, Para([](ParagraphFormat& p) { p.list = {rtf::ListFormat::Style::kDecimal, 0, 1, "", ""}; }))})},
      {"empty paragraphs", Doc({Text("a"), Paragraph{}, Paragraph{}, Text("b")})},
      {"mark format of an empty line", Doc({Paragraph{{}, Char([](CharFormat& f) { f.halfPoints = 48; }), {}}})},
      {"png picture", Doc({withContent({TextRun{"see ", {}}, png, TextRun{" here", {}}})})},
      {"picture Qt cannot show", Doc({withContent({emf})})},
      {"pictures in a row", Doc({withContent({png, png})})},
      {"embedded object and field", Doc({withContent({TextRun{"a", {}}, object, field, object, TextRun{"b", {}}})})},
      {"table with uneven rows", Doc({Text("before"), uneven, Text("after")})},
      {"table first and last", Doc({uneven})},
      {"tables side by side", Doc({uneven, uneven})},
      {"nothing", Doc({})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Document back = RoundTrip(c.model);
    EXPECT_EQ(back, c.model) << rtf::DumpDocument(back) << "\nwanted\n" << rtf::DumpDocument(c.model);
  }
}

TEST(RichTextMappingTest, WhatQtShows) {
  rtf::Image emf;
  emf.type = rtf::PictureType::kEmf;
  emf.data = "metafile";
  emf.goalWidth = 1440;
  emf.goalHeight = 720;
  Paragraph picture;
  picture.content = {emf};
  Document model = Doc({Text("red", Char([](CharFormat& f) {
                          f.color = 0xFF0000;
                          f.halfPoints = 21;
                          f.font = "Courier New";
                        }),
                             Para([](ParagraphFormat& p) {
                               p.leftIndent = 1440;
                               p.firstLineIndent = -720;
                             })),
                        Text("auto"), picture});
  QTextDocument document;
  ImportRichText(model, document);
  QTextBlock first = document.begin();
  QTextCharFormat red = first.begin().fragment().charFormat();
  EXPECT_EQ(red.foreground().color(), QColor(255, 0, 0));
  EXPECT_DOUBLE_EQ(red.fontPointSize(), 10.5);
  EXPECT_EQ(red.fontFamilies().toStringList(), QStringList{QStringLiteral("Courier New")});
  EXPECT_DOUBLE_EQ(first.blockFormat().leftMargin(), 96);
  EXPECT_DOUBLE_EQ(first.blockFormat().textIndent(), -48);
  QTextCharFormat automatic = first.next().begin().fragment().charFormat();
  EXPECT_FALSE(automatic.hasProperty(QTextFormat::ForegroundBrush)) << "no colour is the automatic colour";
  EXPECT_EQ(document.defaultFont().family(), QStringLiteral("Arial"));
  QTextImageFormat shown = first.next().next().begin().fragment().charFormat().toImageFormat();
  EXPECT_DOUBLE_EQ(shown.width(), 96);
  EXPECT_DOUBLE_EQ(shown.height(), 48);
  EXPECT_FALSE(document.resource(QTextDocument::ImageResource, QUrl(shown.name())).value<QImage>().isNull())
      << "a framed stand-in for the metafile";
}

TEST(RichTextMappingTest, EditsReachTheModelAndKeepTheRest) {
  Document model = Doc({Text("keep words", Char([](CharFormat& f) {
                          f.extra = "\\lang1031";
                          f.underline = rtf::Underline::kDouble;
                        }),
                             Para([](ParagraphFormat& p) {
                               p.leftIndent = 727;
                               p.tabs = {{725, rtf::TabStop::Kind::kLeft, rtf::TabStop::Leader::kDots}};
                             }))});
  QTextDocument document;
  ImportRichText(model, document);
  QTextCursor cursor(&document);
  cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  cursor.mergeCharFormat(bold);
  QTextBlockFormat right;
  right.setRightMargin(20);
  cursor.mergeBlockFormat(right);

  Document back = ExportRichText(document, model);
  const auto& paragraph = std::get<Paragraph>(back.blocks.at(0));
  ASSERT_EQ(paragraph.content.size(), 2u);
  const auto& first = std::get<TextRun>(paragraph.content[0]);
  const auto& second = std::get<TextRun>(paragraph.content[1]);
  EXPECT_EQ(first.text, "keep ");
  EXPECT_TRUE(first.format.bold);
  EXPECT_EQ(second.text, "words");
  EXPECT_FALSE(second.format.bold);
  for (const TextRun* run : {&first, &second}) {
    EXPECT_EQ(run->format.extra, "\\lang1031");
    EXPECT_EQ(run->format.underline, rtf::Underline::kDouble);
  }
  EXPECT_EQ(paragraph.format.rightIndent, 300);
  EXPECT_EQ(paragraph.format.leftIndent, 727) << "the untouched indent keeps its twips";
  EXPECT_EQ(paragraph.format.tabs, std::get<Paragraph>(model.blocks[0]).format.tabs) << "the leader Qt has no place for";
}

fs::path Corpus() {
  const char* data = std::getenv("MLF_TEST_DATA");
  return fs::path(data ? data : "tests/data") / "rtf" / "corpus";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The whole corpus through the editor: the same model comes back, the written RTF reads back to
// the original's text, and so does the editor's own text.
TEST(RichTextMappingTest, CorpusComesBackThroughTheEditor) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(Corpus()))
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  ASSERT_GT(files.size(), 50u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    Document model = rtf::ReadRtf(ReadFile(file));
    QTextDocument document;
    ImportRichText(model, document);
    Document back = ExportRichText(document, model);
    std::string written = rtf::WriteRtf(back);
    EXPECT_EQ(rtf::RtfToPlainText(written), rtf::PlainText(model));
    EXPECT_EQ(ShownText(document), ShownText(rtf::ReadRtf(written)));
    EXPECT_TRUE(back == model) << rtf::DumpDocument(back);
  }
}

}  // namespace
}  // namespace mlf::test
