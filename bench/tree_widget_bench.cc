// Building the node tree widget of a large document: the program's rebuild (one pass over the node
// table with a parent-to-children index, then one hand-over of the entries to the widget)
// against the walk that scans the whole node table once for every folder level; and refreshing
// one entry, as the document asks when a node's task or title changes.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/sibling_order.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/tree_host.h"

namespace mlf {
namespace {

struct NoHost : TreeHost {
  bool ActivateNode(bool, int64_t) override { return true; }
  void ImportFiles(ImportKind, uint32_t) override {}
  void ImportDroppedFiles(uint32_t, const std::vector<std::string>&) override {}
  void ExportNode(uint32_t) override {}
  bool StoreOpenNode() override { return true; }
};

// Folders of 99 notes each, titles in random order, numerical sorting on, a task attached to
// one node in a hundred.
void Fill(CMarrowleafDoc& doc, int nodes) {
  std::mt19937 random(7);
  FileHeader header = doc.GetHeader();
  header.sortFlags = kSortNumerical;
  doc.SetHeader(header, false);
  uint32_t folder = 0;
  for (int i = 0; i < nodes; ++i) {
    std::string title = (random() % 3 ? "Note " : "") + std::to_string(random() % 100000);
    CMlfNode node;
    node.Create(&doc, i % 100 == 0 ? ntFolder : ntNote, title.c_str(), i % 100 == 0 ? 0 : folder);
    if (i % 100 == 0) folder = node.GetId();
    if (i % 100 == 50) {  // one task in a hundred nodes
      MLFTASK task;
      doc.GetTask(doc.NewTask(), task);
      task.nFlags = kTaskAttached;
      task.nNode = node.GetId();
      doc.SetTask(task, false);
    }
  }
}

// A filled document and its tree widget, not built yet.
struct FilledTree {
  explicit FilledTree(int nodes) {
    doc.OnNewDocument();
    Fill(doc, nodes);
  }
  MemEnv env;
  CMarrowleafDoc doc{env};
  NoHost host;
  CMlfTreeCtrl tree{doc, host};
};

void BM_RebuildTree(benchmark::State& state) {
  FilledTree filled(int(state.range(0)));
  for (auto _ : state) filled.tree.RebuildTree(false);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RebuildTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The order only, built level by level with a scan of the node table for each folder and the
// insertion walk for each node: quadratic in the number of nodes.
void BM_QuadraticWalk(benchmark::State& state) {
  MemEnv env;
  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  Fill(doc, int(state.range(0)));
  SortOptions options{kSortNumerical, kFoldersFirst};
  for (auto _ : state) {
    size_t placed = 0;
    std::vector<uint32_t> parents{0};
    while (!parents.empty()) {
      uint32_t parent = parents.back();
      parents.pop_back();
      std::vector<NTV> level;
      std::vector<const NTV*> siblings;
      level.reserve(doc.Data_GetCount());
      doc.Data_EnumItems([&](const NTV& record) {
        if (record.nParent != parent) return;
        level.push_back(record);
      });
      for (const NTV& record : level) {
        siblings.insert(siblings.begin() + ptrdiff_t(InsertPosition(siblings, record, options)), &record);
        if (record.nType == ntFolder) parents.push_back(record.nIndex);
      }
      placed += siblings.size();
    }
    benchmark::DoNotOptimize(placed);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QuadraticWalk)->Arg(10000)->Unit(benchmark::kMillisecond);

// The entry of the node made last, deep in the last folder, found and drawn again.
void BM_RefreshItem(benchmark::State& state) {
  FilledTree filled(int(state.range(0)));
  filled.tree.RebuildTree(false);
  auto last = uint32_t(state.range(0));
  for (auto _ : state) filled.tree.RefreshItem(last);
}
BENCHMARK(BM_RefreshItem)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mlf
