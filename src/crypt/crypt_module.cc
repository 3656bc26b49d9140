#include "crypt/crypt_module.h"

#include "platform/module_entry.h"

namespace mlf {
namespace {

template <typename Function>
bool Resolve(DynamicLibrary& library, int ordinal, Function& out) {
  return ResolveEntryPoint(library, "mlfcrypt", ordinal, out);
}

}  // namespace

std::shared_ptr<const CryptModule> ResolveCryptModule(std::unique_ptr<DynamicLibrary> library) {
  if (!library) return nullptr;
  auto module = std::make_shared<CryptModule>();
  DynamicLibrary& lib = *library;
  // Every entry point is resolved, also those nobody calls: a module that lacks one is not ours.
  bool complete = Resolve(lib, 1, module->process) & Resolve(lib, 2, module->objectBlockSize) &
                  Resolve(lib, 3, module->releaseObject) & Resolve(lib, 4, module->interfaceVersion) &
                  Resolve(lib, 5, module->writeTestBlock) & Resolve(lib, 6, module->makeEncryptor) &
                  Resolve(lib, 7, module->makeDecryptor) & Resolve(lib, 8, module->maxKeyLength) &
                  Resolve(lib, 9, module->firstCipher) & Resolve(lib, 10, module->firstKeyDerivation) &
                  Resolve(lib, 11, module->cipherInfo) & Resolve(lib, 12, module->keyDerivationInfo) &
                  Resolve(lib, 13, module->objectCipher) & Resolve(lib, 14, module->randomBytes) &
                  Resolve(lib, 15, module->testBlockLength) & Resolve(lib, 16, module->defaultCipher) &
                  Resolve(lib, 17, module->defaultKeyDerivation) & Resolve(lib, 18, module->deriveKey) &
                  Resolve(lib, 19, module->isCipherSupported) & Resolve(lib, 20, module->isKeyDerivationSupported) &
                  Resolve(lib, 21, module->constantTimeEqual) & Resolve(lib, 22, module->passwordBlock);
  if (!complete) return nullptr;
  module->library = std::move(library);
  return module;
}

}  // namespace mlf
