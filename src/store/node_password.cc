#include "store/node_password.h"

#include <vector>

#include "store/document.h"
#include "store/node_key.h"
#include "store/stream_reader.h"

namespace mlf {

bool VerifyNodePassword(CMarrowleafDoc& document, uint32_t nodeId, const SecureString& password) {
  NTV record;
  if (!document.Data_GetItem(nodeId, record) || record.nKeyLength == 0 || record.nTestLength == 0) return false;
  std::unique_ptr<Cipher> encryptor = MakeCipher(document.GetCryptProvider(), CipherDirection::Encrypt,
                                                 record.nCryptType, record.nHashType, record.nKeyLength, password);
  if (!encryptor) return false;
  std::vector<uint8_t> produced = encryptor->TestBlock();
  if (produced.size() != record.nTestLength) return false;
  std::vector<uint8_t> stored(record.nTestLength);
  StreamReader reader(document, nodeId);
  return reader.ReadStoredPrefix(stored.data(), stored.size()) && stored == produced;
}

}  // namespace mlf
