// The fresh process a crash starts (platform/crash_handler.h): the crashed process never runs
// the GUI again, so this one tells the user what happened, where the log and the crash
// report are, and then, when the crashed run left recovery files, goes on as the program's next
// start, which offers them.
//
// With MLF_CRASH_MESSAGES_RECORD set to a file name, each message is answered as soon as it
// shows: its text is appended to that file and its picture saved beside it ("-1.png",
// "-2.png"), for the tests and the screenshots of the crash path.
#pragma once

namespace mlf {

// True when the command line is the fresh process's: kCrashReportOption first.
bool IsAfterCrashRun(int argc, char** argv);

// Shows the two messages; true when the start should go on to offer recovery files.
bool ShowCrashMessages(int argc, char** argv);

}  // namespace mlf
