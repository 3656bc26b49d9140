#ifndef _WIN32

#include <sys/utsname.h>

#include <fstream>

#include "platform/os_version.h"

namespace mlf {
namespace {

// PRETTY_NAME of /etc/os-release, without its quotes.
std::string DistributionName() {
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
  }
  return {};
}

}  // namespace

std::string OperatingSystemLine() {
  struct utsname name {};
  if (::uname(&name) != 0) return {};
  std::string line = std::string(name.sysname) + " " + name.release + " ";
  if (std::string distribution = DistributionName(); !distribution.empty()) line += "(" + distribution + ") ";
  line += std::string("(Build ") + name.machine + ")";
  return line;
}

}  // namespace mlf

#endif
