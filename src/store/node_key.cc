#include "store/node_key.h"

#include "store/document.h"

namespace mlf {

std::unique_ptr<Cipher> MakeCipher(const CryptProvider& crypt, CipherDirection direction, uint32_t cipher,
                                   uint32_t keyDerivation, uint32_t keyLength, const SecureString& password) {
  if (keyLength == 0) return nullptr;
  SecureBytes key = crypt.DeriveKey(keyDerivation, password.view(), keyLength);
  if (key.size() != keyLength) return nullptr;
  return direction == CipherDirection::Encrypt ? crypt.MakeEncryptor(cipher, key) : crypt.MakeDecryptor(cipher, key);
}

std::unique_ptr<Cipher> MakeNodeCipher(const CMarrowleafDoc& document, CipherDirection direction, const NTV& record) {
  return MakeCipher(document.GetCryptProvider(), direction, record.nCryptType, record.nHashType, record.nKeyLength,
                    document.GetNodePassword(record.nIndex).value_or(SecureString()));
}

void PadAndEncrypt(Cipher& cipher, std::vector<uint8_t>& bytes) {
  uint32_t block = cipher.BlockSize();
  bytes.resize((bytes.size() + block - 1) / block * block, 0);
  cipher.Process(bytes.data(), bytes.size());
}

}  // namespace mlf
