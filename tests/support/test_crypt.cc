#include "support/test_crypt.h"

namespace mlf::test {
namespace {

class ToyCipher : public Cipher {
 public:
  ToyCipher(const SecureBytes& key, bool encrypt) : m_key(key), m_encrypt(encrypt) {}
  uint32_t BlockSize() const override { return TestCrypt::kBlock; }
  void Process(uint8_t* data, size_t size) override {
    for (size_t i = 0; i < size; ++i) {
      size_t lane = i % TestCrypt::kBlock;
      uint8_t in = data[i];
      data[i] = in ^ m_key[lane % m_key.size()] ^ m_previous[lane];
      m_previous[lane] = m_encrypt ? data[i] : in;
    }
  }
  uint32_t TestBlockLength() const override { return 16; }
  std::vector<uint8_t> TestBlock() const override {
    std::vector<uint8_t> block(16);
    for (size_t i = 0; i < block.size(); ++i) block[i] = m_key[i % m_key.size()] ^ 0x5A;
    return block;
  }

 private:
  SecureBytes m_key;
  bool m_encrypt;
  uint8_t m_previous[TestCrypt::kBlock] = {};
};

}  // namespace

SecureBytes TestCrypt::DeriveKey(uint32_t keyDerivation, std::string_view password, uint32_t keyLength) const {
  if (keyDerivation != kKeyDerivation) return {};
  SecureBytes key(keyLength);
  uint32_t h = 2166136261u;
  for (uint32_t i = 0; i < keyLength; ++i) {
    for (char c : password) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
    h = (h ^ i) * 16777619u;
    key[i] = static_cast<uint8_t>(h >> 24);
  }
  return key;
}

std::unique_ptr<Cipher> TestCrypt::MakeEncryptor(uint32_t cipher, const SecureBytes& key) const {
  return cipher == kCipher && !key.empty() ? std::make_unique<ToyCipher>(key, true) : nullptr;
}

std::unique_ptr<Cipher> TestCrypt::MakeDecryptor(uint32_t cipher, const SecureBytes& key) const {
  return cipher == kCipher && !key.empty() ? std::make_unique<ToyCipher>(key, false) : nullptr;
}

std::vector<uint8_t> TestCrypt::PasswordBlock(std::string_view password) const {
  SecureBytes key = DeriveKey(kKeyDerivation, password, 16);
  return std::vector<uint8_t>(key.begin(), key.end());
}

}  // namespace mlf::test
