// Keys and the password block from a password. Both are slow on purpose: every guess of an
// attacker costs one full derivation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "modules/mlfcrypt/algorithms.h"

namespace mlf::mlfcrypt {

inline constexpr uint64_t kScryptN = uint64_t{1} << 15;
inline constexpr uint64_t kScryptR = 8;
inline constexpr uint64_t kScryptP = 1;
inline constexpr unsigned kPbkdf2Iterations = 600000;
inline constexpr uint32_t kPasswordBlockLength = 32;

// Fills key (16 to 32 bytes) from the password with the derivation's fixed salt. False, with
// key zeroed, when the length is out of range or OpenSSL fails.
bool DeriveKey(const KeyDerivationAlgorithm& derivation, std::string_view password, std::span<uint8_t> key);

// The password block: scrypt of the password with a salt of its own, so it is independent of
// every key and no cheaper to attack than one. False, with out zeroed, when OpenSSL fails.
bool MakePasswordBlock(std::string_view password, std::span<uint8_t, kPasswordBlockLength> out);

}  // namespace mlf::mlfcrypt
