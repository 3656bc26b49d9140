// A scripted run for the smoke test: with MLF_SMOKE_SCREENSHOT set to a file name, the program
// opens the first note of the active document, saves a picture of its main window there and
// quits.
#pragma once

namespace mlf {

class CMainFrame;

// Does nothing unless the variable is set.
void StartScriptedRun(CMainFrame& mainFrame);

}  // namespace mlf
