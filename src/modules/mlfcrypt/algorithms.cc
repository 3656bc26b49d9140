#include "modules/mlfcrypt/algorithms.h"

#include <algorithm>

#include "modules/mlfcrypt/mlfcrypt_abi.h"

namespace mlf::mlfcrypt {
namespace {

constexpr CipherAlgorithm kCiphers[] = {
    {MLFCRYPT_CIPHER_AES256_CBC, "AES-256 (CBC)", 32, EVP_aes_256_cbc},
    {MLFCRYPT_CIPHER_AES128_CBC, "AES-128 (CBC)", 16, EVP_aes_128_cbc},
    {MLFCRYPT_CIPHER_CAMELLIA256_CBC, "Camellia-256 (CBC)", 32, EVP_camellia_256_cbc},
};

constexpr KeyDerivationAlgorithm kKeyDerivations[] = {
    {MLFCRYPT_KD_SCRYPT, "scrypt (N=32768, r=8, p=1)", DerivationKind::Scrypt},
    {MLFCRYPT_KD_PBKDF2_SHA256, "PBKDF2-HMAC-SHA256 (600000 iterations)", DerivationKind::Pbkdf2Sha256},
};

template <typename T>
const T* FindById(std::span<const T> list, uint32_t id) {
  auto it = std::find_if(list.begin(), list.end(), [id](const T& entry) { return entry.id == id; });
  return it == list.end() ? nullptr : &*it;
}

}  // namespace

std::span<const CipherAlgorithm> CipherAlgorithms() { return kCiphers; }
std::span<const KeyDerivationAlgorithm> KeyDerivationAlgorithms() { return kKeyDerivations; }

const CipherAlgorithm* FindCipher(uint32_t id) { return FindById(CipherAlgorithms(), id); }
const KeyDerivationAlgorithm* FindKeyDerivation(uint32_t id) { return FindById(KeyDerivationAlgorithms(), id); }

uint32_t MaxCipherKeyLength() {
  uint32_t longest = 0;
  for (const CipherAlgorithm& cipher : kCiphers) longest = std::max(longest, cipher.keyLength);
  return longest;
}

}  // namespace mlf::mlfcrypt
