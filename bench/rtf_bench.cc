// Throughput of the RTF reader, the plain-text extraction and the writer, on a large generated
// note in the rich-edit control's style and on the fidelity corpus.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

namespace {

// About 16 MB: paragraphs of Latin text with formatting changes, accented letters, a
// character outside the code page, a link, a bulleted list and now and then a small picture.
const std::string& LargeNote() {
  static const std::string note = [] {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    std::string png = "\r\n";
    for (int i = 0; i < 2048; ++i) png += "89504e470d0a1a0a"[i % 16];
    for (int i = 0; rtf.size() < 16 * 1024 * 1024; ++i) {
      rtf += "The quick brown fox jumps over the lazy dog, \\b caf\\'e9\\b0  and \\i cr\\'e8me\\i0 ; "
             "\\cf1 red\\cf0 , \\ul under\\ulnone , \\f1\\fs24 Times\\f0\\fs20 , \\u8364? and "
             "\\u20013? text. Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do "
             "eiusmod tempor incididunt ut labore et dolore magna aliqua.\\par\r\n";
      if (i % 10 == 0)
        rtf += "See {\\field{\\*\\fldinst{HYPERLINK \"http://www.example.org/\"}}{\\fldrslt{\\ul\\cf2 "
               "the site}}}\\f0\\fs20  now.\\par\r\n"
               "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}"
               "\\fi-720\\li720 an item\\par\r\n\\pard ";
      if (i % 100 == 0) rtf += "{\\pict\\pngblip\\picw4\\pich4\\picwgoal600\\pichgoal600" + png + "}\\par\r\n";
    }
    return rtf + "}";
  }();
  return note;
}

const std::vector<std::string>& Corpus() {
  static const std::vector<std::string> files = [] {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(MLF_RTF_CORPUS_DIR)) {
      if (entry.path().extension() != ".rtf") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream buffer;
      buffer << in.rdbuf();
      out.push_back(buffer.str());
    }
    return out;
  }();
  return files;
}

size_t CorpusBytes() {
  size_t bytes = 0;
  for (const std::string& file : Corpus()) bytes += file.size();
  return bytes;
}

void BM_ReadLargeNote(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(mlf::rtf::ReadRtf(LargeNote()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LargeNote().size()));
}

void BM_PlainTextOfLargeNote(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(mlf::rtf::RtfToPlainText(LargeNote()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * LargeNote().size()));
}

void BM_WriteLargeNote(benchmark::State& state) {
  mlf::rtf::Document doc = mlf::rtf::ReadRtf(LargeNote());
  size_t bytes = 0;
  for (auto _ : state) {
    std::string rtf = mlf::rtf::WriteRtf(doc);
    bytes += rtf.size();
    benchmark::DoNotOptimize(rtf);
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_ReadCorpus(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& file : Corpus()) benchmark::DoNotOptimize(mlf::rtf::ReadRtf(file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}

void BM_PlainTextOfCorpus(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& file : Corpus()) benchmark::DoNotOptimize(mlf::rtf::RtfToPlainText(file));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CorpusBytes()));
}

void BM_WriteCorpus(benchmark::State& state) {
  std::vector<mlf::rtf::Document> docs;
  for (const std::string& file : Corpus()) docs.push_back(mlf::rtf::ReadRtf(file));
  size_t bytes = 0;
  for (auto _ : state)
    for (const mlf::rtf::Document& doc : docs) {
      std::string rtf = mlf::rtf::WriteRtf(doc);
      bytes += rtf.size();
      benchmark::DoNotOptimize(rtf);
    }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_ReadLargeNote)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextOfLargeNote)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLargeNote)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTextOfCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCorpus)->Unit(benchmark::kMillisecond);
