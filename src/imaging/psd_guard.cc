#include "imaging/psd_guard.h"

#include <optional>

namespace mlf::imaging {
namespace {

constexpr uint32_t kResourceIndexedColourCount = 1046;
constexpr uint32_t kResourceTransparencyIndex = 1047;

// Reads big-endian fields in order; every read past the end fails instead of reading on.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
  size_t Position() const { return m_pos; }
  size_t Remaining() const { return m_bytes.size() - m_pos; }
  bool Skip(uint64_t count) {
    if (count > Remaining()) return false;
    m_pos += static_cast<size_t>(count);
    return true;
  }
  std::optional<uint64_t> Be(int size) {
    if (static_cast<size_t>(size) > Remaining()) return std::nullopt;
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | m_bytes[m_pos++];
    return value;
  }
  std::span<const uint8_t> Bytes(size_t from, size_t to) const {
    return m_bytes.subspan(from, to - from);
  }

 private:
  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
};

void Append(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendBe(std::vector<uint8_t>& out, uint64_t value, int size) {
  for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Copies the resource blocks that change pixels; false when a block runs past its section.
bool CopyPixelResources(Reader& in, uint64_t sectionLength, std::vector<uint8_t>& kept) {
  const size_t end = in.Position() + static_cast<size_t>(sectionLength);
  while (in.Position() < end) {
    const size_t start = in.Position();
    auto signature = in.Be(4), id = in.Be(2), nameLength = in.Be(1);
    // The name is a Pascal string padded to an even length, its length byte included.
    if (!signature || !id || !nameLength || !in.Skip(*nameLength + (*nameLength % 2 == 0 ? 1 : 0)))
      return false;
    auto size = in.Be(4);
    if (!size || !in.Skip(*size + (*size & 1)) || in.Position() > end) return false;
    if ((*id == kResourceIndexedColourCount || *id == kResourceTransparencyIndex) && *size == 2)
      Append(kept, in.Bytes(start, in.Position()));
  }
  return true;
}

// A PackBits row must stay inside its own bytes and unpack to no more than one line.
bool IsSoundPackBitsRow(std::span<const uint8_t> row, uint64_t lineSize) {
  uint64_t unpacked = 0;
  for (size_t i = 0; i < row.size();) {
    const uint8_t header = row[i++];
    if (header < 128) {
      const size_t literal = header + 1u;
      if (literal > row.size() - i) return false;
      i += literal;
      unpacked += literal;
    } else if (header > 128) {
      if (i >= row.size()) return false;
      ++i;
      unpacked += 257u - header;
    }
    if (unpacked > lineSize) return false;
  }
  return true;
}

}  // namespace

std::string RebuildPsdForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt) {
  Reader in(bytes);
  auto signature = in.Be(4), version = in.Be(2);
  const bool reserved = in.Skip(6);
  auto channels = in.Be(2), height = in.Be(4), width = in.Be(4), depth = in.Be(2), mode = in.Be(2);
  if (!mode || !reserved || *signature != 0x38425053 || (*version != 1 && *version != 2))
    return "its header is damaged";
  const uint64_t maxSide = *version == 1 ? 30000 : 300000;
  if (*channels < 1 || *channels > 56 || *width < 1 || *height < 1 || *width > maxSide ||
      *height > maxSide)
    return "its header gives an impossible size";
  if (*depth != 1 && *depth != 8 && *depth != 16 && *depth != 32)
    return "it has " + std::to_string(*depth) + " bits per channel";
  if (*mode > 9 || *mode == 5 || *mode == 6 || ((*mode == 0) != (*depth == 1)))
    return "its colour mode is unknown";

  auto colourLength = in.Be(4);
  if (!colourLength || !in.Skip(*colourLength)) return "its colour table is cut short";
  const size_t colourEnd = in.Position();

  std::vector<uint8_t> resources;
  auto resourcesLength = in.Be(4);
  if (!resourcesLength || *resourcesLength > in.Remaining() ||
      !CopyPixelResources(in, *resourcesLength, resources))
    return "its resources are damaged";

  const int sizeField = *version == 1 ? 4 : 8;  // the large document format widens lengths
  auto layersLength = in.Be(sizeField);
  if (!layersLength || !in.Skip(*layersLength)) return "its layer section is cut short";

  const size_t imageStart = in.Position();
  auto compression = in.Be(2);
  if (!compression) return "it holds no image data";
  if (*compression > 1) return "its image data is compressed in a way that cannot be decoded";
  if (*compression == 1) {
    const uint64_t lineSize = *depth == 1 ? (*width + 7) / 8 : *width * (*depth / 8);
    const uint64_t rows = *channels * *height;
    const int countSize = *version == 1 ? 2 : 4;
    if (rows * countSize > in.Remaining()) return "its row table is cut short";
    Reader counts = in;
    in.Skip(rows * countSize);
    for (uint64_t row = 0; row < rows; ++row) {
      const uint64_t count = *counts.Be(countSize);
      const size_t start = in.Position();
      if (!in.Skip(count) || !IsSoundPackBitsRow(in.Bytes(start, in.Position()), lineSize))
        return "its compressed rows are damaged";
    }
  }

  rebuilt->clear();
  Append(*rebuilt, in.Bytes(0, colourEnd));
  AppendBe(*rebuilt, resources.size(), 4);
  Append(*rebuilt, resources);
  AppendBe(*rebuilt, 0, sizeField);
  Append(*rebuilt, bytes.subspan(imageStart));
  return {};
}

}  // namespace mlf::imaging
