#include "app/splash_wnd.h"

#include "widgets/svg_art.h"

namespace mlf {

CSplashWnd::CSplashWnd(int minimumMs)
    : QSplashScreen(RenderSvg(QStringLiteral(":/art/product_logo.svg"), {}, 2.0)), m_minimumMs(minimumMs) {
  setAttribute(Qt::WA_DeleteOnClose);
  m_shown.start();
  connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::OnTimer);
  m_timer.start(100);
}

void CSplashWnd::RequestClose() { m_closeRequested = true; }

void CSplashWnd::Dismiss() {
  m_timer.stop();
  close();
}

void CSplashWnd::OnTimer() {
  if (m_closeRequested && m_shown.elapsed() > m_minimumMs) Dismiss();
}

}  // namespace mlf
