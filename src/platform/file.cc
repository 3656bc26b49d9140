#include "platform/file.h"

namespace mlf {

void File::ReadExact(void* data, size_t size) {
  if (Read(data, size) != size) throw FileError(Path(), "unexpected end of file");
}

}  // namespace mlf
