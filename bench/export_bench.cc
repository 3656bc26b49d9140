// Batch export of 1,000, 10,000 and 100,000 small notes, a hundred to a folder, into an
// in-memory file system: the time per node stays flat when the walk is linear in the number of
// nodes, however many folders there are.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

#include "exchange/node_export.h"
#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"

namespace mlf {
namespace {

struct Notebook {
  MemEnv env;
  CMarrowleafDoc doc{env};
};

std::unique_ptr<Notebook> MakeNotebook(int notes) {
  auto book = std::make_unique<Notebook>();
  const std::string rtf = "{\\rtf1\\ansi a short note of about a hundred bytes, kept small so the walk shows\\par}";
  uint32_t folder = 0;
  for (int i = 0; i < notes; ++i) {
    if (i % 100 == 0) {
      CMlfNode node;
      node.Create(&book->doc, ntFolder, ("Folder " + std::to_string(i / 100)).c_str(), 0);
      folder = node.GetId();
    }
    CMlfNode node;
    node.Create(&book->doc, ntNote, ("Note " + std::to_string(i)).c_str(), folder);
    CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(rtf.data(), rtf.size());
    data->Finish();
  }
  return book;
}

void BM_BatchExport(benchmark::State& state) {
  const int notes = static_cast<int>(state.range(0));
  std::unique_ptr<Notebook> book = MakeNotebook(notes);
  double processCpu = 0;  // the export runs on a worker thread: the process's CPU time counts it
  for (auto _ : state) {
    state.PauseTiming();
    book->env.DeleteTree("/out");
    book->env.CreateDirectory("/out");
    state.ResumeTiming();
    std::clock_t start = std::clock();
    CNodeBatchExport process(book->doc, "/out");
    process.Start();
    process.Join();
    processCpu += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  }
  state.counters["nodes"] = notes;
  state.counters["cpu_s"] = processCpu / static_cast<double>(state.iterations());
  state.counters["us_per_node"] = benchmark::Counter(static_cast<double>(notes) * 1e-6,
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_BatchExport)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk alone, as export did it before: a scan of the whole node table for every folder.
void BM_ChildrenByScanPerFolder(benchmark::State& state) {
  std::unique_ptr<Notebook> book = MakeNotebook(static_cast<int>(state.range(0)));
  std::vector<uint32_t> folders;
  book->doc.Data_EnumItems([&](const NTV& r) {
    if (r.nType == ntFolder) folders.push_back(r.nIndex);
  });
  for (auto _ : state) {
    size_t found = 0;
    for (uint32_t folder : folders)
      book->doc.Data_EnumItems([&](const NTV& r) { found += r.nParent == folder; });
    benchmark::DoNotOptimize(found);
  }
  state.counters["nodes"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ChildrenByScanPerFolder)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mlf
