// The faults the crash tests ask of the desktop program through MLF_TEST_FAULT (honoured by
// test builds only, platform/test_fault.h), each once the event loop runs: "gui" a memory
// fault on the GUI thread, "worker" one on a worker thread, "abort" std::abort on the GUI
// thread, "terminate" an exception that nothing catches, "overflow" a stack overflow on the GUI
// thread.
#pragma once

namespace mlf {

// Does nothing unless a fault was asked for.
void StartTestFaults();

}  // namespace mlf
