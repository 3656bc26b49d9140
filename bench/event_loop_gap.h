// Watches an event loop: the longest time it went without a turn since Start. A 1 ms timer
// fires on every turn that has one to spare, without keeping a core busy itself.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace mlf::bench {

class EventLoopGap {
 public:
  // onTurn runs at every turn with the nanoseconds since Start.
  explicit EventLoopGap(std::function<void(qint64)> onTurn = {}) : m_onTurn(std::move(onTurn)) {
    m_turn.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_turn, &QTimer::timeout, [this] {
      qint64 now = m_clock.nsecsElapsed();
      m_longest = std::max(m_longest, now - m_previous);
      m_previous = now;
      if (m_onTurn) m_onTurn(now);
    });
  }
  void Start() {
    m_clock.start();
    m_turn.start(1);
  }
  qint64 Elapsed() const { return m_clock.nsecsElapsed(); }
  double LongestMs() const { return double(m_longest) / 1e6; }

 private:
  std::function<void(qint64)> m_onTurn;
  QElapsedTimer m_clock;
  QTimer m_turn;
  qint64 m_previous = 0, m_longest = 0;
};

}  // namespace mlf::bench
