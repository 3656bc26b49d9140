#include "imaging/tga_guard.h"

#include <algorithm>
#include <string_view>

namespace mlf::imaging {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr std::string_view kFooterSignature("TRUEVISION-XFILE.\0", 18);
constexpr size_t kFooterSize = 26;

uint32_t Le16(std::span<const uint8_t> b, size_t at) { return uint32_t(b[at] | b[at + 1] << 8); }

// Where the library starts reading pixels: after the image id and, depending on the pixel
// depth, all of the colour map, its entries rounded to whole bytes, or none of it.
uint64_t PixelDataStart(std::span<const uint8_t> bytes, unsigned depth) {
  const uint64_t idEnd = kHeaderSize + bytes[0];
  if (bytes[1] == 0) return idEnd;
  const uint64_t entries = Le16(bytes, 5), entryBits = bytes[7];
  if (depth == 8) return idEnd + entries * entryBits / 8;
  if (depth == 15 || depth == 16) return idEnd + (entryBits + 7) / 8 * entries;
  return idEnd;
}

std::string CheckRunLengths(std::span<const uint8_t> bytes, unsigned depth) {
  const uint64_t pixelSize = (depth + 7) / 8;
  const uint64_t pixels = uint64_t{Le16(bytes, 12)} * Le16(bytes, 14);
  uint64_t pos = PixelDataStart(bytes, depth);
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

bool HasFooter(std::span<const uint8_t> bytes) {
  return bytes.size() >= kHeaderSize + kFooterSize &&
         std::equal(kFooterSignature.begin(), kFooterSignature.end(),
                    bytes.end() - static_cast<ptrdiff_t>(kFooterSignature.size()));
}

}  // namespace

std::string RebuildTgaForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt) {
  if (bytes.size() < kHeaderSize) return "its header is cut short";
  const unsigned imageType = bytes[2], depth = bytes[16];
  // The library reads only these depths; it refuses the others by itself.
  const bool readable = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
  if (readable && imageType >= 9 && imageType <= 11) {
    if (std::string flaw = CheckRunLengths(bytes, depth); !flaw.empty()) return flaw;
  }
  const auto kept = HasFooter(bytes) ? bytes.first(bytes.size() - kFooterSize) : bytes;
  rebuilt->assign(kept.begin(), kept.end());
  // The cache holds (bytes after the pixel data start) / rows bytes and must hold a whole
  // pixel and its packet header.
  const uint64_t rows = Le16(bytes, 14);
  rebuilt->resize(rebuilt->size() + static_cast<size_t>(8 * rows + 8), 0);
  return {};
}

}  // namespace mlf::imaging
