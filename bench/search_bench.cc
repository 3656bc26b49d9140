// Searching, exporting and importing a generated notebook: 10 000 notes of about 10 KB of RTF
// each (100 MB), and where the time of a search goes: decompression, RTF to text, matching.
#include <benchmark/benchmark.h>

#include "exchange/node_export.h"
#include "exchange/node_import.h"
#include "platform/mem_env.h"
#include "platform/text_case.h"
#include "rtf/plain_text.h"
#include "sample_text.h"
#include "search/node_search.h"
#include "store/document.h"
#include "store/gzip.h"
#include "store/node.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"

namespace mlf {
namespace {

constexpr int kNotes = 10000;
constexpr size_t kNoteSize = 10 * 1024;

struct Notebook {
  MemEnv env;
  CMarrowleafDoc doc{env};
  std::vector<std::vector<uint8_t>> members;  // the stored gzip members, for the breakdown
  Notebook() {
    for (int i = 0; i < kNotes; ++i) {
      CMlfNode node;
      node.Create(&doc, ntNote, ("Note " + std::to_string(i)).c_str(), 0);
      std::string rtf = bench::SampleRtf(kNoteSize, static_cast<uint32_t>(i + 1));
      StreamWriter writer(doc, node.GetId(), true);
      writer.Put(rtf.data(), rtf.size());
      writer.Finish();
    }
  }
};

Notebook& Book() {
  static Notebook book;
  return book;
}

void BM_Search(benchmark::State& state) {
  SearchMode mode = static_cast<SearchMode>(state.range(0));
  const char* query = mode == SearchMode::ExactPhrase ? "plan meeting" : "budget tomorrow";
  Book();  // made before the clock runs
  for (auto _ : state) benchmark::DoNotOptimize(NodeSearch::Run(Book().doc, SearchQuery{query, mode}));
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_Search)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The three stages of a content search on one core, each over the whole notebook.
void BM_StageDecompress(benchmark::State& state) {
  for (auto _ : state)
    for (uint32_t id = 1; id <= kNotes; ++id) {
      StreamReader reader(Book().doc, id);
      reader.PrepareReadBuffer();
    }
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_StageDecompress)->Unit(benchmark::kMillisecond);

void BM_StageRtfToText(benchmark::State& state) {
  std::string rtf = bench::SampleRtf(kNoteSize, 7);
  for (auto _ : state)
    for (int i = 0; i < kNotes; ++i) benchmark::DoNotOptimize(rtf::RtfToPlainText(rtf));
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_StageRtfToText)->Unit(benchmark::kMillisecond);

void BM_StageMatch(benchmark::State& state) {
  std::string text = rtf::RtfToPlainText(bench::SampleRtf(kNoteSize, 7));
  std::vector<std::string> words = QueryWords("budget tomorrow", SearchMode::AllWords);
  std::string lower;
  for (auto _ : state)
    for (int i = 0; i < kNotes; ++i) {
      lower = text;  // the search folds the text it has just made
      LowerUtf8InPlace(lower);
      benchmark::DoNotOptimize(TextMatches(lower, words, SearchMode::AllWords));
    }
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_StageMatch)->Unit(benchmark::kMillisecond);

void BM_ExportNotebook(benchmark::State& state) {
  for (auto _ : state) {
    Book().env.DeleteTree("/out");
    Book().env.CreateDirectory("/out");
    CNodeBatchExport process(Book().doc, "/out");
    process.Start();
    process.Join();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_ExportNotebook)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_Import10000SmallFiles(benchmark::State& state) {
  MemEnv env;
  env.CreateDirectory("/in");
  for (int i = 0; i < kNotes; ++i) env.PutFile("/in/f" + std::to_string(i) + ".txt", "a small file number " + std::to_string(i));
  for (auto _ : state) {
    CMarrowleafDoc doc(env);
    CNodeBatchImport process(doc, 0);
    for (int i = 0; i < kNotes; ++i) process.AddFile("/in/f" + std::to_string(i) + ".txt");
    process.Start();
    process.Join();
  }
  state.counters["files"] = kNotes;
}
BENCHMARK(BM_Import10000SmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace mlf
