#ifndef _WIN32

#include <cxxabi.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <exception>

#include "platform/crash_handler.h"
#include "platform/env.h"
#include "platform/temp_file_list_posix.h"
#include "platform/test_fault.h"

extern char** environ;

namespace mlf {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kPathLimit = 1024;
constexpr char kReportPrefix[] = "marrowleaf-crash-";
constexpr char kReportSuffix[] = ".txt";
// "marrowleaf-crash-" + yyyyMMddHHmmss + ".txt" and the terminating zero.
constexpr size_t kReportNameSize = sizeof kReportPrefix - 1 + 14 + sizeof kReportSuffix;
constexpr int kMaxFrames = 64;
// The other threads are asked for their stacks one by one, each within this time, all of
// them within the total.
constexpr long kThreadAnswerMs = 500;
constexpr long kAllThreadsMs = 3000;
constexpr size_t kAltStackSize = 256 * 1024;

// A text built in a fixed buffer: appending past the end drops the rest, never overflows.
template <size_t N>
struct FixedText {
  char data[N];
  size_t size = 0;

  FixedText() { data[0] = '\0'; }
  bool Append(const char* text, size_t count) {
    if (size + count >= N) return false;
    std::memcpy(data + size, text, count);
    size += count;
    data[size] = '\0';
    return true;
  }
  bool Append(const char* text) { return Append(text, std::strlen(text)); }
  bool Append(char c) { return Append(&c, 1); }
  // The number in the base, at least width digits.
  bool AppendNumber(unsigned long long value, unsigned base = 10, int width = 1) {
    char digits[32];
    int count = 0;
    do {
      digits[count++] = "0123456789abcdef"[value % base];
      value /= base;
    } while (value != 0 && count < 32);
    while (count < width && count < 32) digits[count++] = '0';
    bool fits = true;
    while (count > 0) fits &= Append(digits[--count]);
    return fits;
  }
};

// Prepared at installation.
struct Prepared {
  CrashNotice notice = CrashNotice::StandardError;
  char program[32] = {};
  char version[64] = {};
  FixedText<kPathLimit> folder;  // <data>/Quarn/Marrowleaf/
  bool folderUsable = false;
  long utcOffsetSeconds = 0;
  char executable[kPathLimit] = {};
  char logPath[kPathLimit] = {};
  std::atomic<CrashLogNote> logNote{nullptr};
};

Prepared g_prepared;
// Filled by the handler; the fresh process's arguments point into them.
FixedText<kPathLimit> g_reportPath;
const char* g_freshArguments[6];

std::atomic<pid_t> g_reportingThread{0};
int g_reportFd = -1;
// The thread asked for its stack; the asked thread sets it to 0 when it has written it.
std::atomic<pid_t> g_dumpTarget{0};

pid_t CurrentThreadId() { return static_cast<pid_t>(::syscall(SYS_gettid)); }

const char* SignalName(int signal) {
  switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
  }
}

// The civil date of a day count since 1970-01-01 (the proleptic Gregorian calendar).
void CivilFromDays(long days, long& year, unsigned& month, unsigned& day) {
  days += 719468;
  long era = (days >= 0 ? days : days - 146096) / 146097;
  unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  year = static_cast<long>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

// yyyyMMddHHmmss of the local time, with the offset from UTC taken at installation (the
// time-zone database cannot be read safely in a signal handler).
template <size_t N>
void AppendLocalTimeStamp(FixedText<N>& text) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  long seconds = static_cast<long>(now.tv_sec) + g_prepared.utcOffsetSeconds;
  long days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  long secondOfDay = seconds - days * 86400;
  long year;
  unsigned month, day;
  CivilFromDays(days, year, month, day);
  text.AppendNumber(static_cast<unsigned long long>(year), 10, 4);
  text.AppendNumber(month, 10, 2);
  text.AppendNumber(day, 10, 2);
  text.AppendNumber(static_cast<unsigned long long>(secondOfDay / 3600), 10, 2);
  text.AppendNumber(static_cast<unsigned long long>(secondOfDay / 60 % 60), 10, 2);
  text.AppendNumber(static_cast<unsigned long long>(secondOfDay % 60), 10, 2);
}

// Makes the report's folder and every folder above it that is missing (existing ones are no
// error; a failure shows when the report is created).
void MakeReportFolders() {
  FixedText<kPathLimit>& folder = g_prepared.folder;
  for (size_t end = 1; end < folder.size; ++end) {
    if (folder.data[end] != '/') continue;
    folder.data[end] = '\0';
    ::mkdir(folder.data, 0700);
    folder.data[end] = '/';
  }
}

