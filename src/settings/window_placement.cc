#include "settings/window_placement.h"

#include <algorithm>
#include <cstring>

namespace mlf {
namespace {

void Unpack(const std::vector<uint8_t>& bytes, int32_t* fields, size_t count) {
  for (size_t i = 0; i < count && 4 * i + 4 <= bytes.size(); ++i)
    fields[i] = static_cast<int32_t>(uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 |
                                     uint32_t(bytes[4 * i + 2]) << 16 | uint32_t(bytes[4 * i + 3]) << 24);
}

std::vector<uint8_t> Pack(const int32_t* fields, size_t count) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < count; ++i)
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(fields[i]) >> (8 * b)));
  return bytes;
}

}  // namespace

WindowPlacement UnpackPlacement(const std::vector<uint8_t>& bytes) {
  int32_t fields[11] = {};
  Unpack(std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 44)), fields, 11);
  WindowPlacement p;
  std::memcpy(&p, fields, sizeof fields);
  return p;
}

std::vector<uint8_t> PackPlacement(const WindowPlacement& placement) {
  int32_t fields[11];
  std::memcpy(fields, &placement, sizeof fields);
  std::vector<uint8_t> bytes = Pack(fields, 11);
  bytes.resize(static_cast<size_t>(std::clamp(placement.length, 0, WindowPlacement::kSize)));
  return bytes;
}

ScreenRect UnpackRect(const std::optional<std::vector<uint8_t>>& bytes) {
  int32_t f[4] = {};
  if (bytes && bytes->size() == 16) Unpack(*bytes, f, 4);
  return {f[0], f[1], f[2], f[3]};
}

std::vector<uint8_t> PackRect(const ScreenRect& rect) {
  int32_t f[4] = {rect.left, rect.top, rect.right, rect.bottom};
  return Pack(f, 4);
}

}  // namespace mlf
