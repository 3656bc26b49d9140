// Opening a file of 100 000 nodes (time, and heap per node), and saving files of three shapes
// next to a durable copy of the same bytes on the same disk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
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

// A full save of a note file next to a durable copy of the same bytes, both timed in every
// iteration so that the load of the machine weighs on them alike. The copy writes over the copy
// of the iteration before, as cp does, in 256 KiB pieces, and flushes it: both free the blocks
// of the version they replace. The save's own time is the figure; "speed_vs_copy" is copy time
// over save time, so 1.0 means the save runs as fast as the disk copies the file.
//
// Shapes: 0 = 20,000 small notes of 2.5 KB stored (a 5 KB note compressed to half), 50 MB;
// 1 = mixed: 2,000 notes from 1 KB to 1 MB, a hundred to a folder, one in fifty edited before
// each save (their bytes come from the work file), 105 MB; 2 = 40 nodes of 2.5 MB, 105 MB.

using Clock = std::chrono::steady_clock;

// Bytes that do not compress, different for every node.
std::string Bytes(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
  return bytes;
}

size_t MixedSize(int i) {
  if (i % 20 == 0) return 256 * 1024 + size_t(i % 7) * 128 * 1024;  // a picture or an attachment
  if (i % 20 < 4) return 16 * 1024 + size_t(i % 9) * 12 * 1024;
  return 1024 + size_t(i % 8) * 1024;
}

struct Shape {
  const char* name;
  int nodes;
  int perFolder;  // 0: no folders
  size_t (*size)(int);
  int editEvery;  // 0: no edits between saves
};

const Shape kShapes[] = {
    {"small", 20000, 100, [](int) -> size_t { return 2560; }, 0},
    {"mixed", 2000, 100, MixedSize, 50},
    {"large", 40, 0, [](int) -> size_t { return 2560 * 1024; }, 0},
};

// The saved file of a shape, made once.
std::string MakeFile(const Shape& shape) {
  std::string path = Folder() + "/" + shape.name + ".mlf";
  CMarrowleafDoc doc;
  doc.OnNewDocument();
  uint32_t folder = 0;
  for (int i = 0; i < shape.nodes; ++i) {
    if (shape.perFolder && i % shape.perFolder == 0) {
      CMlfNode node;
      node.Create(&doc, ntFolder, ("Folder " + std::to_string(i)).c_str(), 0);
      folder = node.GetId();
    }
    CMlfNode node;
    node.Create(&doc, ntForeign, ("Node " + std::to_string(i)).c_str(), folder);
    AddContent(doc, node.GetId(), Bytes(shape.size(i), uint32_t(i) + 1), false);
  }
  doc.OnSaveDocument(path);
  return path;
}

// The process's CPU time in seconds: the save and the copy run on this thread alone.
double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// What the save must at least do: the file's bytes written durably.
double DurableCopySeconds(const std::string& from, const std::string& to, std::vector<char>& buffer) {
  auto start = Clock::now();
  int in = ::open(from.c_str(), O_RDONLY), out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ssize_t n;
  while ((n = ::read(in, buffer.data(), buffer.size())) > 0) (void)!::write(out, buffer.data(), size_t(n));
  ::fsync(out);
  ::close(in);
  ::close(out);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_SaveNextToDurableCopy(benchmark::State& state) {
  const Shape& shape = kShapes[state.range(0)];
  state.SetLabel(shape.name);
  std::string path = MakeFile(shape), copyPath = Folder() + "/copy.bin";
  CMarrowleafDoc doc;
  if (!doc.OnOpenDocument(path)) return state.SkipWithError("open failed");
  std::vector<uint32_t> edited;
  NTV record;
  for (uint32_t id = 1; shape.editEvery && id <= doc.Data_GetCount(); ++id)
    if (doc.Data_GetItem(id, record) && record.nType == ntForeign && id % shape.editEvery == 0) edited.push_back(id);
  std::vector<char> buffer(256 * 1024);
  DurableCopySeconds(path, copyPath, buffer);  // every timed copy replaces one
  double saveTotal = 0, copyTotal = 0, saveCpu = 0, copyCpu = 0;
  uint64_t bytes = 0;
  for (auto _ : state) {
    for (uint32_t id : edited) AddContent(doc, id, Bytes(shape.size(int(id)), id + uint32_t(state.iterations())), false);
    double cpu = CpuSeconds();
    auto start = Clock::now();
    if (!doc.OnSaveDocument(path)) return state.SkipWithError("save failed");
    double save = std::chrono::duration<double>(Clock::now() - start).count();
    saveCpu += CpuSeconds() - cpu;
    cpu = CpuSeconds();
    double copy = DurableCopySeconds(path, copyPath, buffer);
    copyCpu += CpuSeconds() - cpu;
    state.SetIterationTime(save);
    saveTotal += save;
    copyTotal += copy;
    bytes += std::filesystem::file_size(path);
  }
  std::filesystem::remove(copyPath);
  double n = double(state.iterations());
  state.counters["MB"] = double(bytes) / n / 1e6;
  state.counters["copy_ms"] = copyTotal / n * 1e3;
  state.counters["speed_vs_copy"] = copyTotal / saveTotal;
  state.counters["save_cpu_ms"] = saveCpu / n * 1e3;
  state.counters["copy_cpu_ms"] = copyCpu / n * 1e3;
  state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_SaveNextToDurableCopy)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace mlf
