// CSplashWnd: the product picture shown while the program starts. It stays at least until its
// minimum-display end and closes within a timer period after a close was requested. It stays
// above the main window, which shows after it.
#pragma once

#include <QElapsedTimer>
#include <QSplashScreen>
#include <QTimer>

namespace mlf {

class CSplashWnd : public QSplashScreen {
  Q_OBJECT
 public:
  explicit CSplashWnd(int minimumMs);
  void RequestClose();
  // Closes at once: a question to the user must never hide behind the splash.
  void Dismiss();
  // Raises the splash again whenever the window shows or becomes active.
  void KeepAbove(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnTimer();

  QElapsedTimer m_shown;
  int m_minimumMs;
  bool m_closeRequested = false;
  QTimer m_timer;
};

}  // namespace mlf
