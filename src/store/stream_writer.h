// The write pipeline of one node stream: content arrives in pieces, then Finish compresses
// it (and encrypts it with the node key when the node is encrypted), appends the stored bytes
// to the work file and commits the stream into the node record.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "store/crc32.h"
#include "store/gzip.h"
#include "store/stream_record.h"

namespace mlf {

class CMarrowleafDoc;

// Appends finished stored bytes (a prefix, such as an encrypted stream's test block and
// sub-header, then the body) to the end of the stream's file in one locked step and commits the
// write stream (its record gets the location and lengths). Taking the two parts apart spares a
// copy of a large body. On a file error the stream is left open and the error thrown.
void CommitStream(CMarrowleafDoc& document, int32_t streamId, MLFSTREAM& stream, std::span<const uint8_t> prefix,
                  std::span<const uint8_t> body);

class StreamWriter {
 public:
  StreamWriter(CMarrowleafDoc& document, uint32_t nodeId, bool compress);
  // A stream that was never finished is dropped; the node keeps its old content.
  ~StreamWriter();
  StreamWriter(const StreamWriter&) = delete;
  StreamWriter& operator=(const StreamWriter&) = delete;

  bool IsOpen() const { return m_streamId > 0; }
  const MLFSTREAM& Stream() const { return m_stream; }

  // A hint: the content's length, when known before it arrives (Put still decides).
  void ExpectLength(uint64_t contentLength);
  void Put(const void* data, size_t size);
  // False when the node key cannot be made or there is no work file; the node then keeps its
  // old content. File errors throw.
  bool Finish();

 private:
  // The stored bytes as a prefix (empty unless encrypted) and a body; false when the node key
  // cannot be made.
  bool StoredBytes(std::vector<uint8_t>& prefix, std::vector<uint8_t>& body);
  void Drop();

  CMarrowleafDoc& m_document;
  int32_t m_streamId = 0;
  MLFSTREAM m_stream;
  Crc32 m_contentCrc;
  uint64_t m_contentLength = 0;
  std::unique_ptr<GzipWriter> m_gzip;
  std::vector<uint8_t> m_raw;
};

}  // namespace mlf