int CreateReportFile(const char* path) {
  return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
}

// Opens the report in the data folder, else under its bare name in the current folder.
int OpenReport() {
  FixedText<kReportNameSize> name;
  name.Append(kReportPrefix);
  AppendLocalTimeStamp(name);
  name.Append(kReportSuffix);
  if (g_prepared.folderUsable) {
    MakeReportFolders();
    g_reportPath = g_prepared.folder;
    if (g_reportPath.Append(name.data)) {
      int fd = CreateReportFile(g_reportPath.data);
      if (fd >= 0) return fd;
    }
  }
  g_reportPath = FixedText<kPathLimit>();
  g_reportPath.Append(name.data);
  return CreateReportFile(g_reportPath.data);
}

void WriteNumber(int fd, unsigned long long value, unsigned base = 10) {
  FixedText<32> text;
  if (base == 16) text.Append("0x");
  text.AppendNumber(value, base, base == 16 ? 16 : 1);
  WriteSignalSafe(fd, text.data);
}

// The name of a thread of this process, read from /proc (the calling thread's from the kernel).
void ReadThreadName(pid_t thread, char (&name)[64]) {
  name[0] = '\0';
  if (thread == CurrentThreadId()) {
    char own[16] = {};
    if (::prctl(PR_GET_NAME, own) == 0) std::memcpy(name, own, sizeof own);
    return;
  }
  FixedText<64> path;
  path.Append("/proc/self/task/");
  path.AppendNumber(static_cast<unsigned long long>(thread));
  path.Append("/comm");
  int fd = ::open(path.data, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ssize_t n = ::read(fd, name, sizeof name - 1);
  ::close(fd);
  if (n <= 0) n = 0;
  name[n] = '\0';
  if (n > 0 && name[n - 1] == '\n') name[n - 1] = '\0';
}

void WriteThreadLine(int fd, const char* label, pid_t thread) {
  char name[64];
  ReadThreadName(thread, name);
  WriteSignalSafe(fd, label);
  WriteNumber(fd, static_cast<unsigned long long>(thread));
  WriteSignalSafe(fd, " \"");
  WriteSignalSafe(fd, name);
  WriteSignalSafe(fd, "\"\n");
}

void WriteOwnBacktrace(int fd) {
  void* frames[kMaxFrames];
  int count = ::backtrace(frames, kMaxFrames);
  ::backtrace_symbols_fd(frames, count, fd);
}

// Another thread, asked by the reporting one: writes its stack when it is the one asked, then
// stays here until the process ends, so that it changes nothing more.
void OnStackRequest(int) {
  pid_t self = CurrentThreadId();
  if (g_dumpTarget.load() == self) {
    WriteOwnBacktrace(g_reportFd);
    // Only while still the one asked: an answer after the time ran out must not end the
    // wait for the next thread.
    g_dumpTarget.compare_exchange_strong(self, 0);
  }
  for (;;) ::pause();
}

void SleepMilliseconds(long ms) {
  struct timespec pause {0, ms * 1000000L};
  ::clock_nanosleep(CLOCK_MONOTONIC, 0, &pause, nullptr);
}

// The stacks of the other threads. Each is asked with a signal and answers from its own
// handler; one that does not answer in time (it blocks signals, or waits for a lock the
// faulting thread held) is only named.
void WriteOtherThreads(int fd) {
  int signal = SIGRTMIN + 2;
  struct sigaction request {};
  request.sa_handler = OnStackRequest;
  request.sa_flags = SA_ONSTACK;
  sigemptyset(&request.sa_mask);
  ::sigaction(signal, &request, nullptr);

  int folder = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  pid_t self = CurrentThreadId();
  pid_t process = ::getpid();
  long budgetMs = kAllThreadsMs;
  alignas(8) char entries[4096];
  for (;;) {
    long bytes = ::syscall(SYS_getdents64, folder, entries, sizeof entries);
    if (bytes <= 0) break;
    for (long at = 0; at < bytes;) {
      // struct linux_dirent64: inode (8), offset (8), record length (2), type (1), name.
      unsigned short length;
      std::memcpy(&length, entries + at + 16, sizeof length);
      const char* name = entries + at + 19;
      at += length;
      if (name[0] < '0' || name[0] > '9') continue;
      pid_t thread = 0;
      for (const char* c = name; *c >= '0' && *c <= '9'; ++c) thread = thread * 10 + (*c - '0');
      if (thread == self) continue;
      WriteSignalSafe(fd, "\n");
      WriteThreadLine(fd, "Thread ", thread);
      if (budgetMs <= 0) {
        WriteSignalSafe(fd, "(not asked: no time left)\n");
        continue;
      }
      g_dumpTarget.store(thread);
      if (::syscall(SYS_tgkill, process, thread, signal) != 0) {
        g_dumpTarget.store(0);
        WriteSignalSafe(fd, "(gone)\n");
        continue;
      }
      long waited = 0;
      while (g_dumpTarget.load() == thread && waited < kThreadAnswerMs && waited < budgetMs) {
        SleepMilliseconds(1);
        ++waited;
      }
      budgetMs -= waited;
      pid_t expected = thread;
      if (g_dumpTarget.compare_exchange_strong(expected, 0)) WriteSignalSafe(fd, "(no answer)\n");
    }
  }
  ::close(folder);
}

// What ended the process: a signal, or std::terminate with the exception that caused it.
struct CrashCause {
  int signal = 0;
  const siginfo_t* info = nullptr;
  const char* exceptionType = nullptr;
  const char* exceptionText = nullptr;
};

void WriteReport(int fd, const CrashCause& cause) {
  WriteSignalSafe(fd, "Marrowleaf crash report\nVersion: ");
  WriteSignalSafe(fd, g_prepared.version);
  WriteSignalSafe(fd, "\n");
  if (cause.signal != 0) {
    WriteSignalSafe(fd, "Signal: ");
    WriteSignalSafe(fd, SignalName(cause.signal));
    WriteSignalSafe(fd, " (");
    WriteNumber(fd, static_cast<unsigned long long>(cause.signal));
    WriteSignalSafe(fd, ")");
    if (cause.info && cause.signal != SIGABRT) {
      WriteSignalSafe(fd, ", code ");
      WriteNumber(fd, static_cast<unsigned long long>(cause.info->si_code));
      WriteSignalSafe(fd, ", faulting address ");
      WriteNumber(fd, reinterpret_cast<unsigned long long>(cause.info->si_addr), 16);
    }
    WriteSignalSafe(fd, "\n");
  } else {
    WriteSignalSafe(fd, "Cause: std::terminate");
    if (cause.exceptionType) {
      WriteSignalSafe(fd, ", uncaught exception of type ");
      WriteSignalSafe(fd, cause.exceptionType);
    }
    if (cause.exceptionText) {
      WriteSignalSafe(fd, ": ");
      WriteSignalSafe(fd, cause.exceptionText);
    }
    WriteSignalSafe(fd, "\n");
  }
  WriteThreadLine(fd, "Faulting thread: ", CurrentThreadId());
  WriteSignalSafe(fd, "Log: ");
  WriteSignalSafe(fd, g_prepared.logPath);
  WriteSignalSafe(fd, "\n\nBacktrace of the faulting thread:\n");
  WriteOwnBacktrace(fd);
  WriteOtherThreads(fd);
}

// The fresh process that tells the user. A raw clone runs none of the fork handlers, which
// could take locks the faulting thread held.
void StartFreshProcess() {
  g_freshArguments[0] = g_prepared.executable;
  g_freshArguments[1] = kCrashReportOption;
  g_freshArguments[2] = g_reportPath.data;
  g_freshArguments[3] = kCrashLogOption;
  g_freshArguments[4] = g_prepared.logPath;
  g_freshArguments[5] = nullptr;
  long child = ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
  if (child != 0) return;
  // The handler runs with the fatal signals blocked; the new program must not inherit that.
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execve(g_prepared.executable, const_cast<char* const*>(g_freshArguments), environ);
  ::_exit(127);
}

void TellUser() {
  if (g_prepared.notice == CrashNotice::FreshProcess && g_prepared.executable[0] != '\0') {
    StartFreshProcess();
    return;
  }
  WriteSignalSafe(STDERR_FILENO, g_prepared.program);
  WriteSignalSafe(STDERR_FILENO, ": a fatal error has occurred; crash report written to ");
  WriteSignalSafe(STDERR_FILENO, g_reportPath.data);
  if (g_prepared.logPath[0] != '\0') {
    WriteSignalSafe(STDERR_FILENO, ", log ");
    WriteSignalSafe(STDERR_FILENO, g_prepared.logPath);
  }
  WriteSignalSafe(STDERR_FILENO, "\n");
}

// Once only: a fault inside the wipe itself must not start it again.
void WipeTempFilesOnce() {
  static std::atomic<bool> started{false};
  if (!started.exchange(true)) posix::WipeListedTempFiles();
}

// One thread reports; a second faulting thread waits for the process to end. A fault inside
// the report itself (false) ends the process at once, but wipes the temporary files first
// when that was not done yet.
bool ClaimReport() {
  pid_t self = CurrentThreadId();
  pid_t expected = 0;
  if (g_reportingThread.compare_exchange_strong(expected, self)) return true;
  if (expected == self) return false;
  for (;;) ::pause();
}

void Report(const CrashCause& cause) {
  g_reportFd = OpenReport();
  if (g_reportFd >= 0) {
    WriteReport(g_reportFd, cause);
    FaultIfRequested("report");
    ::fsync(g_reportFd);
    ::close(g_reportFd);
  }
  if (CrashLogNote note = g_prepared.logNote.load()) note(g_reportPath.data);
  WipeTempFilesOnce();
  TellUser();
}

void RestoreDefault(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

void OnFatalSignal(int signal, siginfo_t* info, void*) {
  int savedErrno = errno;
  if (ClaimReport())
    Report(CrashCause{signal, info});
  else
    WipeTempFilesOnce();
  errno = savedErrno;
  // The signal is not blocked in its handler (SA_NODEFER, so that a fault inside the report
  // comes back here): raised with the default action, it ends the process as it would have
  // without us.
  RestoreDefault(signal);
  ::raise(signal);
}

[[noreturn]] void OnTerminate() {
  if (!ClaimReport()) {
    WipeTempFilesOnce();
  } else {
    CrashCause cause;
    if (std::type_info* type = abi::__cxa_current_exception_type()) cause.exceptionType = type->name();
    try {
      if (std::exception_ptr current = std::current_exception()) std::rethrow_exception(current);
    } catch (const std::exception& error) {
      cause.exceptionText = error.what();
    } catch (...) {
    }
    Report(cause);
  }
  RestoreDefault(SIGABRT);
  sigset_t abortOnly;
  sigemptyset(&abortOnly);
  sigaddset(&abortOnly, SIGABRT);
  ::sigprocmask(SIG_UNBLOCK, &abortOnly, nullptr);
  std::abort();
}

void PrepareFolder() {
  std::string data = Env::Default().AppDataDirectory();
  Prepared& p = g_prepared;
  p.folderUsable = !data.empty() && data.size() < kPathLimit;
  if (!p.folderUsable) return;
  p.folder.Append(data.c_str());
  if (p.folder.data[p.folder.size - 1] != '/') p.folder.Append('/');
  // A report name that would not fit after the folder sends the report to the current folder.
  p.folderUsable = p.folder.Append("Quarn/Marrowleaf/") && p.folder.size + kReportNameSize <= kPathLimit;
}

void PrepareExecutable() {
  ssize_t n = ::readlink("/proc/self/exe", g_prepared.executable, sizeof g_prepared.executable - 1);
  g_prepared.executable[n > 0 ? n : 0] = '\0';
}

// A stack of its own for the handler, so that a fault from a stack overflow still reports.
void InstallAlternateStack() {
  void* stack = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (stack == MAP_FAILED) return;
  stack_t alternate {};
  alternate.ss_sp = stack;
  alternate.ss_size = kAltStackSize;
  ::sigaltstack(&alternate, nullptr);
}

}  // namespace

void WriteSignalSafe(int fd, const char* text) {
  size_t left = std::strlen(text);
  while (left > 0) {
    ssize_t n = ::write(fd, text, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

void InstallCrashHandler(const CrashHandlerSetup& setup) {
  Prepared& p = g_prepared;
  p.notice = setup.notice;
  std::strncpy(p.program, setup.program.c_str(), sizeof p.program - 1);
  std::strncpy(p.version, setup.version.c_str(), sizeof p.version - 1);
  PrepareFolder();
  PrepareExecutable();
  ::tzset();
  time_t now = ::time(nullptr);
  struct tm local {};
  if (::localtime_r(&now, &local)) p.utcOffsetSeconds = local.tm_gmtoff;
  // The first backtrace loads the unwinder; done here, the handler never loads a library.
  void* frame;
  ::backtrace(&frame, 1);
  InstallAlternateStack();

  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int signal : kFatalSignals) ::sigaction(signal, &action, nullptr);
  std::set_terminate(OnTerminate);
}

void SetCrashLog(const std::string& logPath, CrashLogNote note) {
  if (logPath.size() >= kPathLimit) return;
  std::memcpy(g_prepared.logPath, logPath.c_str(), logPath.size() + 1);
  g_prepared.logNote.store(note);
}

}  // namespace mlf

#endif  // !_WIN32
