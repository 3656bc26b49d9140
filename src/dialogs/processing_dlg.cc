#include "dialogs/processing_dlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <cmath>

#include "diagnostics/log.h"
#include "exchange/node_process.h"
#include "store/prompts.h"

namespace mlf {
namespace {

constexpr int kTickMs = 50;
constexpr int kWatchdogTickMs = 100;

}  // namespace

CProcessingDlg::CProcessingDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint),
      m_status(new QLabel),
      m_detail(new QLabel),
      m_cancelLine(new QLabel),
      m_bar(new QProgressBar),
      m_cancel(new QPushButton(QStringLiteral("Cancel"))) {
  setObjectName(QStringLiteral("Processing"));
  setModal(true);
  m_detail->setTextFormat(Qt::PlainText);
  m_status->setTextFormat(Qt::PlainText);
  m_detail->setMinimumWidth(300);
  m_bar->setRange(0, 100);
  m_bar->setTextVisible(false);
  m_cancel->setAutoDefault(false);
  connect(m_cancel, &QPushButton::clicked, this, &CProcessingDlg::reject);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_cancelLine, 1);
  bottom->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_status);
  layout->addWidget(m_detail);
  layout->addWidget(m_bar);
  layout->addLayout(bottom);
}

CProcessingDlg::~CProcessingDlg() = default;

int CProcessingDlg::RunProcess(CNodeProcess& process, Watchdog watchdog) {
  m_process = &process;
  m_watchdog = watchdog;
  m_driver = std::make_unique<ProcessDriver>(process, AppPrompts());
  m_lastPercent = -1;
  m_bar->setValue(0);
  process.Start();
  m_timerId = startTimer(kTickMs);
  int result = exec();
  // An abandoned worker keeps running; every other has ended and is joined here.
  if (!m_abandoned) process.Join();
  m_driver.reset();
  m_process = nullptr;
  return result;
}

void CProcessingDlg::reject() {
  if (!m_process || m_cancelled) return;
  m_cancelled = true;
  m_cancelTime.start();
  m_cancel->setEnabled(false);
  m_process->SetCancel(true);
  m_cancelLine->setText(QStringLiteral("Cancelling..."));
}

void CProcessingDlg::keyPressEvent(QKeyEvent* event) {
  // Enter never ends the dialog; Escape is Cancel.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

void CProcessingDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timerId) OnTick();
  else QDialog::timerEvent(event);
}

void CProcessingDlg::OnTick() {
  if (!m_process) return;
  int percent = int(std::trunc(m_process->GetProgress() * 100.0f));
  if (percent != m_lastPercent) {
    m_lastPercent = percent;
    m_bar->setValue(percent);
  }
  m_status->setText(QString::fromStdString(m_process->GetStatusText()));
  m_detail->setText(QString::fromStdString(m_process->GetDetailText()));
  // A question box runs its own event loop; ticks meanwhile do not ask again (the driver
  // knows) and end nothing: the worker waits for the answer.
  bool finished = m_driver->Tick();
  if (!m_process) return;
  if (finished) {
    killTimer(m_timerId);
    m_timerId = 0;
    if (m_cancelled) {
      done(QDialog::Rejected);
    } else {
      m_bar->setValue(100);
      m_bar->repaint();
      done(QDialog::Accepted);
    }
    return;
  }
  if (m_cancelled && m_watchdog == Watchdog::On) CheckWatchdog();
}

void CProcessingDlg::CheckWatchdog() {
  qint64 waited = m_cancelTime.elapsed();
  if (waited <= m_watchdogTimeout) {
    m_cancelLine->setText(QStringLiteral("Cancelling...%1").arg((m_watchdogTimeout - waited) / 1000));
    return;
  }
  killTimer(m_timerId);
  m_timerId = 0;
  AppLog().WriteLine("WARNING: The import process is not responding");
  MessageAnswer answer = AppPrompts().Message(
      "The import process is not responding, do you want to abandon the import?\n\n"
      "Click Yes to terminate the import process now.\n"
      "Click No to wait 10 more seconds for a response.",
      "Import", MessageIcon::Exclamation, MessageButtons::YesNo);
  if (answer == MessageAnswer::Yes) {
    m_abandoned = true;
    done(QDialog::Rejected);
    return;
  }
  m_cancelTime.start();
  m_timerId = startTimer(kWatchdogTickMs);
}

}  // namespace mlf
