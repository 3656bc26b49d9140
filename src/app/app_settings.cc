#include "app/app_settings.h"

namespace mlf {

MlfSettings& AppSettings() {
  static MlfSettings settings;
  return settings;
}

}  // namespace mlf
