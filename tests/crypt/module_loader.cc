#include "module_loader.h"

#include <gtest/gtest.h>

#include "crypt/crypt_dll_handler.h"
#include "platform/path.h"

namespace mlf::test {

std::string BuiltCryptModulePath() {
  return JoinPath(Env::Default().ExecutableDirectory(), CCryptDLLHandler::ModuleFileName());
}

std::shared_ptr<const CryptModule> LoadBuiltCryptModule() {
  auto module = ResolveCryptModule(Env::Default().LoadLibrary(BuiltCryptModulePath()));
  EXPECT_NE(module, nullptr) << "cannot load " << BuiltCryptModulePath();
  return module;
}

}  // namespace mlf::test
