// The exported entry points: argument checks, then the work in the files beside this one.
// Nothing here throws; allocation uses nothrow new.
#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <string_view>

#include "modules/mlfcrypt/algorithms.h"
#include "modules/mlfcrypt/cipher_object.h"
#include "modules/mlfcrypt/key_derivation.h"
#include "modules/mlfcrypt/mlfcrypt_abi.h"

namespace mlf::mlfcrypt {
namespace {

// Null only with a length of 0: then the empty text.
bool TakeText(const char* text, uint32_t length, std::string_view& out) {
  if (!text && length != 0) return false;
  out = text ? std::string_view(text, length) : std::string_view();
  return true;
}

void CopyName(const char* name, MlfCryptInfo& info) {
  if (!info.name || info.nameSize == 0) return;
  std::string_view text(name);
  size_t length = std::min<size_t>(text.size(), info.nameSize - 1);
  std::copy_n(text.data(), length, info.name);
  info.name[length] = '\0';
}

// Fills info for *id from list and advances *id, as ordinals 11 and 12 do.
template <typename T, typename KeyLengths>
uint32_t Describe(std::span<const T> list, uint32_t* id, MlfCryptInfo* info, KeyLengths keyLengths) {
  if (!id || !info) return 0;
  auto it = std::find_if(list.begin(), list.end(), [id](const T& entry) { return entry.id == *id; });
  if (it == list.end()) return 0;
  info->id = it->id;
  keyLengths(*it, *info);
  CopyName(it->name, *info);
  *id = (it + 1 == list.end()) ? 0 : (it + 1)->id;
  return 1;
}

MlfCryptObject* MakeObject(uint32_t cipherId, const uint8_t* key, uint32_t keyLength, Direction direction) {
  const CipherAlgorithm* cipher = FindCipher(cipherId);
  if (!cipher || !key) return nullptr;
  return CreateCipherObject(*cipher, {key, keyLength}, direction);
}

}  // namespace
}  // namespace mlf::mlfcrypt

using namespace mlf::mlfcrypt;

extern "C" {

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_1(MlfCryptObject* object, uint8_t* buffer, uint32_t length) {
  if (!object || !buffer) return 0;
  return ProcessInPlace(*object, {buffer, length}) ? length : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_2(const MlfCryptObject* object) {
  return object ? CipherObjectBlockSize(*object) : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_3(MlfCryptObject* object) {
  if (!object) return 0;
  ReleaseCipherObject(object);
  return 1;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_4(void) { return MLFCRYPT_INTERFACE_VERSION; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_5(const MlfCryptObject* object, uint8_t* out) {
  if (!object || !out) return 0;
  return MakeTestBlock(*object, std::span<uint8_t, kTestBlockLength>(out, kTestBlockLength)) ? kTestBlockLength : 0;
}

MLFCRYPT_EXPORT MlfCryptObject* MLFCRYPT_CALL mlfcrypt_6(uint32_t cipher, const uint8_t* key, uint32_t keyLength) {
  return MakeObject(cipher, key, keyLength, Direction::Encrypt);
}

MLFCRYPT_EXPORT MlfCryptObject* MLFCRYPT_CALL mlfcrypt_7(uint32_t cipher, const uint8_t* key, uint32_t keyLength) {
  return MakeObject(cipher, key, keyLength, Direction::Decrypt);
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_8(void) { return MaxCipherKeyLength(); }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_9(void) { return CipherAlgorithms().front().id; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_10(void) { return KeyDerivationAlgorithms().front().id; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_11(uint32_t* id, MlfCryptInfo* info) {
  return Describe(CipherAlgorithms(), id, info, [](const CipherAlgorithm& cipher, MlfCryptInfo& out) {
    out.minKeyLength = out.maxKeyLength = out.defaultKeyLength = cipher.keyLength;
  });
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_12(uint32_t* id, MlfCryptInfo* info) {
  return Describe(KeyDerivationAlgorithms(), id, info, [](const KeyDerivationAlgorithm&, MlfCryptInfo& out) {
    out.minKeyLength = kMinDerivedKeyLength;
    out.maxKeyLength = out.defaultKeyLength = kMaxDerivedKeyLength;
  });
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_13(const MlfCryptObject* object) {
  return object ? CipherObjectId(*object) : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_14(uint8_t* buffer, uint32_t length) {
  if (!buffer) return 0;
  for (uint32_t done = 0; done < length;) {
    int piece = static_cast<int>(std::min<uint32_t>(length - done, INT_MAX));
    if (RAND_bytes(buffer + done, piece) != 1) return 0;
    done += static_cast<uint32_t>(piece);
  }
  return length;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_15(const MlfCryptObject* object) {
  return object ? kTestBlockLength : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_16(void) { return CipherAlgorithms().front().id; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_17(void) { return KeyDerivationAlgorithms().front().id; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_18(uint32_t keyDerivation, const char* password,
                                                   uint32_t passwordLength, uint8_t* key, uint32_t keyLength) {
  if (!key) return 0;
  const KeyDerivationAlgorithm* derivation = FindKeyDerivation(keyDerivation);
  std::string_view text;
  if (!derivation || !TakeText(password, passwordLength, text)) {
    OPENSSL_cleanse(key, keyLength);
    return 0;
  }
  return DeriveKey(*derivation, text, {key, keyLength}) ? 1 : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_19(uint32_t cipher) { return FindCipher(cipher) ? 1 : 0; }

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_20(uint32_t keyDerivation) {
  return FindKeyDerivation(keyDerivation) ? 1 : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_21(const uint8_t* a, const uint8_t* b, uint32_t length) {
  if (!a || !b) return 0;
  return CRYPTO_memcmp(a, b, length) == 0 ? 1 : 0;
}

MLFCRYPT_EXPORT uint32_t MLFCRYPT_CALL mlfcrypt_22(const char* password, uint8_t* out, uint32_t passwordLength) {
  std::string_view text;
  if (!TakeText(password, passwordLength, text)) return 0;
  if (!out) return kPasswordBlockLength;
  return MakePasswordBlock(text, std::span<uint8_t, kPasswordBlockLength>(out, kPasswordBlockLength))
             ? kPasswordBlockLength
             : 0;
}

}  // extern "C"
