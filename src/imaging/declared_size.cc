#include "imaging/declared_size.h"

#include <algorithm>

namespace mlf::imaging {
namespace {

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
  bool Has(size_t offset, size_t count) const {
    return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
  }
  uint8_t U8(size_t offset) const { return m_bytes[offset]; }
  uint32_t Le16(size_t offset) const { return m_bytes[offset] | (m_bytes[offset + 1] << 8); }
  uint32_t Be16(size_t offset) const { return (m_bytes[offset] << 8) | m_bytes[offset + 1]; }

 private:
  std::span<const uint8_t> m_bytes;
};

std::optional<uint64_t> GifPixels(const Reader& in) {
  if (!in.Has(0, 13)) return std::nullopt;
  uint64_t largest = uint64_t{in.Le16(6)} * in.Le16(8);
  size_t pos = 13;
  if (in.U8(10) & 0x80) pos += 3u << ((in.U8(10) & 7) + 1);  // global colour table
  // Skip extension blocks up to the first image descriptor.
  while (in.Has(pos, 1)) {
    const uint8_t introducer = in.U8(pos);
    if (introducer == 0x2C) {
      if (in.Has(pos, 9))
        largest = std::max(largest, uint64_t{in.Le16(pos + 5)} * in.Le16(pos + 7));
      break;
    }
    if (introducer != 0x21 || !in.Has(pos, 2)) break;
    pos += 2;
    while (in.Has(pos, 1) && in.U8(pos) != 0) pos += 1 + in.U8(pos);
    pos += 1;
  }
  return largest;
}

std::optional<uint64_t> SgiPixels(const Reader& in) {
  if (!in.Has(0, 12)) return std::nullopt;
  return uint64_t{in.Be16(6)} * in.Be16(8);
}

}  // namespace

std::optional<uint64_t> DeclaredPixelCount(PictureFormat format, std::span<const uint8_t> bytes) {
  const Reader in(bytes);
  switch (format) {
    case PictureFormat::Gif: return GifPixels(in);
    case PictureFormat::Sgi: return SgiPixels(in);
    default: return std::nullopt;
  }
}

}  // namespace mlf::imaging
