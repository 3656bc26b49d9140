#include "platform/wipe.h"

#include <vector>

namespace mlf {

void OverwriteWithZeros(File& file, uint32_t blockSize) {
  uint64_t size = file.Size();
  std::vector<char> zeros(blockSize, 0);
  file.Seek(0);
  for (uint64_t done = 0; done < size; done += blockSize) file.Write(zeros.data(), blockSize);
  file.Sync();
}

}  // namespace mlf
