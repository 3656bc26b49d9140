// The encryption module as built beside the test programs.
#pragma once

#include <memory>
#include <string>

#include "crypt/crypt_module.h"

namespace mlf::test {

// The module's path in the executable's folder.
std::string BuiltCryptModulePath();
// The module loaded and resolved; the test fails when it cannot be.
std::shared_ptr<const CryptModule> LoadBuiltCryptModule();

}  // namespace mlf::test
