#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/env.h"
#include "platform/path.h"
#include "platform/share_locks_posix.h"
#include "platform/temp_file_list_posix.h"
#include "platform/temp_files.h"

namespace mlf {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// A child forked by this process (before it runs another program) inherits the handler but
// owns none of the files.
pid_t g_owner = 0;

void OnEndingSignal(int signal) {
  int savedErrno = errno;
  if (::getpid() == g_owner) posix::WipeListedTempFiles();
  errno = savedErrno;
  // The handler was reset to the default on entry; the signal, blocked until this handler
  // returns, then ends the process the way it would have without us.
  ::raise(signal);
}

// "MLF", six letters or digits, ".tmp": the names CreateTempFile gives in the temporary folder.
bool IsTempFileName(const std::string& name) {
  if (name.size() != 13 || name.compare(0, 3, "MLF") != 0 || name.compare(9, 4, ".tmp") != 0) return false;
  for (size_t i = 3; i < 9; ++i) {
    char c = name[i];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Wipes and removes path when it is this user's regular file and nobody holds it: a handle
// of the Env holds the share-mode bytes, the listing process the owner byte.
bool RemoveIfStale(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
               posix::LockBytes(fd, posix::kWriteLockByte, posix::kOwnerLockByte - posix::kWriteLockByte + 1, true);
  if (stale) {
    posix::WipeDescriptor(fd);
    stale = ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return stale;
}

}  // namespace

void InstallTempFileCleanup() {
  g_owner = ::getpid();
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int signal : kEndingSignals) sigaddset(&action.sa_mask, signal);
  for (int signal : kEndingSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

std::vector<std::string> RemoveStaleTempFiles() {
  Env& env = Env::Default();
  std::string folder = env.TempDirectory();
  std::vector<std::string> removed;
  std::vector<DirEntry> entries;
  try {
    entries = env.ListDirectory(folder);
  } catch (const FileError&) {
    return removed;
  }
  for (const DirEntry& entry : entries) {
    if (entry.isDirectory || !IsTempFileName(entry.name)) continue;
    std::string path = JoinPath(folder, entry.name);
    if (RemoveIfStale(path)) removed.push_back(path);
  }
  return removed;
}

}  // namespace mlf

#endif  // !_WIN32
