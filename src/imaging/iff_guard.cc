#include "imaging/iff_guard.h"

#include <algorithm>

namespace mlf::imaging {
namespace {

uint32_t Be16(std::span<const uint8_t> b, size_t at) { return uint32_t(b[at] << 8 | b[at + 1]); }
uint32_t Be32(std::span<const uint8_t> b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }
bool IsTag(std::span<const uint8_t> b, size_t at, const char (&tag)[5]) {
  return std::equal(tag, tag + 4, b.begin() + static_cast<ptrdiff_t>(at));
}

struct BitmapHeader {
  uint32_t width = 0, height = 0;
  uint8_t compression = 0;
};

// The rows of a compressed PBM body must each unpack to exactly one line, with their bytes in
// the file; the library would write past the line, or spin at the end of the file.
std::string CheckPackedRows(std::span<const uint8_t> bytes, size_t pos,
                            const BitmapHeader& header) {
  const uint64_t line = (uint64_t{header.width} + 1) & ~uint64_t{1};
  for (uint32_t row = 0; row < header.height; ++row) {
    for (uint64_t written = 0; written < line;) {
      if (pos >= bytes.size()) return "its picture data is cut short";
      const uint8_t count = bytes[pos++];
      if (count == 128) continue;
      const uint64_t run = count < 128 ? count + 1u : 257u - count;
      const uint64_t stored = count < 128 ? run : 1;
      if (run > line - written) return "a packed row is longer than the picture is wide";
      if (stored > bytes.size() - pos) return "its picture data is cut short";
      pos += static_cast<size_t>(stored);
      written += run;
    }
  }
  return {};
}

}  // namespace

std::string CheckIffChunks(std::span<const uint8_t> bytes, uint64_t maxPixels) {
  if (bytes.size() < 12) return "its header is cut short";
  const bool packedBitmap = IsTag(bytes, 8, "PBM ");
  uint64_t left = Be32(bytes, 4);  // what the FORM length leaves for the chunks
  if (left < 4) return "its length is damaged";
  left -= 4;
  bool haveHeader = false;
  BitmapHeader header;
  for (size_t pos = 12; left != 0;) {
    if (pos > bytes.size() || bytes.size() - pos < 8)
      return "its chunks run past the end of the file";
    const uint64_t size = Be32(bytes, pos + 4);
    const size_t data = pos + 8;
    if (IsTag(bytes, pos, "BMHD")) {
      if (bytes.size() - data < 20) return "its bitmap header is cut short";
      header = {Be16(bytes, data), Be16(bytes, data + 2), bytes[data + 10]};
      if (uint64_t{header.width} * header.height > maxPixels) return "its picture is too large";
      haveHeader = true;
    } else if (IsTag(bytes, pos, "BODY") || IsTag(bytes, pos, "CMAP")) {
      // The library reads on only from a body that follows a bitmap header, and stops there.
      if (!haveHeader) return {};
      if (IsTag(bytes, pos, "BODY"))
        return packedBitmap && header.compression == 1 ? CheckPackedRows(bytes, data, header)
                                                       : std::string();
    }
    const uint64_t padded = 8 + size + (size & 1);
    if (padded > left) return "its chunk lengths do not add up to its length";
    left -= padded;
    pos = data + static_cast<size_t>(size + (size & 1));
  }
  return {};
}

}  // namespace mlf::imaging
