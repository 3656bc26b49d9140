// Faults on purpose, for the tests of the crash path. Only builds configured with
// MLF_TEST_FAULTS (the test builds) honour the environment variable MLF_TEST_FAULT; in every
// other build nothing here faults.
#pragma once

namespace mlf {

// True when the build honours test faults and MLF_TEST_FAULT (a comma-separated list) names
// point.
bool TestFaultRequested(const char* point);

// A write through a null pointer in the caller's own frame, so the report's backtrace names
// the caller as the faulting function.
[[gnu::always_inline]] inline void WriteThroughNullPointer() {
  static int* volatile target = nullptr;
  *target = 1;
}

// Ends the process with a memory fault here when point was requested.
void FaultIfRequested(const char* point);

}  // namespace mlf
