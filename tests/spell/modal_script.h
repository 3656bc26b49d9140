// Answers the modal windows a blocking call opens: each step waits until its condition holds
// for the active modal window, then acts on it (queue clicks rather than click, so the act
// returns before the next modal loop starts). Modal windows still open after the time limit
// are closed, and the test fails.
#pragma once

#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <string>

namespace mlf::test {

struct ModalStep {
  std::string name;
  std::function<bool(QWidget& modal)> ready;
  std::function<void(QWidget& modal)> act;
};

class ModalScript {
 public:
  explicit ModalScript(std::deque<ModalStep> steps, int limitMs = 20000);
  ~ModalScript();
  // Steps that never ran, by name; empty when all did.
  std::string Pending() const;

 private:
  void Poll();

  std::deque<ModalStep> m_steps;
  QTimer m_timer;
  int m_elapsedMs = 0;
  int m_limitMs;
};

// Waits for a message box with exactly this text and presses its OK.
ModalStep AcceptMessageBox(const QString& text);

// Clicks the child push button of that object name once control returns to the event loop.
void QueueClick(QWidget& window, const char* buttonName);

}  // namespace mlf::test
