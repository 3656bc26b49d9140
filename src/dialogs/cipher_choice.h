// The rules both encryption pages apply to the cipher they end up with.
#pragma once

#include <cstdint>
#include <optional>

#include "crypt/crypt_provider.h"

namespace mlf {

// A type the page chose, or the module's default when it chose none.
inline uint32_t ChosenOrDefault(int64_t chosen, uint32_t moduleDefault) {
  return chosen > 0 ? uint32_t(chosen) : moduleDefault;
}

// The module's record of the cipher; none when the module does not offer it.
inline std::optional<CryptAlgorithmInfo> FindCipher(const CryptProvider& crypt, uint32_t cipher) {
  for (const CryptAlgorithmInfo& info : crypt.Ciphers())
    if (info.id == cipher && crypt.IsCipherSupported(cipher)) return info;
  return std::nullopt;
}

// A key length the cipher cannot take becomes its default.
inline uint32_t ValidKeyLength(const CryptAlgorithmInfo& cipher, uint32_t keyLength) {
  if (keyLength == 0 || keyLength < cipher.minKeyLength || keyLength > cipher.maxKeyLength) return cipher.defaultKeyLength;
  return keyLength;
}

}  // namespace mlf
