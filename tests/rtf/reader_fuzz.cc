// Feeds arbitrary bytes to the reader, checks that writing what it read and reading that again
// gives the same document (the writer may add fonts and colours the tables lacked), and that
// the faster plain-text reading gives the text of the document.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

namespace {

template <typename T>
bool StartsWith(const std::vector<T>& longer, const std::vector<T>& shorter) {
  return longer.size() >= shorter.size() && std::equal(shorter.begin(), shorter.end(), longer.begin());
}

bool SameApartFromAddedTableEntries(const mlf::rtf::Document& read, mlf::rtf::Document again) {
  if (!StartsWith(again.fonts, read.fonts) || !StartsWith(again.colors, read.colors)) return false;
  again.fonts.resize(read.fonts.size());
  again.colors.resize(read.colors.size());
  return again == read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  mlf::rtf::Document document = mlf::rtf::ReadRtf(input);
  if (mlf::rtf::RtfToPlainText(input) != mlf::rtf::PlainText(document)) std::abort();
  if (!SameApartFromAddedTableEntries(document, mlf::rtf::ReadRtf(mlf::rtf::WriteRtf(document))))
    std::abort();
  return 0;
}
