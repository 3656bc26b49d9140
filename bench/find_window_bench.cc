// Find in Nodes in its window on a generated notebook of 10 000 notes of 10 KB of RTF (100 MB):
// the time from Find Now to the first listed result and to the end of the search, and the
// longest the event loop went without a turn meanwhile (the window's responsiveness).
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/find_nodes_dlg.h"
#include "event_loop_gap.h"
#include "platform/mem_env.h"
#include "sample_text.h"
#include "store/document.h"
#include "store/node.h"
#include "store/stream_writer.h"
#include "views/child_frame.h"

namespace mlf {
namespace {

constexpr int kNotes = 10000;
constexpr size_t kNoteSize = 10 * 1024;

CChildFrame& Notebook() {
  static MemEnv env;
  static CChildFrame* frame = [] {
    auto doc = std::make_unique<CMarrowleafDoc>(env);
    doc->OnNewDocument();
    for (int i = 0; i < kNotes; ++i) {
      CMlfNode node;
      node.Create(doc.get(), ntNote, ("Note " + std::to_string(i)).c_str(), 0);
      std::string rtf = bench::SampleRtf(kNoteSize, static_cast<uint32_t>(i + 1));
      StreamWriter writer(*doc, node.GetId(), true);
      writer.Put(rtf.data(), rtf.size());
      writer.Finish();
    }
    auto* made = new CChildFrame(std::move(doc), QStringLiteral("Bench"));
    made->OnDocumentLoaded();
    return made;
  }();
  return *frame;
}

void BM_FindWindow(benchmark::State& state) {
  CChildFrame& frame = Notebook();  // made before the clock runs
  CFindNodesDlg window([&frame] { return &frame; });
  double first = 0, last = 0, gap = 0;
  for (auto _ : state) {
    window.QueryBox()->setEditText(QStringLiteral("budget tomorrow"));
    qint64 firstAt = -1;
    QEventLoop loop;
    bench::EventLoopGap probe([&](qint64 now) {
      if (firstAt < 0 && window.Results()->topLevelItemCount() > 0) firstAt = now;
      if (!window.Searching()) loop.quit();
    });
    probe.Start();
    window.FindNow();
    loop.exec();
    qint64 end = probe.Elapsed();
    state.SetIterationTime(double(end) / 1e9);
    first += double(firstAt) / 1e6;
    last += double(end) / 1e6;
    gap += probe.LongestMs();
  }
  double n = double(state.iterations());
  state.counters["first_ms"] = first / n;
  state.counters["last_ms"] = last / n;
  state.counters["max_gap_ms"] = gap / n;
  state.SetBytesProcessed(int64_t(state.iterations()) * kNotes * kNoteSize);
}
BENCHMARK(BM_FindWindow)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
}  // namespace mlf
