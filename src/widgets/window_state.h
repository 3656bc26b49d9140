// Window placements as the settings keep them, taken from and given to Qt windows.
#pragma once

#include <cstdint>

#include "settings/window_placement.h"

class QWidget;

namespace mlf {

// Further show states a placement may carry: minimise, and minimise without activating.
constexpr int32_t kShowMinimize = 6;
constexpr int32_t kShowMinNoActive = 7;

bool IsMinimizedState(int32_t showState);
// The state the main window starts in: minimised when it starts in the tray; a saved hidden
// or minimised state starts normal; any other saved state is kept.
int32_t StartupShowState(int32_t saved, bool startInTray);

WindowPlacement CapturePlacement(const QWidget& window);
// The normal rectangle, then the show state.
void ApplyPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace mlf
