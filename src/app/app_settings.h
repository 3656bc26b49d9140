// The settings of the running program: loaded once at start-up and saved once at exit by
// CMlfApp; every window reads and changes them in between.
#pragma once

#include "settings/settings.h"

namespace mlf {

MlfSettings& AppSettings();

}  // namespace mlf
