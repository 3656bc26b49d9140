// CMlfStatus: a status-bar text and a byte-count progress bar in the main window for the life
// of the object, for long node reads and writes. Without a main window it does nothing.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <string>

#include "store/progress.h"

namespace mlf {

class CMlfStatus : public ProgressSink {
 public:
  // The status bar of the program's main window (null when it goes away).
  static void SetStatusBar(QStatusBar* bar);

  explicit CMlfStatus(const std::string& text = {});
  ~CMlfStatus() override;
  CMlfStatus(const CMlfStatus&) = delete;
  CMlfStatus& operator=(const CMlfStatus&) = delete;

  void SetText(const std::string& text) override;
  // Replaces the message by a bar labelled with it; a maximum of 0 shows a busy bar for work
  // that cannot count its steps.
  void BeginProgress(uint64_t maximum) override;
  void StepProgress(uint64_t count) override;

 private:
  QPointer<QStatusBar> m_bar;
  QString m_text;
  QProgressBar* m_progress = nullptr;
  uint64_t m_maximum = 0;
  uint64_t m_done = 0;
};

}  // namespace mlf
