#include "store/stream_reader.h"

#include <algorithm>
#include <cstring>

#include "crypt/crypt_provider.h"
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
    // Room for a cipher's padding, so that re-encrypting in place never moves a large node.
    constexpr size_t kPaddingRoom = 64;
    std::vector<uint8_t> stored;
    stored.reserve(size_t(m_stream.nStorageLength) + kPaddingRoom);
    stored.resize(m_stream.nStorageLength);
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
    Fail(ContentError::Damaged, "the stream lies beyond the end of the file");
    return;
  }
  m_buffer = Decode(std::move(*stored));
}

void StreamReader::Fail(ContentError error, const std::string& reason) {
  m_error = error;
  // A wrong password is the caller's to tell; damage and a missing module are reported here.
  if (error != ContentError::WrongPassword) ReportUnreadableStream(m_document, m_stream.nIndex, reason);
}

std::unique_ptr<Cipher> StreamReader::NodeDecryptor(const NTV& record, const std::vector<uint8_t>& stored) {
  const CryptProvider& crypt = m_document.GetCryptProvider();
  if (!crypt.IsAvailable() || !crypt.IsCipherSupported(record.nCryptType) || crypt.MaxKeyLength() < record.nKeyLength) {
    Fail(ContentError::NoEncryption, "the encryption module cannot serve the node");
    return nullptr;
  }
  std::optional<SecureString> password = m_document.GetNodePassword(record.nIndex);
  SecureBytes key = crypt.DeriveKey(record.nHashType, password ? password->view() : std::string_view(), record.nKeyLength);
  std::unique_ptr<Cipher> decryptor = key.size() == record.nKeyLength ? crypt.MakeDecryptor(record.nCryptType, key) : nullptr;
  if (!decryptor) {
    Fail(ContentError::NoEncryption, "the node key could not be made");
    return nullptr;
  }
  // The test block tells a wrong password from damage; nodes stored without one (nothing to
  // compare) are decrypted and left to the checks that follow.
  if (record.nTestLength != 0) {
    std::unique_ptr<Cipher> encryptor = crypt.MakeEncryptor(record.nCryptType, key);
    if (!encryptor || stored.size() < record.nTestLength ||
        encryptor->TestBlock() != std::vector<uint8_t>(stored.begin(), stored.begin() + record.nTestLength)) {
      Fail(ContentError::WrongPassword, {});
      return nullptr;
    }
  }
  return decryptor;
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
      Fail(ContentError::Damaged, error);
      return std::nullopt;
    }
    data += located->offset;
    size = located->size;
    std::unique_ptr<Cipher> decryptor = NodeDecryptor(record, stored);
    if (!decryptor) return std::nullopt;
    if (m_stream.nRawLength == 0) return std::vector<uint8_t>();
    if (size % decryptor->BlockSize() != 0) {
      Fail(ContentError::Damaged, "the encrypted data does not fill whole cipher blocks");
      return std::nullopt;
    }
    if (!CheckIntegrity(IntegrityCheck::StoredBytes, m_stream.nFileDataCRC, Crc32Update(0, data, size), m_document,
                        m_stream.nIndex))
      m_error = ContentError::Damaged;
    uint8_t* plain = stored.data() + (data - stored.data());
    decryptor->Process(plain, size);
    compressedLength = located->compressedLength;
    if (!m_stream.bZipped) {
      size_t n = std::min<size_t>(compressedLength, m_stream.nRawLength);
      return std::vector<uint8_t>(plain, plain + n);
    }
  } else if (!CheckIntegrity(IntegrityCheck::StoredBytes, m_stream.nFileDataCRC, Crc32Update(0, data, size),
                             m_document, m_stream.nIndex)) {
    m_error = ContentError::Damaged;
  }

  GunzipResult result = Gunzip(data, compressedLength, m_stream.nRawLength);
  if (!result.ok) {
    Fail(ContentError::Damaged, result.error);
    return std::nullopt;
  }
  if (result.bytes.size() != m_stream.nRawLength) m_error = ContentError::Damaged;  // delivered, but cut short
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
    if (!ReadAt(m_stream.hFile, uint64_t(m_stream.nLoc) + m_stream.nBytesDone, data, size, error)) {
      m_error = ContentError::Damaged;
      return 0;
    }
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
  if ((m_stream.nBytesDone >= m_stream.nRawLength || shortBufferDone) &&
      !CheckIntegrity(IntegrityCheck::Content, m_stream.nDataCRC, m_contentCrc.Value(), m_document, m_stream.nIndex))
    m_error = ContentError::Damaged;
  return size;
}

}  // namespace mlf
