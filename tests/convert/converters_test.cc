#include <gtest/gtest.h>

#include "convert/text_conv_lib.h"
#include "platform/env.h"
#include "platform/process.h"
#include "rtf/plain_text.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries AsPairs(const std::vector<FileFilterEntry>& filter) {
  Entries pairs;
  for (const FileFilterEntry& e : filter) pairs.push_back({e.text, e.pattern});
  return pairs;
}

RegisteredConverter Key(const std::string& name, const std::string& extensions, const std::string& path = "") {
  return {name, {{"Path", path}, {"Name", name}, {"Extensions", extensions}}};
}

TEST(ConverterFilterTest, Examples) {
  struct Case {
    const char* name;
    std::vector<RegisteredConverter> keys;
    Entries expected;
  } cases[] = {
      {"no converter",
       {},
       {{"All Supported File Types", "*.rtf;*.txt"}, {"Rich Text Format (*.rtf)", "*.rtf"}, {"Plain Text (*.txt)", "*.txt"}}},
      {"Word with doc and dot",
       {Key("Word", "doc dot")},
       {{"All Supported File Types", "*.rtf;*.txt;*.doc;*.dot"},
        {"Rich Text Format (*.rtf)", "*.rtf"},
        {"Plain Text (*.txt)", "*.txt"},
        {"Word (*.doc, *.dot)", "*.doc;*.dot"}}},
      {"two converters for one extension",
       {Key("One", "wpd"), Key("Two", "WPD")},
       {{"All Supported File Types", "*.rtf;*.txt;*.wpd"},
        {"Rich Text Format (*.rtf)", "*.rtf"},
        {"Plain Text (*.txt)", "*.txt"},
        {"One (*.wpd)", "*.wpd"},
        {"Two (*.wpd)", "*.wpd"}}},
      {"a key of other values only", {{"Odd", {{"Colour", "blue"}}}}, {{"All Supported File Types", "*.rtf;*.txt"},
                                                                        {"Rich Text Format (*.rtf)", "*.rtf"},
                                                                        {"Plain Text (*.txt)", "*.txt"}}},
  };
  for (const Case& c : cases) {
    CTextConvLib lib(Env::Default());
    lib.LoadConverters(c.keys, {}, false);
    EXPECT_EQ(AsPairs(lib.ImportFilter()), c.expected) << c.name;
  }
  CTextConvLib lib(Env::Default());
  lib.LoadConverters({}, {}, false);
  EXPECT_EQ(FilterBytes(lib.ExportFilter()), std::string("Rich Text Format (*.rtf)\0*.rtf\0Plain Text (*.txt)\0*.txt\0\0", 57));
}

class ConvertTest : public ::testing::Test {
 protected:
  std::string Convert(CTextConvLib& lib, const std::string& name, const std::string& content) {
    std::string source = dir / name, target = dir / "out.rtf";
    test::WriteWholeFile(source, content);
    test::WriteWholeFile(target, "");
    return lib.ConvertToRtf(source, target) ? test::ReadWholeFile(target) : "<failed>";
  }
  std::string Library(const char* name) { return Env::Default().ExecutableDirectory() + "/" + name; }
  test::ScratchDir dir;
};

TEST_F(ConvertTest, PlainTextByExtensionInAnyCase) {
  SetImportFont("Courier New", 11);
  CTextConvLib lib(Env::Default());
  lib.LoadConverters({}, {}, false);
  std::string rtf = Convert(lib, "report.TXT", "first line\nsecond line");
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("Courier New"), std::string::npos);
  EXPECT_NE(rtf.find("\\fs22"), std::string::npos) << "11 points";
  EXPECT_EQ(rtf.find("\\b "), std::string::npos) << "not bold";
  EXPECT_EQ(rtf::RtfToPlainText(rtf), "first line\nsecond line");
  EXPECT_EQ(Convert(lib, "notes.text", "x"), "<failed>") << "no converter lists .text";
  EXPECT_EQ(Convert(lib, "a.rtf", "{\\rtf1 as is}"), "{\\rtf1 as is}");
}

TEST_F(ConvertTest, ExportWritesPlainTextOrCopiesRtf) {
  CTextConvLib lib(Env::Default());
  lib.LoadConverters({}, {}, false);
  std::string rtf = dir / "note.rtf";
  test::WriteWholeFile(rtf, "{\\rtf1\\ansi Hello {\\b world}\\par}");
  ASSERT_TRUE(lib.ConvertFromRtf(rtf, dir / "note.txt"));
  EXPECT_EQ(test::ReadWholeFile(dir / "note.txt"), "Hello world");
  ASSERT_TRUE(lib.ConvertFromRtf(rtf, dir / "copy.RTF"));
  EXPECT_EQ(test::ReadWholeFile(dir / "copy.RTF"), test::ReadWholeFile(rtf));
  EXPECT_FALSE(lib.ConvertFromRtf(rtf, dir / "note.xyz"));
}

TEST_F(ConvertTest, ConverterLibrariesAreTriedInOrderUntilOneSucceeds) {
  CTextConvLib lib(Env::Default());
  lib.LoadConverters({Key("Refuses", "tcv", Library("libtest_converter_reject.so")),
                      Key("Accepts", "tcv", Library("libtest_converter.so"))},
                     {}, false);
  EXPECT_EQ(Convert(lib, "sample.tcv", "TCVhello"), "{\\rtf1\\ansi converted: hello\\par}");
  EXPECT_EQ(Convert(lib, "other.tcv", "not ours"), "<failed>");
  CTextConvLib missing(Env::Default());
  missing.LoadConverters({Key("Gone", "tcv", Library("libno_such_converter.so"))}, {}, false);
  EXPECT_EQ(Convert(missing, "sample.tcv", "TCVhello"), "<failed>");
}

TEST_F(ConvertTest, DocxThroughPandoc) {
  if (FindOnPath("pandoc").empty()) GTEST_SKIP() << "pandoc is not installed";
  std::string markdown = dir / "made.md", docx = dir / "made.docx";
  test::WriteWholeFile(markdown, "# Title\n\nSome **bold** text.\n");
  ASSERT_EQ(RunProcess({"pandoc", "-o", docx, markdown}, 60).exitCode, 0);
  CMarrowleafDoc doc;
  uint32_t id = doc.Data_AddDocumentFromFile(docx, 0, true);
  ASSERT_NE(id, 0u);
  CMlfNode node(&doc, id);
  EXPECT_STREQ(node.GetTitle(), "made.docx");
  CMlfNodeData* data = node.GetNodeDataForRead();
  ASSERT_NE(data, nullptr);
  std::string rtf(node.GetRawLength(), '\0');
  rtf.resize(data->Get(rtf.data(), rtf.size()));
  std::string text = rtf::RtfToPlainText(rtf);
  EXPECT_NE(text.find("Title"), std::string::npos);
  EXPECT_NE(text.find("Some bold text."), std::string::npos);
}

}  // namespace
}  // namespace mlf
