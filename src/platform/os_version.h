#pragma once

#include <string>

namespace mlf {

// The operating system as one line of the log header, for example
// "Linux 6.1.0-13-amd64 (Debian GNU/Linux 12 (bookworm)) (Build x86_64)"; empty when the
// system tells nothing.
std::string OperatingSystemLine();

}  // namespace mlf
