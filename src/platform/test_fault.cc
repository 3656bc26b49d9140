#include "platform/test_fault.h"

#include <cstdlib>
#include <cstring>

namespace mlf {

bool TestFaultRequested([[maybe_unused]] const char* point) {
#ifdef MLF_TEST_FAULTS
  // A comma-separated list; read without allocating, as the crash handler asks too.
  const char* requested = std::getenv("MLF_TEST_FAULT");
  size_t length = std::strlen(point);
  for (const char* item = requested; item && *item; item = std::strchr(item, ',')) {
    if (*item == ',') ++item;
    if (std::strncmp(item, point, length) == 0 && (item[length] == ',' || item[length] == '\0')) return true;
  }
  return false;
#else
  return false;
#endif
}

[[gnu::noinline]] void FaultIfRequested(const char* point) {
  if (TestFaultRequested(point)) WriteThroughNullPointer();
}

}  // namespace mlf
