// Start to idle of the desktop program: each iteration starts a fresh `marrowleaf` on a file of
// 10,000 or 100,000 notes (folders of 99 notes with a few hundred bytes of RTF each), with the
// help bar shown or hidden, on the offscreen platform. The program reports when its start-up
// was done and when its event loop first waited for nothing (MLF_STARTUP_PROBE); the time is
// from the launch to that moment, the counter ready_ms from the launch to the end of start-up.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"

namespace {

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The program built beside the benchmark, or another build named by MLF_START_BENCH_PROGRAM
// (to compare two builds in one run).
QString Program() { return qEnvironmentVariable("MLF_START_BENCH_PROGRAM", QStringLiteral(MLF_PROGRAM)); }

QTemporaryDir& WorkDir() {
  static QTemporaryDir dir;
  return dir;
}

// The note file of that many notes, made once per run.
QString NoteFile(int64_t notes) {
  static std::map<int64_t, QString> files;
  if (auto it = files.find(notes); it != files.end()) return it->second;
  QString path = WorkDir().filePath(QStringLiteral("notes-%1.mlf").arg(notes));
  mlf::CMarrowleafDoc doc(mlf::Env::Default());
  doc.OnNewDocument();
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\f0\\fs20 The quick brown fox jumps over the lazy "
      "dog, \\b again\\b0  and again, in a note of its own.\\par}";
  uint32_t folder = 0;
  for (int64_t i = 0; i < notes; ++i) {
    mlf::CMlfNode node;
    bool isFolder = i % 100 == 0;
    std::string title = (isFolder ? "Folder " : "Note ") + std::to_string(i);
    node.Create(&doc, isFolder ? mlf::ntFolder : mlf::ntNote, title.c_str(), isFolder ? 0 : folder);
    if (isFolder) {
      folder = node.GetId();
      continue;
    }
    mlf::CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(rtf.data(), rtf.size());
    data->Finish();
  }
  if (!doc.OnSaveDocument(path.toStdString())) return {};
  return files[notes] = path;
}

void BM_StartToIdle(benchmark::State& state) {
  QString file = NoteFile(state.range(0));
  bool helpBar = state.range(1) != 0;
  QString home = WorkDir().filePath(QStringLiteral("home-%1").arg(int(helpBar)));
  QString settings = home + QStringLiteral("/Quarn Data Solutions/Quarn Marrowleaf.conf");
  QString probe = WorkDir().filePath(QStringLiteral("probe.txt"));
  double ready = 0;
  for (auto _ : state) {
    // Fresh settings each time: the layout a run saves must not shape the next.
    QFile::remove(settings);
    QDir().mkpath(home + QStringLiteral("/Quarn Data Solutions"));
    QFile conf(settings);
    if (!conf.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the settings");
    conf.write(QByteArrayLiteral("[Settings]\nShowSplash=0\nShowHelpBar=") + (helpBar ? "1" : "0") + "\n");
    conf.close();
    QFile::remove(probe);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    environment.insert(QStringLiteral("MLF_STARTUP_PROBE"), probe);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    int64_t launched = MonotonicMs();
    program.start(Program(), {file});
    if (!program.waitForFinished(300000)) return state.SkipWithError("the program did not finish");
    QFile report(probe);
    if (!report.open(QIODevice::ReadOnly)) return state.SkipWithError("the program wrote no probe");
    QList<QByteArray> readings = report.readAll().trimmed().split(' ');
    if (readings.size() != 2) return state.SkipWithError("a damaged probe");
    ready += double(readings[0].toLongLong() - launched);
    state.SetIterationTime(double(readings[1].toLongLong() - launched) / 1000);
  }
  state.counters["ready_ms"] = ready / double(state.iterations());
}
BENCHMARK(BM_StartToIdle)
    ->ArgNames({"notes", "help_bar"})
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
