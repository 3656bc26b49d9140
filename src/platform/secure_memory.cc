#include "platform/secure_memory.h"

#include <cstring>

namespace mlf {

void SecureZero(void* data, size_t size) {
  if (size == 0) return;
  // A volatile function pointer keeps the compiler from proving the store dead.
  static void* (*const volatile kMemset)(void*, int, size_t) = std::memset;
  kMemset(data, 0, size);
}

}  // namespace mlf
