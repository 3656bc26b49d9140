// Re-encrypting a 200 MB node and setting a file password from the properties sheets, as the
// program runs them (RunInBackground), with a 1 ms timer on the event loop: the longest gap
// between two of its turns says how long the window could not paint.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <random>

#include "crypt/crypt_dll_handler.h"
#include "dialogs/background_work.h"
#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "widgets/mlf_status.h"

namespace mlf {
namespace {

constexpr size_t kSize = 200 << 20;

CryptProvider& Crypt() {
  static bool loaded = AppCrypt().Load(Env::Default());
  (void)loaded;
  return AppCrypt();
}

// An attached file that does not compress (a packed archive, say): the stored bytes are as
// large as the content, the worst case for re-encryption.
uint32_t AddLargeNode(CMarrowleafDoc& doc) {
  CMlfNode node;
  node.Create(&doc, ntForeign, "Archive", 0);
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  std::mt19937_64 random(7);
  std::vector<uint64_t> piece((1 << 20) / 8);
  for (size_t done = 0; done < kSize; done += 1 << 20) {
    std::generate(piece.begin(), piece.end(), random);
    data->Put(piece.data(), 1 << 20);
  }
  data->Finish();
  return node.GetId();
}

struct Waits {
  qint64 longestGap = 0;  // ms between two turns of the event loop
  qint64 total = 0;       // ms of all runs
  int runs = 0;

  void Report(benchmark::State& state) const {
    state.counters["longest_gap_ms"] = double(longestGap);
    state.counters["ms_per_run"] = runs ? double(total) / runs : 0;
  }
};

// Runs the work as the sheets do, with a status bar to show the busy bar in.
void Measure(benchmark::State& state, Waits& waits, const std::string& text, const std::function<bool()>& work) {
  QMainWindow window;
  CMlfStatus::SetStatusBar(window.statusBar());
  window.show();
  QElapsedTimer clock, total;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] { waits.longestGap = std::max(waits.longestGap, clock.restart()); });
  clock.start();
  total.start();
  ticker.start();
  bool done = RunInBackground(text, work);
  ticker.stop();
  waits.longestGap = std::max(waits.longestGap, clock.elapsed());
  waits.total += total.elapsed();
  ++waits.runs;
  if (!done) state.SkipWithError("the work failed");
}

// Encrypts the node, then takes its password off again: two re-encryptions per iteration.
void BM_NodeReencrypt200MB(benchmark::State& state) {
  CryptProvider& crypt = Crypt();
  if (!crypt.IsAvailable()) return state.SkipWithError("no encryption module");
  MemEnv env;
  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  uint32_t id = AddLargeNode(doc);
  const SecureString password("benchmark");
  Waits waits;
  for (auto _ : state) {
    Measure(state, waits, "Encrypting node...", [&] {
      return doc.SetNodeEncryption(id, crypt.DefaultCipher(), 32, crypt.DefaultKeyDerivation(), password, {});
    });
    Measure(state, waits, "Encrypting node...", [&] { return doc.SetNodeEncryption(id, 0, 0, 0, {}, password); });
  }
  waits.Report(state);
  state.SetBytesProcessed(int64_t(state.iterations()) * 2 * int64_t(kSize));
}
BENCHMARK(BM_NodeReencrypt200MB)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// A new file password: the key and the password block are derived (the envelope itself is
// written by the next save).
void BM_FilePassword(benchmark::State& state) {
  CryptProvider& crypt = Crypt();
  if (!crypt.IsAvailable()) return state.SkipWithError("no encryption module");
  MemEnv env;
  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  Waits waits;
  for (auto _ : state) {
    Measure(state, waits, "Setting the file password...", [&] {
      doc.SetFileEncryption(crypt.DefaultCipher(), 32, crypt.DefaultKeyDerivation(), SecureString("benchmark"));
      return true;
    });
  }
  waits.Report(state);
}
BENCHMARK(BM_FilePassword)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace mlf
