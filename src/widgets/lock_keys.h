// The state of the Caps Lock, Num Lock and Scroll Lock keys, for the status bar's indicators.
#pragma once

#include <optional>

namespace mlf {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// Empty where the windowing system does not tell (Wayland, the offscreen platform).
std::optional<LockKeys> QueryLockKeys();

}  // namespace mlf
