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

std::vector<uint8_t> StreamWriter::StoredBytes() {
  if (!m_gzip) {
    m_stream.nFileDataCRC = m_stream.nDataCRC;  // the stored bytes are the content
    return std::move(m_raw);
  }
  std::vector<uint8_t> member = m_gzip->Finish();
  m_gzip.reset();
  m_stream.nRawLength = static_cast<uint32_t>(m_contentLength);
  if (!m_stream.bEncrypted) {
    m_stream.nFileDataCRC = Crc32Update(0, member.data(), member.size());
    return member;
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
    return {};
  }
  uint32_t compressedLength = static_cast<uint32_t>(member.size());
  PadAndEncrypt(*encryptor, member);
  m_stream.nFileDataCRC = Crc32Update(0, member.data(), member.size());
  std::vector<uint8_t> stored = encryptor->TestBlock();
  AppendSubHeader(stored, static_cast<uint32_t>(member.size()), compressedLength);
  stored.insert(stored.end(), member.begin(), member.end());
  return stored;
}

bool StreamWriter::Finish() {
  if (!IsOpen()) return false;
  if (m_contentLength > std::numeric_limits<uint32_t>::max() || !m_stream.hFile) {
    Drop();
    return false;
  }
  m_stream.nDataCRC = m_contentCrc.Value();  // 0 for no content, as no CRC recorded
  std::vector<uint8_t> stored = StoredBytes();
  if (m_stream.bEncrypted && stored.empty()) {
    Drop();
    return false;
  }
  try {
    CommitStream(m_document, m_streamId, m_stream, stored);
  } catch (...) {
    Drop();
    throw;
  }
  m_streamId = 0;
  return true;
}

void CommitStream(CMarrowleafDoc& document, int32_t streamId, MLFSTREAM& stream, const std::vector<uint8_t>& stored) {
  auto lock = document.Lock();
  if (!stream.hFile) throw FileError("", "no work file");
  // Appended where the work file ends now, so streams finished in any order never overlap.
  uint64_t end = stream.hFile->Size();
  if (end + stored.size() > std::numeric_limits<uint32_t>::max()) throw FileError(stream.hFile->Path(), "the work file is full");
  stream.nLoc = static_cast<uint32_t>(end);
  stream.hFile->Seek(end);
  stream.hFile->Write(stored.data(), stored.size());
  stream.nBytesDone = stream.nStorageLength = static_cast<uint32_t>(stored.size());
  document.Data_SetStream(streamId, stream);
  document.Data_CloseStream(streamId);
}

}  // namespace mlf
