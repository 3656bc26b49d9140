// A branch of 10 000 nodes and 100 MB of note content dropped from one document window onto
// another: the time of the copy, and the longest the event loop went without a turn meanwhile
// (how long the program stops answering).
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "event_loop_gap.h"

#include "platform/mem_env.h"
#include "sample_text.h"
#include "store/document.h"
#include "store/node.h"
#include "store/stream_writer.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/node_drag_data.h"
#include "views/child_frame.h"
#include "views/tabs_view.h"

namespace mlf {
namespace {

constexpr int kFolders = 100;
constexpr int kNotesPerFolder = 99;  // with the folders and the root: 10 001 nodes
constexpr size_t kNoteSize = 10 * 1024;

std::unique_ptr<CChildFrame> Window(std::unique_ptr<CMarrowleafDoc> doc, const char* name) {
  auto frame = std::make_unique<CChildFrame>(std::move(doc), QString::fromLatin1(name));
  frame->OnDocumentLoaded();
  return frame;
}

// The source document: one folder holding the whole branch, stored uncompressed so that all
// 100 MB are copied.
std::unique_ptr<CMarrowleafDoc> SourceDocument(Env& env, uint32_t& root) {
  auto doc = std::make_unique<CMarrowleafDoc>(env);
  doc->OnNewDocument();
  CMlfNode rootNode;
  rootNode.Create(doc.get(), ntFolder, "Branch", 0);
  root = rootNode.GetId();
  uint32_t seed = 1;
  for (int f = 0; f < kFolders; ++f) {
    CMlfNode folder;
    folder.Create(doc.get(), ntFolder, ("Folder " + std::to_string(f)).c_str(), root);
    for (int n = 0; n < kNotesPerFolder; ++n) {
      CMlfNode note;
      note.Create(doc.get(), ntNote, ("Note " + std::to_string(n)).c_str(), folder.GetId());
      std::string rtf = bench::SampleRtf(kNoteSize, seed++);
      StreamWriter writer(*doc, note.GetId(), false);
      writer.Put(rtf.data(), rtf.size());
      writer.Finish();
    }
  }
  return doc;
}

void BM_CopyBranchBetweenWindows(benchmark::State& state) {
  MemEnv sourceEnv, targetEnv;
  uint32_t root = 0;
  auto source = Window(SourceDocument(sourceEnv, root), "Source");
  auto empty = std::make_unique<CMarrowleafDoc>(targetEnv);
  empty->OnNewDocument();
  auto target = Window(std::move(empty), "Target");
  CMlfTreeCtrl& from = *source->TabsView()->NodeTree();
  CMlfTreeCtrl& into = *target->TabsView()->NodeTree();
  auto data = MakeNodeDragData({&from, root, false});
  double longest = 0;
  for (auto _ : state) {
    QEventLoop loop;
    bench::EventLoopGap gap;
    Qt::DropAction done = Qt::IgnoreAction;
    QTimer::singleShot(5, [&] {
      QElapsedTimer clock;
      clock.start();
      done = into.DropAt(*data, {5, 5}, {});
      state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
      // One more turn measures the gap the drop made.
      QTimer::singleShot(5, &loop, &QEventLoop::quit);
    });
    gap.Start();
    loop.exec();
    longest += gap.LongestMs();
    if (done != Qt::CopyAction) state.SkipWithError("the copy failed");
    state.PauseTiming();
    // The copy goes again, so that every round copies into the same document.
    into.DeleteBranch(into.topLevelItem(0), false);
    state.ResumeTiming();
  }
  state.counters["max_gap_ms"] = longest / double(state.iterations());
  state.counters["nodes"] = double(source->Document().Data_GetCount());
  state.SetBytesProcessed(int64_t(state.iterations()) * kFolders * kNotesPerFolder * int64_t(kNoteSize));
}
// Each round adds 100 MB to the target's work file in memory: a few rounds only.
BENCHMARK(BM_CopyBranchBetweenWindows)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
}  // namespace mlf
