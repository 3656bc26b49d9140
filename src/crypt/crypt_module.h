// The encryption module once loaded: the library and its 22 entry points, typed. Shared by
// the handler and every cipher object it made, so the library stays mapped until the last
// object is released even when the handler unloads first.
#pragma once

#include <memory>

#include "modules/mlfcrypt/mlfcrypt_abi.h"
#include "platform/env.h"

namespace mlf {

struct CryptModule {
  std::unique_ptr<DynamicLibrary> library;
  decltype(&mlfcrypt_1) process = nullptr;
  decltype(&mlfcrypt_2) objectBlockSize = nullptr;
  decltype(&mlfcrypt_3) releaseObject = nullptr;
  decltype(&mlfcrypt_4) interfaceVersion = nullptr;
  decltype(&mlfcrypt_5) writeTestBlock = nullptr;
  decltype(&mlfcrypt_6) makeEncryptor = nullptr;
  decltype(&mlfcrypt_7) makeDecryptor = nullptr;
  decltype(&mlfcrypt_8) maxKeyLength = nullptr;
  decltype(&mlfcrypt_9) firstCipher = nullptr;
  decltype(&mlfcrypt_10) firstKeyDerivation = nullptr;
  decltype(&mlfcrypt_11) cipherInfo = nullptr;
  decltype(&mlfcrypt_12) keyDerivationInfo = nullptr;
  decltype(&mlfcrypt_13) objectCipher = nullptr;
  decltype(&mlfcrypt_14) randomBytes = nullptr;
  decltype(&mlfcrypt_15) testBlockLength = nullptr;
  decltype(&mlfcrypt_16) defaultCipher = nullptr;
  decltype(&mlfcrypt_17) defaultKeyDerivation = nullptr;
  decltype(&mlfcrypt_18) deriveKey = nullptr;
  decltype(&mlfcrypt_19) isCipherSupported = nullptr;
  decltype(&mlfcrypt_20) isKeyDerivationSupported = nullptr;
  decltype(&mlfcrypt_21) constantTimeEqual = nullptr;
  decltype(&mlfcrypt_22) passwordBlock = nullptr;
};

// Takes the entry points mlfcrypt_1 to mlfcrypt_22 from the library; null when any is missing.
std::shared_ptr<const CryptModule> ResolveCryptModule(std::unique_ptr<DynamicLibrary> library);

}  // namespace mlf
