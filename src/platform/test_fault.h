// Faults on purpose, for the tests of the crash path. Only builds configured with
// MLF_TEST_FAULTS (the test builds) honour the environment variable MLF_TEST_FAULT; in every
// other build nothing here faults.
#pragma once

#include <csignal>
#include <cstdlib>

namespace mlf {

// True when the build honours test faults and MLF_TEST_FAULT (a comma-separated list) names
// point.
bool TestFaultRequested(const char* point);

// A write through a null pointer in the caller's own frame, so the report's backtrace names
// the caller as the faulting function.
[[gnu::always_inline]] inline void WriteThroughNullPointer() {
#ifdef __SANITIZE_ADDRESS__
  // Sanitizer builds would report the write themselves and stop there; the crash path is
  // tested with the signal the write would raise.
  std::raise(SIGSEGV);
  std::abort();  // not reached; no tail call, so the caller's frame stays in the backtrace
#else
  static int* volatile target = nullptr;
  *target = 1;
#endif
}

// Ends the process with a memory fault here when point was requested.
void FaultIfRequested(const char* point);

}  // namespace mlf
