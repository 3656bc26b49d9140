#pragma once

#include "crypt/crypt_provider.h"

namespace mlf {

// The encryption of the process: the loaded module once the program has installed it; until
// then one that is unavailable.
CryptProvider& AppCryptProvider();
void SetAppCryptProvider(CryptProvider* provider);

}  // namespace mlf
