// What checking as you type costs in a 1 MB note: a keystroke (the edit, Qt's layout and the
// marks of the words on screen) and a page of scrolling (a new screen of words to mark), each
// with checking off (0) and on (1). The spell-check module is loaded from the bench's folder.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

#include "platform/env.h"
#include "spell/spell_dll_handler.h"

namespace {

// About 1 MB of plain text, one word in seven misspelt, in paragraphs of 60 words.
QString OneMegabyteOfText() {
  static const char* kWords[] = {"note", "the", "plan", "meeting", "project", "idea", "tomorow",
                                 "list", "review", "budget", "and", "draft", "recieve", "of"};
  QString text;
  uint32_t seed = 1;
  for (int word = 0; text.size() < (1 << 20); ++word) {
    seed = seed * 1103515245 + 12345;
    text += kWords[(seed >> 16) % 14];
    text += word % 60 == 59 ? '\n' : ' ';
  }
  return text;
}

mlf::CSpellDLLHandler& StartedModule() {
  static mlf::CSpellDLLHandler* handler = [] {
    auto* started = new mlf::CSpellDLLHandler;
    started->StartFrom(mlf::Env::Default(), mlf::Env::Default().ExecutableDirectory());
    return started;
  }();
  return *handler;
}

std::unique_ptr<QTextEdit> ShownNote(bool checking) {
  auto editor = std::make_unique<QTextEdit>();
  editor->setProperty("quarnSpellCheckAsYouType", checking);
  editor->resize(1000, 800);
  editor->setPlainText(OneMegabyteOfText());
  editor->show();
  QApplication::processEvents();
  return editor;
}

void BM_KeystrokeInOneMegabyteNote(benchmark::State& state) {
  if (!StartedModule().IsAvailable()) return state.SkipWithError("the spell-check module did not start");
  auto editor = ShownNote(state.range(0) != 0);
  QTextCursor cursor = editor->cursorForPosition(QPoint(200, 300));
  for (auto _ : state) {
    cursor.insertText("x");
    QApplication::processEvents();  // the marks follow once control returns to the event loop
  }
}
BENCHMARK(BM_KeystrokeInOneMegabyteNote)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PageDownInOneMegabyteNote(benchmark::State& state) {
  if (!StartedModule().IsAvailable()) return state.SkipWithError("the spell-check module did not start");
  auto editor = ShownNote(state.range(0) != 0);
  QScrollBar* bar = editor->verticalScrollBar();
  for (auto _ : state) {
    bar->setValue(bar->value() + bar->pageStep() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
    QApplication::processEvents();
  }
}
BENCHMARK(BM_PageDownInOneMegabyteNote)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
