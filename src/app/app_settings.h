// The settings of the running program: loaded once at start-up and saved once at exit by
// CMlfApp; every window reads and changes them in between.
#pragma once

#include "settings/settings.h"

namespace mlf {

MlfSettings& AppSettings();
// Plain text imported as notes takes the font the options name.
void ApplyImportFont();

// Clicks on a picture zoom; new image views start in this mode. Not saved: off at start-up.
bool& AppZoomMode();

}  // namespace mlf
