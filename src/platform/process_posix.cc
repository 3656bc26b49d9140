#ifndef _WIN32

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/path.h"
#include "platform/process.h"

namespace mlf {

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  std::string dirs = path;
  for (size_t start = 0; start <= dirs.size();) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    std::string candidate = JoinPath(dirs.substr(start, colon - start), program);
    struct stat st {};
    if (colon > start && ::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = colon + 1;
  }
  return {};
}

ProcessResult RunProcess(const std::vector<std::string>& argv, int timeoutSeconds) {
  constexpr size_t kMaxOutput = 1 << 20;
  ProcessResult result;
  if (argv.empty()) return result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return result;
  }
  if (pid == 0) {
    ::setpgid(0, 0);  // its own group, so a timeout ends everything it started
    int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::setpgid(pid, pid);
  ::close(pipeFds[1]);
  result.started = true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  char buffer[16384];
  bool open = true;
  while (open) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      break;
    }
    pollfd fd{pipeFds[0], POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) open = false;
    else if (result.output.size() < kMaxOutput) result.output.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  while (!result.timedOut) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() >= deadline) result.timedOut = true;
    else ::usleep(10000);
  }
  if (result.timedOut) {
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return result;
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace mlf

#endif
