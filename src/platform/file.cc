#include "platform/file.h"

namespace mlf {

void File::ReadExact(void* data, size_t size) {
  if (Read(data, size) != size) throw FileError(Path(), "unexpected end of file");
}

void File::ReadExactAt(uint64_t offset, void* data, size_t size) {
  if (ReadAt(offset, data, size) != size) throw FileError(Path(), "unexpected end of file");
}

}  // namespace mlf
