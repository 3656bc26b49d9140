// CCryptDLLHandler: the one client of the encryption module. It loads the module from the
// executable's folder at start-up and serves the store's CryptProvider calls from it; while
// the module is not loaded every call yields 0, false, empty or null.
#pragma once

#include <memory>
#include <string>

#include "crypt/crypt_module.h"
#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "platform/env.h"

namespace mlf {

class CCryptDLLHandler : public CryptProvider {
 public:
  explicit CCryptDLLHandler(CLog& log = AppLog());
  CCryptDLLHandler(const CCryptDLLHandler&) = delete;
  CCryptDLLHandler& operator=(const CCryptDLLHandler&) = delete;

  // The module's file name on this platform: mlfcrypt.dll on Windows, libmlfcrypt.so elsewhere.
  static const char* ModuleFileName();

  // Loads the module from the executable's folder. A module that lacks one of the 22 entry
  // points counts as not loaded. Replaces a module loaded before.
  bool Load(Env& env);
  // The same from another folder.
  bool LoadFrom(Env& env, const std::string& folder);
  // Cipher objects still alive keep the library mapped until they are released.
  void Unload();
  bool IsLoaded() const { return m_module != nullptr; }
  // The typed entry points, for the calls CryptProvider does not cover; null when not loaded.
  const CryptModule* Module() const { return m_module.get(); }

  uint32_t MaxKeyLength() const override;
  bool IsCipherSupported(uint32_t cipher) const override;
  uint32_t DefaultCipher() const override;
  uint32_t DefaultKeyDerivation() const override;
  std::vector<CryptAlgorithmInfo> Ciphers() const override;
  std::vector<CryptAlgorithmInfo> KeyDerivations() const override;
  SecureBytes DeriveKey(uint32_t keyDerivation, std::string_view password, uint32_t keyLength) const override;
  std::unique_ptr<Cipher> MakeEncryptor(uint32_t cipher, const SecureBytes& key) const override;
  std::unique_ptr<Cipher> MakeDecryptor(uint32_t cipher, const SecureBytes& key) const override;
  std::vector<uint8_t> PasswordBlock(std::string_view password) const override;

 private:
  std::unique_ptr<Cipher> WrapObject(MlfCryptObject* object) const;

  CLog& m_log;
  std::shared_ptr<const CryptModule> m_module;
};

// The handler of the process.
CCryptDLLHandler& AppCrypt();

}  // namespace mlf
