// CProcessingDlg: the modal progress dialog of a long export or import. It starts the process,
// polls it every 50 ms (its two text lines and the bar), puts every question of the worker to
// the user on this thread, and hands Cancel over to the worker. It closes only when the worker
// has ended, or, for the foreign-data and HTML imports, when the user abandons a worker that
// has not answered Cancel for ten seconds.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mlf {

class CNodeProcess;
class ProcessDriver;

class CProcessingDlg : public QDialog {
  Q_OBJECT
 public:
  // With the watchdog the dialog watches a cancelled worker for a hang (the import tasks).
  enum class Watchdog { Off, On };

  explicit CProcessingDlg(QWidget* parent = nullptr);
  ~CProcessingDlg() override;

  // Runs the process to its end: Accepted, or Rejected when Cancel was pressed. After
  // Abandoned() the worker may still run: the caller must keep the process alive.
  int RunProcess(CNodeProcess& process, Watchdog watchdog = Watchdog::Off);
  bool Abandoned() const { return m_abandoned; }
  // How long a cancelled task may go without ending before the user is asked (10 s).
  void SetWatchdogTimeout(int milliseconds) { m_watchdogTimeout = milliseconds; }

  QLabel* StatusLine() const { return m_status; }
  QLabel* DetailLine() const { return m_detail; }
  QLabel* CancelLine() const { return m_cancelLine; }
  QProgressBar* Bar() const { return m_bar; }
  QPushButton* CancelButton() const { return m_cancel; }

 protected:
  void reject() override;  // Cancel and Escape ask the worker to stop; the dialog stays
  void keyPressEvent(QKeyEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void OnTick();
  void CheckWatchdog();

  QLabel* m_status;
  QLabel* m_detail;
  QLabel* m_cancelLine;
  QProgressBar* m_bar;
  QPushButton* m_cancel;
  CNodeProcess* m_process = nullptr;
  std::unique_ptr<ProcessDriver> m_driver;
  Watchdog m_watchdog = Watchdog::Off;
  int m_timerId = 0;
  int m_lastPercent = -1;
  bool m_cancelled = false;
  bool m_abandoned = false;
  QElapsedTimer m_cancelTime;
  int m_watchdogTimeout = 10000;
};

}  // namespace mlf
