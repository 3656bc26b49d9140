// Autosave against a full save of the same document: 100 MB of notes (100 raw notes of 1 MB)
// of which one changed since the save. The autosave writes the tables and the one changed
// note; the save copies every stream. Both run on the same disk in one run, so their ratio
// holds whatever the disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/stream_writer.h"

namespace mlf {
namespace {

constexpr int kNotes = 100;
constexpr size_t kNoteSize = size_t(1) << 20;

const std::string& Folder() {
  static std::string folder = [] {
    std::string f = std::filesystem::temp_directory_path() / "mlf-autosave-bench";
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

void PutContent(CMarrowleafDoc& doc, uint32_t id, const std::string& bytes) {
  StreamWriter writer(doc, id, false);
  writer.Put(bytes.data(), bytes.size());
  writer.Finish();
}

// A saved 100 MB file, opened again, with its first note rewritten.
CMarrowleafDoc& ChangedDocument() {
  static CMarrowleafDoc* doc = [] {
    std::string path = Folder() + "/100mb.mlf";
    std::string block(kNoteSize, '\0');
    uint32_t seed = 11;
    {
      CMarrowleafDoc first;
      first.OnNewDocument();
      for (int n = 0; n < kNotes; ++n) {
        for (char& c : block) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
        CMlfNode note;
        note.Create(&first, ntNote, ("Note " + std::to_string(n)).c_str(), 0);
        PutContent(first, note.GetId(), block);
      }
      first.OnSaveDocument(path);
    }
    auto* opened = new CMarrowleafDoc;
    opened->OnOpenDocument(path);
    PutContent(*opened, 1, "{\\rtf1 the one note typed into since the save}");
    return opened;
  }();
  return *doc;
}

void BM_AutosaveOneChangedNoteOf100MB(benchmark::State& state) {
  CMarrowleafDoc& doc = ChangedDocument();
  std::string recovery = Folder() + "/100mb.mlfrecovery";
  for (auto _ : state) doc.WriteRecovery(recovery);
  state.counters["recovery_bytes"] = double(std::filesystem::file_size(recovery));
}
BENCHMARK(BM_AutosaveOneChangedNoteOf100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FullSaveOf100MB(benchmark::State& state) {
  CMarrowleafDoc& doc = ChangedDocument();
  std::string copy = Folder() + "/100mb-saved.mlf";
  for (auto _ : state) doc.OnSaveDocument(copy);
  state.counters["file_bytes"] = double(std::filesystem::file_size(copy));
}
BENCHMARK(BM_FullSaveOf100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mlf
