#include "imaging/pcx_guard.h"

namespace mlf::imaging {

std::string CheckPcxHeader(std::span<const uint8_t> bytes) {
  constexpr size_t kHeaderSize = 128;
  if (bytes.size() < kHeaderSize) return "its header is cut short";
  const auto le16 = [&](size_t at) { return uint32_t(bytes[at] | bytes[at + 1] << 8); };
  const uint32_t xMin = le16(4), yMin = le16(6), xMax = le16(8), yMax = le16(10);
  if (xMax < xMin || yMax < yMin) return "its picture window is empty";
  const uint64_t width = uint64_t{xMax} - xMin + 1;
  const uint64_t bitsPerPixel = bytes[3], bytesPerLine = le16(66);
  if (bitsPerPixel == 0 || bytes[65] == 0) return "its header is damaged";
  const uint64_t needed = (width * bitsPerPixel + 7) / 8;
  if (bytesPerLine < needed) return "its rows are shorter than the picture is wide";
  // Rows are padded to an even length at most; far longer ones only cost decoding time.
  if (bytesPerLine > needed + 64) return "its rows are far longer than the picture is wide";
  return {};
}

}  // namespace mlf::imaging
