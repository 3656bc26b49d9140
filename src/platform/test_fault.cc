#include "platform/test_fault.h"

#include <cstdlib>
#include <cstring>

namespace mlf {

bool TestFaultRequested(const char* point) {
#ifdef MLF_TEST_FAULTS
  const char* requested = std::getenv("MLF_TEST_FAULT");
  return requested && std::strcmp(requested, point) == 0;
#else
  return false;
#endif
}

[[gnu::noinline]] void FaultIfRequested(const char* point) {
  if (TestFaultRequested(point)) WriteThroughNullPointer();
}

}  // namespace mlf
