#include "rtf/charset.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace mlf::rtf {
namespace {

struct CharsetCodePage {
  int charset;
  unsigned codePage;
};

constexpr CharsetCodePage kCharsets[] = {
    {0, 1252},   {2, kCodePageSymbol}, {77, 10000}, {78, 10001}, {128, 932},  {129, 949},
    {130, 1361}, {134, 936},           {136, 950},  {161, 1253}, {162, 1254}, {163, 1258},
    {177, 1255}, {178, 1256},          {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},
    {254, 437},  {255, 850},
};

// The Symbol font's bytes 0x20..0xFF; 0 where the font has no character.
constexpr char16_t kSymbol[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217,
    0x002B, 0x002C, 0x2212, 0x002E, 0x002F,
    // 0x30
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A,
    0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1,
    0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    // 0x50
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396,
    0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5,
    0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,
    // 0x70
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,
    0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80, 0x90
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660,
    0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    // 0xB0
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261,
    0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287,
    0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    // 0xD0
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228,
    0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2,
    0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,
    // 0xF0
    0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,
    0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};

}  // namespace

bool IsAscii(std::string_view bytes) {
  const size_t size = bytes.size();
  uint64_t high = 0;  // the bytes ORed together, eight at a time
  if (size < 8) {
    for (char c : bytes) high |= static_cast<unsigned char>(c);
    return high < 0x80;
  }
  auto word = [&](size_t at) {
    uint64_t w;
    std::memcpy(&w, bytes.data() + at, 8);
    return w;
  };
  for (size_t i = 0; i + 8 < size; i += 8) high |= word(i);
  high |= word(size - 8);  // the last eight, overlapping the words before
  return (high & 0x8080808080808080u) == 0;
}

unsigned UsableCodePage(int codePage) {
  const bool usable = codePage == 437 || codePage == 708 || codePage == 720 || codePage == 737 ||
                      codePage == 775 || (codePage >= 850 && codePage <= 869) || codePage == 874 ||
                      codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
                      (codePage >= 1250 && codePage <= 1258) || codePage == 1361 ||
                      (codePage >= 10000 && codePage <= 10007) || codePage == 10029 ||
                      codePage == 10079 || codePage == 10081 || codePage == 20127 ||
                      codePage == 20866 || codePage == 21866 ||
                      (codePage >= 28591 && codePage <= 28605) || codePage == 54936 ||
                      codePage == 65001;
  return usable ? static_cast<unsigned>(codePage) : 1252;
}

unsigned CodePageOfCharset(int charset, unsigned documentCodePage) {
  for (const CharsetCodePage& entry : kCharsets)
    if (entry.charset == charset) return entry.codePage;
  return documentCodePage;
}

bool IsSymbolFont(const Font& font) {
  return font.name.size() == 6 && std::equal(font.name.begin(), font.name.end(), "Symbol", [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

unsigned CodePageOfFont(const Font& font, unsigned documentCodePage) {
  if (IsSymbolFont(font)) return kCodePageSymbol;
  if (font.codePage > 0) return static_cast<unsigned>(font.codePage);
  return CodePageOfCharset(font.charset, documentCodePage);
}

int CharsetOfCodePage(unsigned codePage) {
  for (const CharsetCodePage& entry : kCharsets)
    if (entry.codePage == codePage) return entry.charset;
  return 0;
}

char32_t SymbolToUnicode(unsigned char byte, bool symbolFont) {
  if (symbolFont && byte >= 0x20 && kSymbol[byte - 0x20] != 0) return kSymbol[byte - 0x20];
  return byte < 0x20 ? byte : 0xF000 + byte;
}

void AppendDecoded(std::string& out, std::string_view bytes, unsigned codePage, bool symbolFont) {
  if (codePage == kCodePageSymbol) {
    for (unsigned char c : bytes) AppendUtf8(out, SymbolToUnicode(c, symbolFont));
  } else if (IsAscii(bytes)) {
    out.append(bytes);  // the same in every code page RTF uses
  } else {
    out += CodePageToUtf8(codePage, bytes);
  }
}

}  // namespace mlf::rtf
