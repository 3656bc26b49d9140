#include "widgets/mlf_status.h"

namespace mlf {
namespace {

QPointer<QStatusBar>& Target() {
  static QPointer<QStatusBar> bar;
  return bar;
}

constexpr int kSteps = 1000;  // the bar counts in thousandths, whatever the byte count

}  // namespace

void CMlfStatus::SetStatusBar(QStatusBar* bar) { Target() = bar; }

CMlfStatus::CMlfStatus(const std::string& text) : m_bar(Target()) {
  if (!text.empty()) SetText(text);
}

CMlfStatus::~CMlfStatus() {
  if (!m_bar) return;
  if (m_progress) {
    m_bar->removeWidget(m_progress);
    delete m_progress;
  }
  // The idle text comes back unless someone else has spoken since.
  if (m_bar->currentMessage() == m_text) m_bar->clearMessage();
}

void CMlfStatus::SetText(const std::string& text) {
  m_text = QString::fromStdString(text);
  if (!m_bar) return;
  m_bar->showMessage(m_text);
  m_bar->repaint();
}

void CMlfStatus::BeginProgress(uint64_t maximum) {
  if (!m_bar || m_progress) return;
  m_maximum = maximum;
  m_done = 0;
  m_progress = new QProgressBar(m_bar);
  m_progress->setRange(0, maximum ? kSteps : 0);
  m_progress->setFormat(m_text);
  m_progress->setTextVisible(!m_text.isEmpty());
  m_bar->addWidget(m_progress, 1);
  m_progress->show();
  m_progress->repaint();
}

void CMlfStatus::StepProgress(uint64_t count) {
  if (!m_progress || m_maximum == 0) return;
  m_done = std::min(m_maximum, m_done + count);
  int value = int(m_done * kSteps / m_maximum);
  if (value != m_progress->value()) {
    m_progress->setValue(value);
    m_progress->repaint();
  }
}

}  // namespace mlf
