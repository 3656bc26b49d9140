#include "modules/mlfcrypt/hmac_sha256.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstring>

namespace mlf::mlfcrypt {

LabelledMessage::LabelledMessage(std::string_view label, uint32_t id) {
  size = std::min(label.size(), data.size() - 4);
  std::memcpy(data.data(), label.data(), size);
  for (int shift = 0; shift < 32; shift += 8) data[size++] = static_cast<uint8_t>(id >> shift);
}

bool HmacSha256(std::span<const uint8_t> key, std::span<const uint8_t> message, Sha256Digest& out) {
  size_t written = 0;
  // An empty key is legal for HMAC, but OpenSSL wants a non-null pointer for it.
  static const uint8_t kNoKey = 0;
  bool ok = EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA256", nullptr, key.empty() ? &kNoKey : key.data(), key.size(),
                      message.data(), message.size(), out.data(), out.size(), &written) != nullptr &&
            written == out.size();
  if (!ok) OPENSSL_cleanse(out.data(), out.size());
  return ok;
}

}  // namespace mlf::mlfcrypt
