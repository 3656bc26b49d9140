// What happens when the process faults. A fatal signal (SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGABRT) or std::terminate writes a crash report "marrowleaf-crash-yyyyMMddHHmmss.txt" in
// <data folder>/Quarn/Marrowleaf/ (the current folder under the bare name when that cannot be
// written), notes it in the log, wipes and removes the listed temporary files, tells the user
// (a fresh process of the desktop program, or a line on standard error) and ends the process
// as the signal would. Everything the handler needs is prepared when it is installed: the
// handler itself only formats the time, writes, and starts the fresh process.
#pragma once

#include <string>

namespace mlf {

enum class CrashNotice {
  FreshProcess,   // the executable is started again with kCrashReportOption and kCrashLogOption
  StandardError,  // one line on standard error
};

struct CrashHandlerSetup {
  std::string program;  // starts the line on standard error
  std::string version;  // written into the report
  CrashNotice notice = CrashNotice::StandardError;
};

// The options the fresh process is started with, each followed by a path (the log's may be
// empty when the log was not open).
inline constexpr char kCrashReportOption[] = "--crash-report";
inline constexpr char kCrashLogOption[] = "--crash-log";

// Called once, as the first step of each program.
void InstallCrashHandler(const CrashHandlerSetup& setup);

// The log's own note of a crash. Runs inside the handler, so it must be async-signal-safe.
using CrashLogNote = void (*)(const char* reportPath);

// Names the open log in reports and messages, and has note called with the report's path.
void SetCrashLog(const std::string& logPath, CrashLogNote note);

// Writes the whole text to fd, retrying after interruptions. Async-signal-safe.
void WriteSignalSafe(int fd, const char* text);

}  // namespace mlf
