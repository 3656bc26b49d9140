#include "imaging/bmp_guard.h"

namespace mlf::imaging {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV4Header = 108, kV5Header = 124;
constexpr uint32_t kBitFields = 3;

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::string RebuildBmpForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt) {
  rebuilt->clear();
  if (bytes.size() < kFileHeader + 4) return {};
  const uint32_t headerSize = Le32(bytes, kFileHeader);
  if (headerSize != kV4Header && headerSize != kV5Header) return {};
  if (bytes.size() < kFileHeader + headerSize) return "its header is cut short";
  const uint32_t pixelsAt = Le32(bytes, 10);
  if (pixelsAt < kFileHeader + headerSize || pixelsAt > bytes.size()) return "its pixels lie outside the file";
  const uint32_t compression = Le32(bytes, kFileHeader + 16);
  if (compression > kBitFields) return "its pixels are stored as an embedded JPEG or PNG picture";

  // File header, the first 40 bytes of the header, the three colour masks where the 40-byte
  // form keeps them, then the colour table and the pixels as they were.
  const size_t masks = compression == kBitFields ? 12 : 0;
  const auto header = bytes.subspan(kFileHeader, kInfoHeader + masks);
  const auto rest = bytes.subspan(kFileHeader + headerSize);
  rebuilt->reserve(kFileHeader + header.size() + rest.size());
  rebuilt->assign(bytes.begin(), bytes.begin() + kFileHeader);
  rebuilt->insert(rebuilt->end(), header.begin(), header.end());
  rebuilt->insert(rebuilt->end(), rest.begin(), rest.end());
  const uint32_t shift = headerSize - kInfoHeader - static_cast<uint32_t>(masks);
  PutLe32(*rebuilt, 2, static_cast<uint32_t>(rebuilt->size()));
  PutLe32(*rebuilt, 10, pixelsAt - shift);
  PutLe32(*rebuilt, kFileHeader, kInfoHeader);
  return {};
}

}  // namespace mlf::imaging
