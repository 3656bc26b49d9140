#include "store/crc32.h"

#include <zlib.h>

#include <algorithm>

namespace mlf {

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  const auto* bytes = static_cast<const Bytef*>(data);
  while (size > 0) {
    uInt n = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = static_cast<uint32_t>(crc32(crc, bytes, n));
    bytes += n;
    size -= n;
  }
  return crc;
}

}  // namespace mlf
