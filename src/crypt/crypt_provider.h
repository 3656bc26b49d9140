// What the store needs of the encryption module: key derivation, ciphers and the password
// test block. CCryptDLLHandler serves it from the run-time module; tests may serve it with a
// cipher of their own. Every call on an unavailable provider yields 0, false or null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/secure_memory.h"

namespace mlf {

// One encryptor or decryptor. It chains across calls: a stream encrypted in pieces
// decrypts in the same pieces.
class Cipher {
 public:
  virtual ~Cipher() = default;
  virtual uint32_t BlockSize() const = 0;
  // Encrypts or decrypts in place; size is a multiple of the block size.
  virtual void Process(uint8_t* data, size_t size) = 0;
  virtual uint32_t TestBlockLength() const = 0;
  // The password test block: the same password, cipher and key derivation give the same bytes.
  virtual std::vector<uint8_t> TestBlock() const = 0;
};

struct CryptAlgorithmInfo {
  uint32_t id = 0;
  uint32_t minKeyLength = 0;  // bytes
  uint32_t maxKeyLength = 0;
  uint32_t defaultKeyLength = 0;
  std::string name;
};

class CryptProvider {
 public:
  virtual ~CryptProvider() = default;
  // 0 when encryption is unavailable.
  virtual uint32_t MaxKeyLength() const = 0;
  bool IsAvailable() const { return MaxKeyLength() != 0; }
  virtual bool IsCipherSupported(uint32_t cipher) const = 0;
  virtual uint32_t DefaultCipher() const = 0;
  virtual uint32_t DefaultKeyDerivation() const = 0;
  virtual std::vector<CryptAlgorithmInfo> Ciphers() const = 0;
  virtual std::vector<CryptAlgorithmInfo> KeyDerivations() const = 0;
  // Empty when the derivation type is unknown.
  virtual SecureBytes DeriveKey(uint32_t keyDerivation, std::string_view password, uint32_t keyLength) const = 0;
  virtual std::unique_ptr<Cipher> MakeEncryptor(uint32_t cipher, const SecureBytes& key) const = 0;
  virtual std::unique_ptr<Cipher> MakeDecryptor(uint32_t cipher, const SecureBytes& key) const = 0;
  // The module's password block for a file password (the version 2 envelope's extra block).
  virtual std::vector<uint8_t> PasswordBlock(std::string_view password) const = 0;
};

}  // namespace mlf
