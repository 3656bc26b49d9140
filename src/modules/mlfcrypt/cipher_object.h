// The encryptors and decryptors behind MlfCryptObject: one OpenSSL CBC context without
// padding that chains across calls, and the key for the test block.
#pragma once

#include <cstdint>
#include <span>

#include "modules/mlfcrypt/algorithms.h"
#include "modules/mlfcrypt/hmac_sha256.h"
#include "modules/mlfcrypt/mlfcrypt_abi.h"

namespace mlf::mlfcrypt {

inline constexpr uint32_t kTestBlockLength = kSha256Length;

enum class Direction { Encrypt, Decrypt };

// Null when the key length does not suit the cipher or OpenSSL fails.
MlfCryptObject* CreateCipherObject(const CipherAlgorithm& cipher, std::span<const uint8_t> key, Direction direction);

uint32_t CipherObjectId(const MlfCryptObject& object);
uint32_t CipherObjectBlockSize(const MlfCryptObject& object);
// False when its size is not a multiple of the block size (data unchanged) or OpenSSL fails.
bool ProcessInPlace(MlfCryptObject& object, std::span<uint8_t> data);
// HMAC-SHA256 of the key with a fixed label and the cipher id.
bool MakeTestBlock(const MlfCryptObject& object, std::span<uint8_t, kTestBlockLength> out);
void ReleaseCipherObject(MlfCryptObject* object);

}  // namespace mlf::mlfcrypt
