#include "store/reencrypt.h"

#include <vector>

#include "crypt/crypt_provider.h"
#include "store/crc32.h"
#include "store/document.h"
#include "store/encrypted_layout.h"
#include "store/gzip.h"
#include "store/integrity_report.h"
#include "store/node_key.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"

namespace mlf {
namespace {

// The node's gzip member, freed from its old key; empty optional when it cannot be read.
std::optional<std::vector<uint8_t>> PlainMember(CMarrowleafDoc& document, const NTV& record, Cipher* oldDecryptor) {
  StreamReader reader(document, record.nIndex);
  if (!reader.IsOpen()) return GzipWriter().Finish();  // no stored data yet: an empty member
  std::optional<std::vector<uint8_t>> read = reader.ReadStored();
  if (!read) return std::nullopt;
  std::vector<uint8_t>& stored = *read;

  if (!(record.nFlags & kNodeEncrypted)) {
    CheckIntegrity(IntegrityCheck::StoredBytes, record.nFileDataCRC, Crc32Update(0, stored.data(), stored.size()),
                   document, record.nIndex);
    if (record.nFlags & kNodeCompressed) return read;
    // A raw stream is compressed first: encryption works on the compressed form only.
    GzipWriter gzip;
    gzip.Put(stored.data(), stored.size());
    return gzip.Finish();
  }

  std::string error;
  std::optional<EncryptedData> located = LocateEncryptedData(stored.data(), stored.size(), record.nTestLength, error);
  if (!oldDecryptor || !located || located->size % oldDecryptor->BlockSize() != 0) return std::nullopt;
  size_t start = located->offset, size = located->size;
  CheckIntegrity(IntegrityCheck::StoredBytes, record.nFileDataCRC, Crc32Update(0, stored.data() + start, size),
                 document, record.nIndex);
  oldDecryptor->Process(stored.data() + start, size);
  // Freed from its key in place: a large node is held once.
  stored.resize(start + located->compressedLength);
  stored.erase(stored.begin(), stored.begin() + static_cast<ptrdiff_t>(start));
  return read;
}

}  // namespace

bool ReencryptStream(CMarrowleafDoc& document, uint32_t nodeId, Cipher* newEncryptor, Cipher* oldDecryptor,
                     uint32_t& newTestLength) {
  newTestLength = 0;
  NTV record;
  if (!document.Data_GetItem(nodeId, record)) return false;
  std::optional<std::vector<uint8_t>> member = PlainMember(document, record, oldDecryptor);
  if (!member) return false;

  std::vector<uint8_t> prefix;  // the test block and sub-header of an encrypted stream
  if (newEncryptor) {
    prefix = newEncryptor->TestBlock();
    newTestLength = static_cast<uint32_t>(prefix.size());
    uint32_t compressedLength = static_cast<uint32_t>(member->size());
    PadAndEncrypt(*newEncryptor, *member);
    AppendSubHeader(prefix, static_cast<uint32_t>(member->size()), compressedLength);
  }
  uint32_t newCrc = Crc32Update(0, member->data(), member->size());

  MLFSTREAMHANDLE handle;
  document.Data_OpenStream(nodeId, true, &handle, true);
  MLFSTREAM stream;
  if (!document.Data_GetStream(handle.nStreamId, stream)) return false;
  stream.bZipped = 1;
  stream.bEncrypted = newEncryptor ? 1 : 0;
  stream.nRawLength = record.nRawLength;
  // An encrypted node records no CRC of its content: in clear, it would confirm a guess of it.
  stream.nDataCRC = newEncryptor ? 0 : record.nDataCRC;
  stream.nFileDataCRC = newCrc;
  try {
    CommitStream(document, handle.nStreamId, stream, prefix, *member);
  } catch (const FileError&) {
    stream.bForOutput = 0;  // nothing is committed; the node keeps its old bytes
    document.Data_SetStream(handle.nStreamId, stream);
    document.Data_CloseStream(handle.nStreamId);
    throw;
  }
  return true;
}

}  // namespace mlf
