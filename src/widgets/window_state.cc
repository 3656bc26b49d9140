#include "widgets/window_state.h"

#include <QWidget>

namespace mlf {

bool IsMinimizedState(int32_t showState) {
  return showState == kShowMinimized || showState == kShowMinimize || showState == kShowMinNoActive;
}

int32_t StartupShowState(int32_t saved, bool startInTray) {
  if (startInTray) return kShowMinimize;
  if (saved == 0 || saved == kShowMinimized || saved == kShowMinimize) return kShowNormal;
  return saved;
}

WindowPlacement CapturePlacement(const QWidget& window) {
  WindowPlacement placement;
  placement.length = WindowPlacement::kSize;
  placement.showState = window.isMinimized() ? kShowMinimized : window.isMaximized() ? kShowMaximized : kShowNormal;
  QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.right() + 1;
  placement.bottom = normal.bottom() + 1;
  return placement;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& placement) {
  window.setGeometry(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
  if (placement.showState == kShowMaximized) window.showMaximized();
  else if (IsMinimizedState(placement.showState)) window.showMinimized();
  else window.show();
}

}  // namespace mlf
