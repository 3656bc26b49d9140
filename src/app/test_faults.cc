#include "app/test_faults.h"

#include <pthread.h>

#include <QTimer>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "platform/test_fault.h"

namespace mlf {

// Outside an anonymous namespace: the backtrace names only functions the program exports.
[[gnu::noinline]] void FaultOnGuiThread() { WriteThroughNullPointer(); }

[[gnu::noinline]] void FaultOnWorkerThread() { WriteThroughNullPointer(); }

// Called through a pointer, with work left after it: a call the compiler knows never returns,
// or one in tail position, leaves no return address inside this function to name it.
[[gnu::noinline]] void AbortOnGuiThread() {
  void (*volatile abortNow)() = std::abort;
  abortNow();
  asm volatile("" ::: "memory");
}

// Deeper without end, a page of stack at a time, until the guard page faults.
[[gnu::noinline]] int RecurseWithoutEnd(int depth) {
  static volatile bool never = false;
  if (never) return 0;
  volatile char page[4096];
  page[0] = static_cast<char>(depth);
  return RecurseWithoutEnd(depth + 1) + page[0];
}

[[gnu::noinline]] void OverflowStackOnGuiThread() { RecurseWithoutEnd(0); }

[[gnu::noinline]] void ThrowPastNoexcept() noexcept(false) {
  throw std::runtime_error("test fault: nothing catches this");
}

[[gnu::noinline]] void TerminateOnGuiThread() noexcept { ThrowPastNoexcept(); }

void StartTestFaults() {
  void (*fault)() = nullptr;
  if (TestFaultRequested("gui")) fault = FaultOnGuiThread;
  if (TestFaultRequested("abort")) fault = AbortOnGuiThread;
  if (TestFaultRequested("terminate")) fault = TerminateOnGuiThread;
  if (TestFaultRequested("overflow")) fault = OverflowStackOnGuiThread;
  if (TestFaultRequested("worker")) fault = [] {
    std::thread worker([] {
      pthread_setname_np(pthread_self(), "mlf-worker");
      FaultOnWorkerThread();
    });
    worker.detach();
  };
  if (fault) QTimer::singleShot(0, fault);
}

}  // namespace mlf
