#include "store/stream_writer.h"

#include <limits>

#include "diagnostics/log.h"
#include "store/document.h"
#include "store/encrypted_layout.h"
#include "store/node_key.h"

namespace mlf {

StreamWriter::StreamWriter(CMarrowleafDoc& document, uint32_t nodeId, bool compress) : m_document(document) {
  MLFSTREAMHANDLE handle;
  m_document.Data_OpenStream(nodeId, true, &handle, compress);
  m_streamId = handle.nStreamId;
  if (!IsOpen()) return;
  m_document.Data_GetStream(m_streamId, m_stream);
  // Encryption works on the compressed form only: raw bytes flagged as encrypted could never
  // be read back.
  if (m_stream.bEncrypted) m_stream.bZipped = 1;
  m_stream.nBytesDone = 0;
  if (m_stream.bZipped) m_gzip = std::make_unique<GzipWriter>();
}

StreamWriter::~StreamWriter() { Drop(); }

void StreamWriter::Drop() {
  if (!IsOpen()) return;
  // Closed as a read stream, it commits nothing.
  m_stream.bForOutput = 0;
  m_document.Data_SetStream(m_streamId, m_stream);
  m_document.Data_CloseStream(m_streamId);
  m_streamId = 0;
}

void StreamWriter::ExpectLength(uint64_t contentLength) {
  if (m_gzip && contentLength <= std::numeric_limits<uint32_t>::max()) m_gzip->ExpectLength(contentLength);
}

void StreamWriter::Put(const void* data, size_t size) {
  if (!IsOpen()) return;
  if (m_contentLength == 0) m_contentCrc.Restart();
  m_contentCrc.Update(data, size);
  m_contentLength += size;
  if (m_gzip) {
    m_gzip->Put(data, size);
  } else {
    AppLog().WriteLine("WARNING: Using old wtFile method in CMlfNodeData::Put function");
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_raw.insert(m_raw.end(), bytes, bytes + size);
  }
  m_stream.nBytesDone = static_cast<uint32_t>(m_contentLength);
}

bool StreamWriter::StoredBytes(std::vector<uint8_t>& prefix, std::vector<uint8_t>& body) {
  if (!m_gzip) {
    m_stream.nFileDataCRC = m_stream.nDataCRC;  // the stored bytes are the content
    body = std::move(m_raw);
    return true;
  }
  body = m_gzip->Finish();
  m_gzip.reset();
  m_stream.nRawLength = static_cast<uint32_t>(m_contentLength);
  if (!m_stream.bEncrypted) {
    m_stream.nFileDataCRC = Crc32Update(0, body.data(), body.size());
    return true;
  }
  // No CRC of an encrypted node's content is recorded: in clear, it would confirm a guess of
  // the content. The CRC of the stored bytes and the member's own CRC still guard it.
  m_stream.nDataCRC = 0;
  NTV record;
  m_document.Data_GetItem(m_stream.nIndex, record);
  std::unique_ptr<Cipher> encryptor = MakeNodeCipher(m_document, CipherDirection::Encrypt, record);
  if (!encryptor) {
    AppLog().WriteLine("WARNING: The node key could not be made; node " + std::to_string(m_stream.nIndex) +
                       " keeps its old content");
    return false;
  }
  uint32_t compressedLength = static_cast<uint32_t>(body.size());
  PadAndEncrypt(*encryptor, body);
  m_stream.nFileDataCRC = Crc32Update(0, body.data(), body.size());
  prefix = encryptor->TestBlock();
  AppendSubHeader(prefix, static_cast<uint32_t>(body.size()), compressedLength);
  return true;
}

bool StreamWriter::Finish() {
  if (!IsOpen()) return false;
  if (m_contentLength > std::numeric_limits<uint32_t>::max() || !m_stream.hFile) {
    Drop();
    return false;
  }
  m_stream.nDataCRC = m_contentCrc.Value();  // 0 for no content, as no CRC recorded
  std::vector<uint8_t> prefix, body;
  if (!StoredBytes(prefix, body)) {
    Drop();
    return false;
  }
  try {
    CommitStream(m_document, m_streamId, m_stream, prefix, body);
  } catch (...) {
    Drop();
    throw;
  }
  m_streamId = 0;
  return true;
}

void CommitStream(CMarrowleafDoc& document, int32_t streamId, MLFSTREAM& stream, std::span<const uint8_t> prefix,
                  std::span<const uint8_t> body) {
  auto lock = document.Lock();
  if (!stream.hFile) throw FileError("", "no work file");
  // Appended where the work file ends now, so streams finished in any order never overlap.
  uint64_t end = stream.hFile->Size();
  uint64_t size = prefix.size() + body.size();
  if (end + size > std::numeric_limits<uint32_t>::max()) throw FileError(stream.hFile->Path(), "the work file is full");
  stream.nLoc = static_cast<uint32_t>(end);
  stream.hFile->Seek(end);
  if (!prefix.empty()) stream.hFile->Write(prefix.data(), prefix.size());
  stream.hFile->Write(body.data(), body.size());
  stream.nBytesDone = stream.nStorageLength = static_cast<uint32_t>(size);
  document.Data_SetStream(streamId, stream);
  document.Data_CloseStream(streamId);
}

}  // namespace mlf
