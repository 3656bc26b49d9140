#include "app/splash_wnd.h"

#include <QEvent>

#include "widgets/svg_art.h"

namespace mlf {

CSplashWnd::CSplashWnd(int minimumMs)
    : QSplashScreen(RenderSvg(QStringLiteral(":/art/product_logo.svg"), {}, 2.0), Qt::WindowStaysOnTopHint),
      m_minimumMs(minimumMs) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAccessibleName(QStringLiteral("Quarn Marrowleaf"));
  m_shown.start();
  connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::OnTimer);
  m_timer.start(100);
}

void CSplashWnd::RequestClose() { m_closeRequested = true; }

void CSplashWnd::Dismiss() {
  m_timer.stop();
  close();
}

void CSplashWnd::KeepAbove(QWidget& window) { window.installEventFilter(this); }

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
  // The show event comes before the window is on screen, and a window manager may ignore
  // the stay-on-top hint: raising once control returns puts the splash above in either case.
  if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) raise();
    });
  return QSplashScreen::eventFilter(watched, event);
}

void CSplashWnd::OnTimer() {
  if (m_closeRequested && m_shown.elapsed() > m_minimumMs) Dismiss();
}

}  // namespace mlf
