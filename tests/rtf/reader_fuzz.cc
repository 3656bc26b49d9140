// Feeds arbitrary bytes to the reader, checks that writing what it read and reading that again
// gives the same document, and that plain text can be taken of it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  mlf::rtf::Document document = mlf::rtf::ReadRtf(input);
  mlf::rtf::PlainText(document);
  if (!(mlf::rtf::ReadRtf(mlf::rtf::WriteRtf(document)) == document)) std::abort();
  return 0;
}
