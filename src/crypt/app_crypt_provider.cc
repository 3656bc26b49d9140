#include "crypt/app_crypt_provider.h"

#include <atomic>

namespace mlf {
namespace {

class UnavailableProvider final : public CryptProvider {
 public:
  uint32_t MaxKeyLength() const override { return 0; }
  bool IsCipherSupported(uint32_t) const override { return false; }
  uint32_t DefaultCipher() const override { return 0; }
  uint32_t DefaultKeyDerivation() const override { return 0; }
  std::vector<CryptAlgorithmInfo> Ciphers() const override { return {}; }
  std::vector<CryptAlgorithmInfo> KeyDerivations() const override { return {}; }
  SecureBytes DeriveKey(uint32_t, std::string_view, uint32_t) const override { return {}; }
  std::unique_ptr<Cipher> MakeEncryptor(uint32_t, const SecureBytes&) const override { return nullptr; }
  std::unique_ptr<Cipher> MakeDecryptor(uint32_t, const SecureBytes&) const override { return nullptr; }
  std::vector<uint8_t> PasswordBlock(std::string_view) const override { return {}; }
};

UnavailableProvider g_unavailable;
std::atomic<CryptProvider*> g_provider{&g_unavailable};

}  // namespace

CryptProvider& AppCryptProvider() { return *g_provider.load(); }

void SetAppCryptProvider(CryptProvider* provider) { g_provider = provider ? provider : &g_unavailable; }

}  // namespace mlf
