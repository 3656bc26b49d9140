// The application log: one plain-text file per day in a Logs folder, appended to by every run
// of that day. Lines carry no time stamps; only the header written at each start is dated.
// Each Write and WriteLine is atomic across threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/env.h"

namespace mlf {

class CLog {
 public:
  explicit CLog(Env& env = Env::Default());
  virtual ~CLog();
  CLog(const CLog&) = delete;
  CLog& operator=(const CLog&) = delete;

  // Opens today's file after purging logs 15 days or older, and writes the start header. The
  // file lies in <executable folder>/Logs when that folder can be written and the program
  // runs from a build folder, else in the per-user state folder (UserLogDirectory). A log
  // that cannot be opened stays closed and drops every write.
  void Open();
  // The same with the log in the given folder, made when missing (tests keep theirs apart
  // this way); false when the file cannot be opened.
  bool OpenIn(const std::string& folder);

  // Writes the indent first when at the start of a line; a null text writes nothing more.
  void Write(const char* text);
  void Write(const std::string& text) { Write(text.c_str()); }
  // Write(text) and a line end.
  void WriteLine(const char* text = nullptr);
  void WriteLine(const std::string& text) { WriteLine(text.c_str()); }
  void Indent();
  // Returns the depth before the call.
  unsigned Outdent();
  // "<name> Version: a.b.c.d" from the four 16-bit words, most significant first.
  void LogModuleVersion(const std::string& moduleName, uint64_t version);
  void LogOsVersion();
  // Empty while the log is closed.
  std::string GetFilePath() const;
  bool IsOpen() const;

  // The crash handler's entry: an empty WriteLine, then "# Unhandled exception occurred,
  // minidump written to " and the report's path as one line. Async-signal-safe: it takes no
  // lock (the faulting thread may hold it) and writes straight to the open descriptor.
  void WriteCrashNote(const char* reportPath);

 private:
  void WriteLocked(const char* text);
  void PurgeOldLogs(const std::string& folder);

  Env& m_env;
  mutable std::recursive_mutex m_mutex;
  // Atomic, so that the crash handler can read them without the lock.
  std::atomic<bool> m_atLineStart = true;
  std::string m_indent;
  std::atomic<unsigned> m_depth = 0;
  bool m_open = false;
  std::unique_ptr<File> m_file;
  int m_descriptor = -1;  // the open file's, for the crash handler
};

// The one log of the process.
CLog& AppLog();

}  // namespace mlf
