#include "platform/text_case.h"

namespace mlf {
namespace {

// The lower case of a character of two UTF-8 bytes (U+0080..U+07FF), again of two bytes.
char32_t Lower(char32_t c) {
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x137) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c == 0x178) return 0xFF;
  if (c == 0x179 || c == 0x17B || c == 0x17D) return c + 1;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

}  // namespace

std::string LowerUtf8(std::string_view text) {
  std::string out(text);
  LowerUtf8InPlace(out);
  return out;
}

void LowerUtf8InPlace(std::string& text) {
  char* p = text.data();
  const size_t size = text.size();
  for (size_t i = 0; i < size; ++i) {
    unsigned char b = static_cast<unsigned char>(p[i]);
    if (b < 0x80) {
      if (static_cast<unsigned>(b - 'A') < 26u) p[i] = static_cast<char>(b + 32);
      continue;
    }
    // Only characters of two bytes fold; the bytes of longer ones, continuation bytes and
    // bytes that are not UTF-8 are passed over one by one and stay as they are.
    if (b < 0xC2 || b > 0xDF || i + 1 >= size) continue;
    unsigned char next = static_cast<unsigned char>(p[i + 1]);
    if ((next & 0xC0) != 0x80) continue;
    char32_t lower = Lower(static_cast<char32_t>((b & 0x1F) << 6 | (next & 0x3F)));
    p[i] = static_cast<char>(0xC0 | lower >> 6);
    p[++i] = static_cast<char>(0x80 | (lower & 0x3F));
  }
}

}  // namespace mlf
