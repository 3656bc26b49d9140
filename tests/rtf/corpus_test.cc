// The fidelity corpus: real RTF from independent producers, each with LibreOffice's plain text
// beside it (tools/rtf-corpus/make_corpus.sh made both).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "model_dump.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

namespace mlf::rtf {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

fs::path CorpusDir() {
  const char* data = std::getenv("MLF_TEST_DATA");
  return fs::path(data ? data : "tests/data") / "rtf" / "corpus";
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(CorpusDir()))
    if (entry.path().extension() == ".rtf") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// What both texts are compared by: no byte-order mark, no list markers (LibreOffice writes
// the bullet or number of a list item as text, a rich-edit reader does not), white space
// collapsed, empty lines dropped.
std::string Normalized(std::string text) {
  if (text.rfind("\xef\xbb\xbf", 0) == 0) text.erase(0, 3);
  static const std::regex kSpace("[ \t\r\f\v]+");
  static const std::regex kMarker(
      "^(\xe2\x80\xa2|\xe2\x97\xa6|\xe2\x96\xaa|\xe2\x97\x8f|\xe2\x96\xa0|\xc2\xb7|\xe2\x80\x93|-|\\*|"
      "\\(?[0-9]+[.)]|[a-zA-Z][.)]|[ivxlcdmIVXLCDM]+[.)]|\xef\x82\xb7|\xef\x82\xa7|\xef\x83\x98)(\t| |$)");
  std::string out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    line = std::regex_replace(line, kSpace, " ");
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    line = line.substr(first, line.find_last_not_of(' ') - first + 1);
    line = std::regex_replace(line, kMarker, "");
    first = line.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    out += line.substr(first);
    out += '\n';
  }
  return out;
}

// Files whose text differs from LibreOffice's for reasons docs/rtf.md explains.
const std::set<std::string> kKnownDifferences = {
    "lo_bus-classic_f.rtf",  // LibreOffice recomputes an empty page-number field as 0
    "lo_stl-07.rtf",         // LibreOffice shows the text of a shape in a first-page header
    "re_symbol.rtf",         // LibreOffice leaves Symbol characters in the private-use area
};

TEST(RtfCorpusTest, HasEnoughFiles) { EXPECT_GE(CorpusFiles().size(), 60u); }

TEST(RtfCorpusTest, PlainTextMatchesLibreOffice) {
  size_t matching = 0;
  std::vector<fs::path> files = CorpusFiles();
  for (const fs::path& file : files) {
    fs::path reference = fs::path(file).replace_extension(".txt");
    ASSERT_TRUE(fs::exists(reference)) << reference;
    std::string rtf = ReadFile(file);
    std::string text = RtfToPlainText(rtf);
    EXPECT_EQ(text, PlainText(ReadRtf(rtf))) << file.filename();  // the faster reading agrees
    // Handed out block by block, the blocks are the ones of the whole model, numbers settled.
    std::vector<Block> streamed;
    ReadRtfText(rtf, [&](const Block& block) { streamed.push_back(block); });
    EXPECT_TRUE(streamed == ReadRtfText(rtf).blocks) << file.filename();
    std::string ours = Normalized(text);
    std::string theirs = Normalized(ReadFile(reference));
    bool same = ours == theirs;
    matching += same;
    std::string name = file.filename().string();
    if (!kKnownDifferences.count(name)) {
      EXPECT_TRUE(same) << name << "\n--- ours\n" << ours.substr(0, 3000) << "\n--- LibreOffice\n"
                        << theirs.substr(0, 3000);
    }
  }
  std::printf("plain text matches LibreOffice for %zu of %zu corpus files\n", matching, files.size());
}

TEST(RtfCorpusTest, WritingAndReadingAgainGivesTheSameDocument) {
  const char* writeDir = std::getenv("MLF_RTF_WRITE_DIR");  // for the check with LibreOffice
  for (const fs::path& file : CorpusFiles()) {
    Document doc = ReadRtf(ReadFile(file));
    std::string written = WriteRtf(doc);
    Document again = ReadRtf(written);
    EXPECT_TRUE(again == doc) << file.filename() << "\n" << DumpDocument(doc).substr(0, 4000)
                              << "\n----\n" << DumpDocument(again).substr(0, 4000);
    EXPECT_TRUE(WriteRtf(again) == written) << file.filename();
    if (writeDir) std::ofstream(fs::path(writeDir) / file.filename(), std::ios::binary) << written;
  }
}

// Files LibreOffice reads otherwise once we have written them, for reasons docs/rtf.md explains.
const std::set<std::string> kWrittenKnownDifferences = {
    "re_symbol.rtf",  // we write the Symbol font's characters as the Greek letters they are
};

// With MLF_RTF_WRITTEN_TEXT_DIR naming LibreOffice's texts of the written corpus
// (make_corpus.sh written DIR), checks that LibreOffice reads our RTF as it read the original.
TEST(RtfCorpusTest, LibreOfficeReadsWrittenRtfAsTheOriginal) {
  const char* textDir = std::getenv("MLF_RTF_WRITTEN_TEXT_DIR");
  if (!textDir) GTEST_SKIP() << "MLF_RTF_WRITTEN_TEXT_DIR not set";
  size_t matching = 0;
  std::vector<fs::path> files = CorpusFiles();
  for (const fs::path& file : files) {
    std::string name = file.filename().string();
    fs::path written = fs::path(textDir) / fs::path(name).replace_extension(".txt");
    EXPECT_TRUE(fs::exists(written)) << "no text of the written " << name;
    if (!fs::exists(written)) continue;
    std::string original = Normalized(ReadFile(fs::path(file).replace_extension(".txt")));
    std::string again = Normalized(ReadFile(written));
    bool same = original == again;
    matching += same;
    if (!kWrittenKnownDifferences.count(name)) {
      EXPECT_TRUE(same) << name << "\n--- original\n" << original.substr(0, 3000) << "\n--- written\n"
                        << again.substr(0, 3000);
    }
  }
  std::printf("LibreOffice reads %zu of %zu written files as the originals\n", matching, files.size());
}

}  // namespace
}  // namespace mlf::rtf
