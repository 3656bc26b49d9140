#include "app/app_settings.h"

namespace mlf {

MlfSettings& AppSettings() {
  static MlfSettings settings;
  return settings;
}

}  // namespace mlf

namespace mlf {

bool& AppZoomMode() {
  static bool zoomMode = false;
  return zoomMode;
}

}  // namespace mlf
