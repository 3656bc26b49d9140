#include "store/stream_reader.h"

#include <algorithm>
#include <cstring>

#include "diagnostics/log.h"
#include "store/document.h"
#include "store/encrypted_layout.h"
#include "store/gzip.h"
#include "store/integrity_report.h"
#include "store/node_key.h"

namespace mlf {
namespace {

// Reads count bytes at offset, checked against the file's size first.
bool ReadAt(File* file, uint64_t offset, void* data, size_t count, std::string& error) {
  if (!file) {
    error = "no file to read from";
    return false;
  }
  if (offset + count > file->Size()) {
    error = "the stream lies beyond the end of the file";
    return false;
  }
  file->Seek(offset);
  file->ReadExact(data, count);
  return true;
}

}  // namespace

StreamReader::StreamReader(CMarrowleafDoc& document, uint32_t nodeId) : m_document(document) {
  MLFSTREAMHANDLE handle;
  m_document.Data_OpenStream(nodeId, false, &handle, false);
  m_streamId = handle.nStreamId;
  if (IsOpen()) m_document.Data_GetStream(m_streamId, m_stream);
}

StreamReader::~StreamReader() {
  if (IsOpen()) m_document.Data_CloseStream(m_streamId);
}

bool StreamReader::ReadStoredPrefix(void* data, size_t size) {
  if (!IsOpen() || size > m_stream.nStorageLength) return false;
  auto lock = m_document.Lock();
  std::string error;
  try {
    return ReadAt(m_stream.hFile, m_stream.nLoc, data, size, error);
  } catch (const FileError&) {
    return false;
  }
}

std::optional<std::vector<uint8_t>> StreamReader::ReadStored() {
  if (!IsOpen()) return std::nullopt;
  auto lock = m_document.Lock();
  std::string error;
  try {
    // Checked against the file before anything is allocated: a damaged length costs nothing.
    if (!m_stream.hFile || uint64_t(m_stream.nLoc) + m_stream.nStorageLength > m_stream.hFile->Size())
      return std::nullopt;
    std::vector<uint8_t> stored(m_stream.nStorageLength);
    if (!ReadAt(m_stream.hFile, m_stream.nLoc, stored.data(), stored.size(), error)) return std::nullopt;
    return stored;
  } catch (const FileError&) {
    return std::nullopt;
  }
}

void StreamReader::PrepareReadBuffer() {
  m_contentCrc.Restart();
  m_buffer.reset();
  m_stream.nBytesDone = 0;
  if (!IsOpen()) return;
  m_mode = m_stream.bZipped || m_stream.bEncrypted ? rfBuffer : rfFile;
  if (m_mode == rfFile) return;

  // Only the read holds the document; decoding runs without it, so two threads can decode two
  // nodes of one document at once.
  std::optional<std::vector<uint8_t>> stored = ReadStored();
  if (!stored) {
    ReportUnreadableStream("the stream lies beyond the end of the file");
    return;
  }
  m_buffer = Decode(std::move(*stored));
}

std::optional<std::vector<uint8_t>> StreamReader::Decode(std::vector<uint8_t> stored) {
  NTV record;
  m_document.Data_GetItem(m_stream.nIndex, record);
  const uint8_t* data = stored.data();
  size_t size = stored.size();
  size_t compressedLength = size;

  if (m_stream.bEncrypted) {
    std::string error;
    std::optional<EncryptedData> located = LocateEncryptedData(data, size, record.nTestLength, error);
    if (!located) {
      ReportUnreadableStream(error);
      return std::nullopt;
    }
    data += located->offset;
    size = located->size;
    if (m_stream.nRawLength == 0) return std::vector<uint8_t>();
    std::unique_ptr<Cipher> decryptor = MakeNodeCipher(m_document, CipherDirection::Decrypt, record);
    if (!decryptor) {
      ReportUnreadableStream("the node key could not be made");
      return std::nullopt;
    }
    if (size % decryptor->BlockSize() != 0) {
      ReportUnreadableStream("the encrypted data does not fill whole cipher blocks");
      return std::nullopt;
    }
    CheckIntegrity(IntegrityCheck::StoredBytes, m_stream.nFileDataCRC, Crc32Update(0, data, size), m_document,
                   m_stream.nIndex);
    uint8_t* plain = stored.data() + (data - stored.data());
    decryptor->Process(plain, size);
    compressedLength = located->compressedLength;
    if (!m_stream.bZipped) {
      size_t n = std::min<size_t>(compressedLength, m_stream.nRawLength);
      return std::vector<uint8_t>(plain, plain + n);
    }
  } else {
    CheckIntegrity(IntegrityCheck::StoredBytes, m_stream.nFileDataCRC, Crc32Update(0, data, size), m_document,
                   m_stream.nIndex);
  }

  GunzipResult result = Gunzip(data, compressedLength, m_stream.nRawLength);
  if (!result.ok) {
    ReportUnreadableStream(result.error);
    return std::nullopt;
  }
  return std::move(result.bytes);
}

size_t StreamReader::Get(void* data, size_t size) {
  if (!IsOpen()) return 0;
  size = std::min<size_t>(size, m_stream.nRawLength - std::min(m_stream.nRawLength, m_stream.nBytesDone));
  if (size == 0) return 0;
  if (m_mode == rfFile) {
    AppLog().WriteLine("WARNING: Using old rfFile method in CMlfNodeData::Get function");
    auto lock = m_document.Lock();
    std::string error;
    if (!ReadAt(m_stream.hFile, uint64_t(m_stream.nLoc) + m_stream.nBytesDone, data, size, error)) return 0;
  } else if (!m_buffer) {
    AppLog().WriteLine("WARNING: m_lpBuffer was NULL in call to CMlfNodeData::Get with m_nReadMode := rfBuffer");
    static_cast<uint8_t*>(data)[0] = 0;
    return 0;  // nothing was decoded, so nothing is delivered
  } else {
    size = std::min<size_t>(size, m_buffer->size() - std::min<size_t>(m_buffer->size(), m_stream.nBytesDone));
    if (size == 0) return 0;
    std::memcpy(data, m_buffer->data() + m_stream.nBytesDone, size);
  }
  if (m_stream.nBytesDone == 0) m_contentCrc.Restart();
  m_contentCrc.Update(data, size);
  m_stream.nBytesDone += static_cast<uint32_t>(size);
  bool shortBufferDone = m_mode == rfBuffer && m_stream.nBytesDone >= m_buffer->size();
  if (m_stream.nBytesDone >= m_stream.nRawLength || shortBufferDone)
    CheckIntegrity(IntegrityCheck::Content, m_stream.nDataCRC, m_contentCrc.Value(), m_document, m_stream.nIndex);
  return size;
}

}  // namespace mlf
