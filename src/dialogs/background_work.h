// Long document work (re-encrypting a large node, deriving a file key) runs on a worker thread
// while the window goes on painting: the wait cursor and the status bar's busy bar show, and
// user input waits until the work is done.
#pragma once

#include <functional>
#include <string>

namespace mlf {

// The work's result; false when it threw.
bool RunInBackground(const std::string& statusText, const std::function<bool()>& work);

// True while RunInBackground waits for its work: timers that would lock a document (autosave)
// skip their round rather than wait on the GUI thread for a worker that may need it.
bool BackgroundWorkRunning();

}  // namespace mlf
