#include "modules/mlfcrypt/key_derivation.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <climits>

#include "modules/mlfcrypt/hmac_sha256.h"
#include "modules/mlfcrypt/mlfcrypt_abi.h"

namespace mlf::mlfcrypt {
namespace {

// Part of the stored format: changing a label changes every key and makes files unreadable.
constexpr std::string_view kKeySaltLabel = "Marrowleaf mlfcrypt key salt v1";
constexpr std::string_view kPasswordBlockSaltLabel = "Marrowleaf mlfcrypt password block v1";

// scrypt needs 128 * r * N bytes (32 MB) plus a little; OpenSSL's default ceiling is 32 MB.
constexpr uint64_t kScryptMaxMemory = 64ull << 20;

bool Scrypt(std::string_view password, const LabelledMessage& salt, std::span<uint8_t> out) {
  return EVP_PBE_scrypt(password.data(), password.size(), salt.bytes().data(), salt.bytes().size(), kScryptN,
                        kScryptR, kScryptP, kScryptMaxMemory, out.data(), out.size()) == 1;
}

bool Pbkdf2Sha256(std::string_view password, const LabelledMessage& salt, std::span<uint8_t> out) {
  return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.bytes().data(),
                           static_cast<int>(salt.bytes().size()), kPbkdf2Iterations, EVP_sha256(),
                           static_cast<int>(out.size()), out.data()) == 1;
}

// OpenSSL takes int lengths and wants a non-null password even when it is empty.
bool Derive(DerivationKind kind, std::string_view password, const LabelledMessage& salt, std::span<uint8_t> out) {
  if (password.size() > INT_MAX) return false;
  if (password.empty()) password = std::string_view("", 0);
  switch (kind) {
    case DerivationKind::Scrypt:
      return Scrypt(password, salt, out);
    case DerivationKind::Pbkdf2Sha256:
      return Pbkdf2Sha256(password, salt, out);
  }
  return false;
}

bool DeriveOrWipe(DerivationKind kind, std::string_view password, const LabelledMessage& salt,
                  std::span<uint8_t> out) {
  bool ok = Derive(kind, password, salt, out);
  if (!ok) OPENSSL_cleanse(out.data(), out.size());
  return ok;
}

}  // namespace

bool DeriveKey(const KeyDerivationAlgorithm& derivation, std::string_view password, std::span<uint8_t> key) {
  if (key.size() < kMinDerivedKeyLength || key.size() > kMaxDerivedKeyLength) {
    OPENSSL_cleanse(key.data(), key.size());
    return false;
  }
  return DeriveOrWipe(derivation.kind, password, LabelledMessage(kKeySaltLabel, derivation.id), key);
}

bool MakePasswordBlock(std::string_view password, std::span<uint8_t, kPasswordBlockLength> out) {
  return DeriveOrWipe(DerivationKind::Scrypt, password, LabelledMessage(kPasswordBlockSaltLabel, MLFCRYPT_KD_SCRYPT),
                      out);
}

}  // namespace mlf::mlfcrypt
