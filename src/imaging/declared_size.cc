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
  uint32_t Be32(size_t offset) const { return (Be16(offset) << 16) | Be16(offset + 2); }
  bool Tag(size_t offset, const char (&tag)[5]) const {
    return Has(offset, 4) && std::equal(tag, tag + 4, m_bytes.begin() + static_cast<ptrdiff_t>(offset));
  }

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
      if (in.Has(pos, 9)) largest = std::max(largest, uint64_t{in.Le16(pos + 5)} * in.Le16(pos + 7));
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

std::optional<uint64_t> IffPixels(const Reader& in) {
  // FORM <length> <type>, then chunks of <id> <length> <data, padded to even length>.
  for (size_t pos = 12; in.Has(pos, 8); ) {
    const uint64_t length = in.Be32(pos + 4);
    if (in.Tag(pos, "BMHD")) {
      if (!in.Has(pos + 8, 4)) return std::nullopt;
      return uint64_t{in.Be16(pos + 8)} * in.Be16(pos + 10);
    }
    const uint64_t next = pos + 8 + length + (length & 1);
    if (next > SIZE_MAX) break;
    pos = static_cast<size_t>(next);
  }
  return std::nullopt;
}

}  // namespace

std::optional<uint64_t> DeclaredPixelCount(PictureFormat format, std::span<const uint8_t> bytes) {
  const Reader in(bytes);
  switch (format) {
    case PictureFormat::Gif: return GifPixels(in);
    case PictureFormat::Sgi: return SgiPixels(in);
    case PictureFormat::Iff: return IffPixels(in);
    default: return std::nullopt;
  }
}

}  // namespace mlf::imaging
