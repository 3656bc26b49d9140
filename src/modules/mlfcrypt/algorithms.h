// The ciphers and key derivations this module offers, in the order it lists them. The first
// of each list is the default.
#pragma once

#include <openssl/evp.h>

#include <cstdint>
#include <span>

namespace mlf::mlfcrypt {

struct CipherAlgorithm {
  uint32_t id;
  const char* name;
  uint32_t keyLength;  // bytes; each cipher takes exactly one key length
  const EVP_CIPHER* (*evpCipher)();
};

enum class DerivationKind { Scrypt, Pbkdf2Sha256 };

struct KeyDerivationAlgorithm {
  uint32_t id;
  const char* name;
  DerivationKind kind;
};

// Every derivation produces keys of this range; the default suits the longest cipher key.
inline constexpr uint32_t kMinDerivedKeyLength = 16;
inline constexpr uint32_t kMaxDerivedKeyLength = 32;

std::span<const CipherAlgorithm> CipherAlgorithms();
std::span<const KeyDerivationAlgorithm> KeyDerivationAlgorithms();
// Null when the id is unknown.
const CipherAlgorithm* FindCipher(uint32_t id);
const KeyDerivationAlgorithm* FindKeyDerivation(uint32_t id);
uint32_t MaxCipherKeyLength();

}  // namespace mlf::mlfcrypt
