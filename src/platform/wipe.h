#pragma once

#include <cstdint>

#include "platform/file.h"

namespace mlf {

// Overwrites the whole file with zero bytes in blocks of blockSize and flushes it, so a
// decrypted working copy leaves nothing readable on disk once deleted.
void OverwriteWithZeros(File& file, uint32_t blockSize);

}  // namespace mlf
