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

// Writes the UTF-8 form of a code point to out (room for 4 bytes); returns its length.
inline size_t EncodeUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | cp >> 6);
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | cp >> 12);
    out[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18 & 0x07));
  out[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace mlf::rtf
