// The window placement record as stored: eleven signed 32-bit little-endian fields, 44 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace mlf {

struct WindowPlacement {
  int32_t length = 0;  // 44 when set; 0 means "none"
  int32_t flags = 0;
  int32_t showState = 0;
  int32_t minX = 0, minY = 0;
  int32_t maxX = 0, maxY = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  static constexpr int32_t kSize = 44;
  bool IsSet() const { return length != 0; }
};

// Show states of the record.
constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMinimized = 2;
constexpr int32_t kShowMaximized = 3;

// Reads at most 44 bytes; fields beyond the bytes given stay 0.
WindowPlacement UnpackPlacement(const std::vector<uint8_t>& bytes);
// As many bytes as the record's own length says (an unset record gives no bytes).
std::vector<uint8_t> PackPlacement(const WindowPlacement& placement);

struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

// 16 bytes: left, top, right, bottom. Anything else reads as all zero.
ScreenRect UnpackRect(const std::optional<std::vector<uint8_t>>& bytes);
std::vector<uint8_t> PackRect(const ScreenRect& rect);

}  // namespace mlf
