#ifndef _WIN32

#include <sys/random.h>

#include <cerrno>
#include <stdexcept>

#include "platform/random.h"

namespace mlf {

void FillRandom(void* data, size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::getrandom(bytes, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("no random source");
    }
    bytes += n;
    size -= static_cast<size_t>(n);
  }
}

}  // namespace mlf

#endif
