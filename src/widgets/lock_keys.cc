#include "widgets/lock_keys.h"

#include <QGuiApplication>

#ifdef _WIN32
#include <windows.h>
#elif defined(MLF_HAVE_X11)
#include <X11/XKBlib.h>
#endif

namespace mlf {

std::optional<LockKeys> QueryLockKeys() {
#ifdef _WIN32
  return LockKeys{(GetKeyState(VK_CAPITAL) & 1) != 0, (GetKeyState(VK_NUMLOCK) & 1) != 0,
                  (GetKeyState(VK_SCROLL) & 1) != 0};
#elif defined(MLF_HAVE_X11)
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return std::nullopt;
  unsigned state = 0;
  if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != Success) return std::nullopt;
  // The core keyboard's indicators: bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock.
  return LockKeys{(state & 1) != 0, (state & 2) != 0, (state & 4) != 0};
#else
  return std::nullopt;
#endif
}

}  // namespace mlf
