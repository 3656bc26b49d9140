// Running another program with a time limit, for the converters found on the PATH.
#pragma once

#include <string>
#include <vector>

namespace mlf {

struct ProcessResult {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;
  std::string output;  // what it wrote to standard output, up to 1 MB
};

// Runs argv[0] (looked up on the PATH) with no input; its error output is discarded. A
// program still running after timeoutSeconds is killed with everything it started.
ProcessResult RunProcess(const std::vector<std::string>& argv, int timeoutSeconds);

// The full path of a program on the PATH, or empty.
std::string FindOnPath(const std::string& program);

}  // namespace mlf
