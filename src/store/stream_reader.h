// The read pipeline of one node stream. PrepareReadBuffer decodes a compressed or encrypted
// stream into one buffer of its raw length (checking the CRC of the stored bytes); a raw
// stream is read straight from its file. Get then delivers the content in pieces and checks
// the CRC of the content once all of it was delivered.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "store/content_error.h"
#include "store/crc32.h"
#include "store/stream_record.h"

namespace mlf {

class CMarrowleafDoc;
class Cipher;
struct NTV;

enum ReadMode { rfFile = 0, rfBuffer = 1 };

class StreamReader {
 public:
  // Opens a read stream on the node.
  StreamReader(CMarrowleafDoc& document, uint32_t nodeId);
  ~StreamReader();
  StreamReader(const StreamReader&) = delete;
  StreamReader& operator=(const StreamReader&) = delete;

  bool IsOpen() const { return m_streamId > 0; }
  const MLFSTREAM& Stream() const { return m_stream; }

  void PrepareReadBuffer();
  ReadMode Mode() const { return m_mode; }
  // Why the content could not be read whole and intact: set by PrepareReadBuffer, and by Get
  // when a read fails or the content fails its check.
  ContentError Error() const { return m_error; }

  // Delivers up to size bytes of content; 0 at the end.
  size_t Get(void* data, size_t size);
  // The first size stored bytes of the stream (the password test block); false when the
  // stream is shorter or the file cannot be read.
  bool ReadStoredPrefix(void* data, size_t size);
  // All stored bytes, as they lie in the file; empty when they lie beyond its end.
  std::optional<std::vector<uint8_t>> ReadStored();

 private:
  std::optional<std::vector<uint8_t>> Decode(std::vector<uint8_t> stored);
  // The decryptor of an encrypted stream whose password matches its test block, else null
  // with the error set.
  std::unique_ptr<Cipher> NodeDecryptor(const NTV& record, const std::vector<uint8_t>& stored);
  void Fail(ContentError error, const std::string& reason);

  CMarrowleafDoc& m_document;
  int32_t m_streamId = 0;
  MLFSTREAM m_stream;
  ReadMode m_mode = rfFile;
  ContentError m_error = ContentError::None;
  std::optional<std::vector<uint8_t>> m_buffer;
  Crc32 m_contentCrc;
};

}  // namespace mlf
