// Walking UTF-8 text that may not be valid.
#pragma once

#include <string_view>

namespace mlf::rtf {

// The code point at pos, advancing pos; a byte that does not start valid UTF-8 is U+FFFD.
inline char32_t NextCodePoint(std::string_view s, size_t& pos) {
  unsigned char c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) {
    ++pos;
    return c;
  }
  int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 0;
  char32_t cp = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
  if (extra == 0 || pos + extra >= s.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    unsigned char cc = static_cast<unsigned char>(s[pos + i]);
    if ((cc & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    cp = cp << 6 | (cc & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
    ++pos;
    return 0xFFFD;
  }
  pos += extra + 1;
  return cp;
}

}  // namespace mlf::rtf
