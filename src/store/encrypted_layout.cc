#include "store/encrypted_layout.h"

namespace mlf {

uint32_t ReadLe32(const uint8_t* b) {
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void PutLe32(uint8_t* b, uint32_t value) {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::optional<SubHeader> ParseSubHeader(const uint8_t* bytes, size_t size) {
  if (size < 12) return std::nullopt;
  SubHeader header{ReadLe32(bytes + 4), ReadLe32(bytes + 8), 12};
  if (ReadLe32(bytes) == kSubHeaderSize) {
    if (size < kSubHeaderSize) return std::nullopt;
    uint64_t used = uint64_t(kSubHeaderSize) + ReadLe32(bytes + 12);
    if (used > size) return std::nullopt;
    header.bytesUsed = static_cast<uint32_t>(used);
  }
  return header;
}

std::optional<EncryptedData> LocateEncryptedData(const uint8_t* stored, size_t size, uint32_t testLength,
                                                 std::string& error) {
  if (testLength > size) {
    error = "the stream is shorter than its password test block";
    return std::nullopt;
  }
  std::optional<SubHeader> header = ParseSubHeader(stored + testLength, size - testLength);
  if (!header) {
    error = "the encrypted stream's sub-header is damaged";
    return std::nullopt;
  }
  EncryptedData data{testLength + header->bytesUsed, size - testLength - header->bytesUsed, header->compressedLength};
  if (header->encryptedLength > data.size || header->compressedLength > data.size) {
    error = "the encrypted stream's lengths exceed the stream";
    return std::nullopt;
  }
  return data;
}

void AppendSubHeader(std::vector<uint8_t>& out, uint32_t encryptedLength, uint32_t compressedLength) {
  uint8_t header[kSubHeaderSize] = {};
  PutLe32(header, kSubHeaderSize);
  PutLe32(header + 4, encryptedLength);
  PutLe32(header + 8, compressedLength);
  out.insert(out.end(), header, header + kSubHeaderSize);
}

}  // namespace mlf
