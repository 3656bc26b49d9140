// A toy encryption for tests of the store: an 8-byte block cipher that chains like CBC, a
// key derivation that hashes the password, and a 16-byte test block. Weak on purpose and only
// ever used by tests; it lets the stream layout be checked with a block size the real module
// does not have.
#pragma once

#include "crypt/crypt_provider.h"

namespace mlf::test {

class TestCrypt : public CryptProvider {
 public:
  static constexpr uint32_t kCipher = 7;
  static constexpr uint32_t kKeyDerivation = 3;
  static constexpr uint32_t kBlock = 8;

  uint32_t MaxKeyLength() const override { return 32; }
  bool IsCipherSupported(uint32_t cipher) const override { return cipher == kCipher; }
  uint32_t DefaultCipher() const override { return kCipher; }
  uint32_t DefaultKeyDerivation() const override { return kKeyDerivation; }
  std::vector<CryptAlgorithmInfo> Ciphers() const override { return {{kCipher, 8, 32, 16, "Toy"}}; }
  std::vector<CryptAlgorithmInfo> KeyDerivations() const override { return {{kKeyDerivation, 0, 0, 0, "Hash"}}; }
  SecureBytes DeriveKey(uint32_t keyDerivation, std::string_view password, uint32_t keyLength) const override;
  std::unique_ptr<Cipher> MakeEncryptor(uint32_t cipher, const SecureBytes& key) const override;
  std::unique_ptr<Cipher> MakeDecryptor(uint32_t cipher, const SecureBytes& key) const override;
  std::vector<uint8_t> PasswordBlock(std::string_view password) const override;
};

}  // namespace mlf::test
