// A Cipher served by a cipher object of the encryption module.
#pragma once

#include <memory>

#include "crypt/crypt_module.h"
#include "crypt/crypt_provider.h"

namespace mlf {

class ModuleCipher : public Cipher {
 public:
  // Takes ownership of object, which the module made.
  ModuleCipher(std::shared_ptr<const CryptModule> module, MlfCryptObject* object);
  ~ModuleCipher() override;
  ModuleCipher(const ModuleCipher&) = delete;
  ModuleCipher& operator=(const ModuleCipher&) = delete;

  uint32_t BlockSize() const override;
  // Data the module refuses (a size that is not a multiple of the block size) is overwritten
  // with zeros: plain text must never go out as if it were encrypted.
  void Process(uint8_t* data, size_t size) override;
  uint32_t TestBlockLength() const override;
  std::vector<uint8_t> TestBlock() const override;

 private:
  std::shared_ptr<const CryptModule> m_module;
  MlfCryptObject* m_object;
};

}  // namespace mlf
