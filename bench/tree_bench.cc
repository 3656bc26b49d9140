// Ordering the whole tree of a large document: the parent index with stable sorting, next to
// the walk that scans the node table once per folder and inserts each node by comparing it
// with its siblings in turn.
#include <benchmark/benchmark.h>

#include <functional>

#include "store/sibling_order.h"

namespace mlf {
namespace {

// count nodes: folders of ten notes each, titles with numbers in them.
std::vector<NTV> MakeNodes(size_t count) {
  std::vector<NTV> nodes;
  uint32_t folder = 0;
  for (uint32_t id = 1; id <= count; ++id) {
    NTV r;
    r.nIndex = id;
    bool isFolder = id % 11 == 1;
    r.nType = isFolder ? ntFolder : ntNote;
    r.nParent = isFolder ? 0 : folder;
    r.strTitle = (isFolder ? "Folder " : "Note ") + std::to_string((id * 7919) % 1000);
    if (isFolder) folder = id;
    nodes.push_back(r);
  }
  return nodes;
}

void BM_OrderWithParentIndex(benchmark::State& state) {
  std::vector<NTV> nodes = MakeNodes(static_cast<size_t>(state.range(0)));
  std::vector<const NTV*> records;
  for (const NTV& n : nodes) records.push_back(&n);
  SortOptions options{2, 0};
  for (auto _ : state) benchmark::DoNotOptimize(OrderSiblings(records, options));
  state.counters["nodes"] = static_cast<double>(nodes.size());
}
BENCHMARK(BM_OrderWithParentIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The quadratic build: for every folder level, a scan of the whole table.
void BM_OrderWithTableScanPerFolder(benchmark::State& state) {
  std::vector<NTV> nodes = MakeNodes(static_cast<size_t>(state.range(0)));
  SortOptions options{2, 0};
  for (auto _ : state) {
    size_t placed = 0;
    std::function<void(uint32_t)> build = [&](uint32_t parent) {
      std::vector<const NTV*> level;
      for (const NTV& n : nodes)
        if (n.nParent == parent) {
          level.insert(level.begin() + static_cast<ptrdiff_t>(InsertPosition(level, n, options)), &n);
          if (n.nType == ntFolder) build(n.nIndex);
        }
      placed += level.size();
    };
    build(0);
    benchmark::DoNotOptimize(placed);
  }
  state.counters["nodes"] = static_cast<double>(nodes.size());
}
BENCHMARK(BM_OrderWithTableScanPerFolder)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mlf
