// One gzip member (RFC 1952) per node stream, deflate level 6 with a 32 KB window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mlf {

// Builds a member from content that arrives in pieces. Content up to a few megabytes is
// compressed in one go by libdeflate (about twice as fast as zlib); beyond that it streams
// through zlib so that large files never sit in memory uncompressed.
class GzipWriter {
 public:
  // The header carries 16 fresh random bytes (an FEXTRA subfield "ML" that every decoder
  // ignores), so that equal content never gives equal members: once such a member is
  // encrypted, even with the same password, its bytes differ after the first block.
  GzipWriter();
  ~GzipWriter();
  GzipWriter(const GzipWriter&) = delete;
  GzipWriter& operator=(const GzipWriter&) = delete;

  // The content's length when the caller knows it: the member is then laid out once instead of
  // growing (and being copied) as it streams. Only address space is taken for it up front.
  void ExpectLength(uint64_t contentLength);
  void Put(const void* data, size_t size);
  // Ends the member and hands over its bytes; the writer is spent afterwards.
  std::vector<uint8_t> Finish();

 private:
  class Stream;
  void StartStreaming();

  std::vector<uint8_t> m_member;   // header, then deflate output
  std::vector<uint8_t> m_pending;  // content not compressed yet
  std::unique_ptr<Stream> m_stream;
  uint32_t m_crc = 0;
  uint64_t m_size = 0;
};

struct GunzipResult {
  bool ok = false;
  std::vector<uint8_t> bytes;  // at most the expected length
  std::string error;           // the decoder's error text when not ok
};

// Decodes the member into at most expectedLength bytes (decoding stops there). The output
// buffer never grows beyond what the member can expand to.
GunzipResult Gunzip(const uint8_t* member, size_t size, size_t expectedLength);

}  // namespace mlf
