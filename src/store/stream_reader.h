// The read pipeline of one node stream. PrepareReadBuffer decodes a compressed or encrypted
// stream into one buffer of its raw length (checking the CRC of the stored bytes); a raw
// stream is read straight from its file. Get then delivers the content in pieces and checks
// the CRC of the content once all of it was delivered.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "store/crc32.h"
#include "store/stream_record.h"

namespace mlf {

class CMarrowleafDoc;

enum ReadMode { rfFile = 0, rfBuffer = 1 };

class StreamReader {
 public:
  // Opens a read stream on the node.
  StreamReader(CMarrowleafDoc& document, uint32_t nodeId);
  ~StreamReader();
  StreamReader(const StreamReader&) = delete;
  StreamReader& operator=(const StreamReader&) = delete;

  // -1 for an unknown node, 0 when it has no stored data, else the open stream.
  int32_t StreamId() const { return m_streamId; }
  bool IsOpen() const { return m_streamId > 0; }
  const MLFSTREAM& Stream() const { return m_stream; }

  void PrepareReadBuffer();
  ReadMode Mode() const { return m_mode; }
  // False after a failed decode in buffer mode.
  bool HasBuffer() const { return m_buffer.has_value(); }

  // Delivers up to size bytes of content; 0 at the end.
  size_t Get(void* data, size_t size);
  // The first size stored bytes of the stream (the password test block); false when the
  // stream is shorter or the file cannot be read.
  bool ReadStoredPrefix(void* data, size_t size);
  // All stored bytes, as they lie in the file; empty when they lie beyond its end.
  std::optional<std::vector<uint8_t>> ReadStored();

 private:
  std::optional<std::vector<uint8_t>> Decode(std::vector<uint8_t> stored);

  CMarrowleafDoc& m_document;
  int32_t m_streamId = 0;
  MLFSTREAM m_stream;
  ReadMode m_mode = rfFile;
  std::optional<std::vector<uint8_t>> m_buffer;
  Crc32 m_contentCrc;
};

}  // namespace mlf
