#include "imaging/tga_guard.h"

namespace mlf::imaging {

std::string CheckTgaRunLengths(std::span<const uint8_t> bytes) {
  constexpr size_t kHeaderSize = 18;
  if (bytes.size() < kHeaderSize) return "its header is cut short";
  const auto le16 = [&](size_t at) { return uint32_t(bytes[at] | bytes[at + 1] << 8); };
  const uint8_t imageType = bytes[2];
  if (imageType < 9 || imageType > 11) return {};  // not run-length encoded

  const uint64_t colourMapBytes = bytes[1] ? (uint64_t{le16(5)} * bytes[7] + 7) / 8 : 0;
  const uint64_t pixelSize = (bytes[16] + 7u) / 8;
  if (pixelSize == 0 || pixelSize > 4)
    return "it has " + std::to_string(bytes[16]) + " bits per pixel";
  const uint64_t pixels = uint64_t{le16(12)} * le16(14);

  uint64_t pos = kHeaderSize + bytes[0] + colourMapBytes;  // after the image id and colour map
  for (uint64_t done = 0; done < pixels;) {
    if (pos >= bytes.size()) return "its pixel data is cut short";
    const uint8_t packet = bytes[pos++];
    const uint64_t count = (packet & 0x7Fu) + 1;
    const uint64_t dataSize = (packet & 0x80) ? pixelSize : count * pixelSize;
    if (count > pixels - done) return "a run of pixels goes past the end of the picture";
    if (dataSize > bytes.size() - pos) return "its pixel data is cut short";
    pos += dataSize;
    done += count;
  }
  return {};
}

}  // namespace mlf::imaging
