// Throughput of the RTF reader, the plain-text extraction and the writer, on a large generated
// note in the rich-edit control's style and on the fidelity corpus.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "generated_note.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

namespace {

const std::string& LargeNote() {
  static const std::string note = mlf::bench::GeneratedNote(16 * 1024 * 1024);
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
