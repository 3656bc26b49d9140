#include "app/app_settings.h"

#include "convert/text_conv_lib.h"

namespace mlf {

MlfSettings& AppSettings() {
  static MlfSettings settings;
  return settings;
}

void ApplyImportFont() {
  SetImportFont(AppSettings().importFontName, static_cast<int>(AppSettings().importFontSize));
}

}  // namespace mlf

namespace mlf {

bool& AppZoomMode() {
  static bool zoomMode = false;
  return zoomMode;
}

}  // namespace mlf
