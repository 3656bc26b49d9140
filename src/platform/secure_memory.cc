#include "platform/secure_memory.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <atomic>
#include <cstring>

namespace mlf {

void SecureZero(void* data, size_t size) {
  if (size == 0) return;
  // A volatile function pointer keeps the compiler from proving the store dead.
  static void* (*const volatile kMemset)(void*, int, size_t) = std::memset;
  kMemset(data, 0, size);
}

void ForbidCoreDumps() {
  static std::atomic<bool> done{false};
  if (done.load(std::memory_order_relaxed) || done.exchange(true)) return;
#ifndef _WIN32
  struct rlimit none {};
  ::setrlimit(RLIMIT_CORE, &none);
#endif
#ifdef __linux__
  // Also covers a core pattern that pipes to a program, which ignores the size limit.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

}  // namespace mlf
