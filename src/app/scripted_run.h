// A scripted run for the smoke test: with MLF_SMOKE_SCREENSHOT set to a file name, the program
// opens the first note of the active document and saves a picture of its main window there,
// then does the same for the first picture and the first HTML page (the file name with
// "-image" and "-html" before its extension, when the document has such nodes), then a picture
// of every menu of the menu bar ("-menus"), and quits.
//
// With MLF_STARTUP_PROBE set to a file name instead, it writes two readings of the monotonic
// clock in milliseconds, when start-up was done and when the program first became idle, and
// quits (bench/start_bench.cc measures start to idle with it).
#pragma once

namespace mlf {

class CMainFrame;

// Does nothing unless the variable is set.
void StartScriptedRun(CMainFrame& mainFrame);

}  // namespace mlf
