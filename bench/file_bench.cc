// Opening a file of 100 000 nodes (time, and heap per node), and saving a 1 GB file next to a
// plain copy of the same bytes on the same disk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/prompts.h"
#include "store/stream_writer.h"

namespace mlf {
namespace {

const std::string& Folder() {
  static std::string folder = [] {
    std::string f = std::filesystem::temp_directory_path() / "mlf-bench";
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

void AddContent(CMarrowleafDoc& doc, uint32_t id, const std::string& bytes, bool compress) {
  StreamWriter writer(doc, id, compress);
  writer.Put(bytes.data(), bytes.size());
  writer.Finish();
}

// 100 000 nodes: 10 000 folders of 9 small notes each.
const std::string& HundredThousandNodeFile() {
  static std::string path = [] {
    std::string p = Folder() + "/100k.mlf";
    CMarrowleafDoc doc;
    doc.OnNewDocument();
    for (int f = 0; f < 10000; ++f) {
      CMlfNode folder;
      folder.Create(&doc, ntFolder, ("Folder " + std::to_string(f)).c_str(), 0);
      for (int n = 0; n < 9; ++n) {
        CMlfNode note;
        note.Create(&doc, ntNote, ("Note " + std::to_string(n)).c_str(), folder.GetId());
        AddContent(doc, note.GetId(), "{\\rtf1 a short note " + std::to_string(n) + "}", true);
      }
    }
    doc.OnSaveDocument(p);
    return p;
  }();
  return path;
}

void BM_Open100kNodes(benchmark::State& state) {
  const std::string& path = HundredThousandNodeFile();
  size_t heap = 0;
  for (auto _ : state) {
    size_t before = mallinfo2().uordblks;
    CMarrowleafDoc doc;
    doc.OnOpenDocument(path);
    heap = mallinfo2().uordblks - before;
    benchmark::DoNotOptimize(doc.Data_GetCount());
  }
  state.counters["nodes"] = 100000;
  state.counters["heap_bytes_per_node"] = double(heap) / 100000;
}
BENCHMARK(BM_Open100kNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr size_t kGigabyte = size_t(1) << 30;

// A saved 1 GB file of 1024 raw nodes of 1 MB, and a document open on it.
CMarrowleafDoc& GigabyteDocument() {
  static CMarrowleafDoc* doc = [] {
    auto* d = new CMarrowleafDoc;
    d->OnNewDocument();
    std::string block(1 << 20, '\0');
    uint32_t seed = 7;
    for (char& c : block) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    for (int i = 0; i < 1024; ++i) {
      CMlfNode node;
      node.Create(d, ntForeign, ("Blob " + std::to_string(i)).c_str(), 0);
      block[0] = static_cast<char>(i);
      AddContent(*d, node.GetId(), block, false);
    }
    d->OnSaveDocument(Folder() + "/1g.mlf");
    return d;
  }();
  return *doc;
}

void BM_Save1GB(benchmark::State& state) {
  CMarrowleafDoc& doc = GigabyteDocument();
  for (auto _ : state) {
    if (!doc.OnSaveDocument(Folder() + "/1g.mlf")) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kGigabyte);
}
BENCHMARK(BM_Save1GB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PlainCopy1GB(benchmark::State& state) {
  GigabyteDocument();
  std::string from = Folder() + "/1g.mlf", to = Folder() + "/copy.bin";
  std::vector<char> buffer(256 * 1024);
  for (auto _ : state) {
    int in = ::open(from.c_str(), O_RDONLY), out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ssize_t n;
    while ((n = ::read(in, buffer.data(), buffer.size())) > 0) (void)!::write(out, buffer.data(), size_t(n));
    ::fsync(out);
    ::close(in);
    ::close(out);
  }
  std::filesystem::remove(to);
  state.SetBytesProcessed(int64_t(state.iterations()) * kGigabyte);
}
BENCHMARK(BM_PlainCopy1GB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace mlf
