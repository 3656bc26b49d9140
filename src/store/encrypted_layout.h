// The layout of an encrypted stream: the password test block, a 24-byte sub-header
// {size 24, E encrypted length, C compressed length, three reserved words}, then E bytes: the
// gzip member of C bytes encrypted with the node key, zero-padded to the cipher block size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mlf {

constexpr uint32_t kSubHeaderSize = 24;

struct SubHeader {
  uint32_t encryptedLength = 0;  // E
  uint32_t compressedLength = 0;  // C
  uint32_t bytesUsed = 0;         // how far the data lies behind the test block
};

// Reads the sub-header at the start of bytes. A size other than 24 keeps only the first three
// words; a size of 24 also skips as many bytes as its fourth word says. Empty when it does not fit.
std::optional<SubHeader> ParseSubHeader(const uint8_t* bytes, size_t size);
// Where the encrypted data of a stored encrypted stream lies: after the test block and the
// sub-header, to the end of the stream. Empty (with the reason) when the layout is damaged.
struct EncryptedData {
  size_t offset = 0;
  size_t size = 0;
  uint32_t compressedLength = 0;  // C
};
std::optional<EncryptedData> LocateEncryptedData(const uint8_t* stored, size_t size, uint32_t testLength,
                                                 std::string& error);

void AppendSubHeader(std::vector<uint8_t>& out, uint32_t encryptedLength, uint32_t compressedLength);

uint32_t ReadLe32(const uint8_t* bytes);
void PutLe32(uint8_t* bytes, uint32_t value);

}  // namespace mlf
