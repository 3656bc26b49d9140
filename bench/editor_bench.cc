// How long the note editor takes to show a note and to turn it back into the model: the
// mapping between the RTF engine's model and QTextDocument, on generated notes of 100 KB and
// 1 MB of RTF.
#include <benchmark/benchmark.h>

#include <QTextDocument>
#include <map>

#include "generated_note.h"
#include "rtf/reader.h"
#include "views/rich_text_export.h"
#include "views/rich_text_import.h"

namespace {

const mlf::rtf::Document& Note(int64_t bytes) {
  static std::map<int64_t, mlf::rtf::Document> notes;
  auto it = notes.find(bytes);
  if (it == notes.end()) it = notes.emplace(bytes, mlf::rtf::ReadRtf(mlf::bench::GeneratedNote(size_t(bytes)))).first;
  return it->second;
}

void BM_ShowNote(benchmark::State& state) {
  const mlf::rtf::Document& note = Note(state.range(0));
  for (auto _ : state) {
    QTextDocument document;
    mlf::ImportRichText(note, document);
    benchmark::DoNotOptimize(document.blockCount());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ShowNote)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_NoteBackToModel(benchmark::State& state) {
  const mlf::rtf::Document& note = Note(state.range(0));
  QTextDocument document;
  mlf::ImportRichText(note, document);
  for (auto _ : state) benchmark::DoNotOptimize(mlf::ExportRichText(document, note).blocks.size());
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NoteBackToModel)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
