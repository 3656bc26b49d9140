#include "modules/mlfcrypt/cipher_object.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace mlf::mlfcrypt {
namespace {

// Part of the stored format: changing a label makes every encrypted node unreadable.
constexpr std::string_view kIvLabel = "Marrowleaf mlfcrypt iv v1";
constexpr std::string_view kTestBlockLabel = "Marrowleaf mlfcrypt test block v1";
// The IV label carries no id: the IV depends on the key alone.
constexpr uint32_t kIvLabelId = 0;

struct CipherObject {
  MlfCryptObject base;  // first, so a MlfCryptObject* is a CipherObject*
  uint32_t cipherId = 0;
  uint32_t blockSize = 0;
  EVP_CIPHER_CTX* context = nullptr;
  uint32_t keyLength = 0;
  uint8_t key[kMaxDerivedKeyLength] = {};
};

CipherObject& Object(MlfCryptObject& object) { return *reinterpret_cast<CipherObject*>(&object); }
const CipherObject& Object(const MlfCryptObject& object) { return *reinterpret_cast<const CipherObject*>(&object); }

uint32_t MLFCRYPT_CALL BlockSizeFunction(const MlfCryptObject* self) {
  return self ? CipherObjectBlockSize(*self) : 0;
}

void MLFCRYPT_CALL ReleaseFunction(MlfCryptObject* self) { ReleaseCipherObject(self); }

constexpr MlfCryptObjectFunctions kObjectFunctions = {BlockSizeFunction, ReleaseFunction};

std::span<const uint8_t> KeyOf(const CipherObject& object) { return {object.key, object.keyLength}; }

bool StartContext(CipherObject& object, const EVP_CIPHER* evp, Direction direction) {
  Sha256Digest iv;
  bool ok = static_cast<size_t>(EVP_CIPHER_get_iv_length(evp)) <= iv.size() &&
            HmacSha256(KeyOf(object), LabelledMessage(kIvLabel, kIvLabelId).bytes(), iv) &&
            EVP_CipherInit_ex(object.context, evp, nullptr, object.key, iv.data(),
                              direction == Direction::Encrypt ? 1 : 0) == 1 &&
            EVP_CIPHER_CTX_set_padding(object.context, 0) == 1;
  OPENSSL_cleanse(iv.data(), iv.size());
  return ok;
}

}  // namespace

MlfCryptObject* CreateCipherObject(const CipherAlgorithm& cipher, std::span<const uint8_t> key, Direction direction) {
  const EVP_CIPHER* evp = cipher.evpCipher();
  if (!evp || key.size() != cipher.keyLength || key.size() > sizeof(CipherObject::key)) return nullptr;
  auto* object = new (std::nothrow) CipherObject;
  if (!object) return nullptr;
  object->base.functions = &kObjectFunctions;
  object->cipherId = cipher.id;
  object->blockSize = static_cast<uint32_t>(EVP_CIPHER_get_block_size(evp));
  object->keyLength = static_cast<uint32_t>(key.size());
  std::memcpy(object->key, key.data(), key.size());
  object->context = EVP_CIPHER_CTX_new();
  if (!object->context || !StartContext(*object, evp, direction)) {
    ReleaseCipherObject(&object->base);
    return nullptr;
  }
  return &object->base;
}

uint32_t CipherObjectId(const MlfCryptObject& object) { return Object(object).cipherId; }

uint32_t CipherObjectBlockSize(const MlfCryptObject& object) { return Object(object).blockSize; }

bool ProcessInPlace(MlfCryptObject& handle, std::span<uint8_t> data) {
  CipherObject& object = Object(handle);
  if (data.size() % object.blockSize != 0) return false;
  // OpenSSL takes int lengths: feed very large buffers in whole-block pieces.
  const size_t maxPiece = (INT_MAX / object.blockSize) * object.blockSize;
  while (!data.empty()) {
    size_t piece = std::min(data.size(), maxPiece);
    int written = 0;
    // With padding off, CBC neither holds back nor adds a block: out always equals in.
    if (EVP_CipherUpdate(object.context, data.data(), &written, data.data(), static_cast<int>(piece)) != 1 ||
        static_cast<size_t>(written) != piece)
      return false;
    data = data.subspan(piece);
  }
  return true;
}

bool MakeTestBlock(const MlfCryptObject& handle, std::span<uint8_t, kTestBlockLength> out) {
  const CipherObject& object = Object(handle);
  Sha256Digest digest;
  bool ok = HmacSha256(KeyOf(object), LabelledMessage(kTestBlockLabel, object.cipherId).bytes(), digest);
  std::copy(digest.begin(), digest.end(), out.begin());
  return ok;
}

void ReleaseCipherObject(MlfCryptObject* handle) {
  if (!handle) return;
  CipherObject* object = &Object(*handle);
  EVP_CIPHER_CTX_free(object->context);  // cleanses the key schedule
  OPENSSL_cleanse(object, sizeof(*object));
  delete object;
}

}  // namespace mlf::mlfcrypt
