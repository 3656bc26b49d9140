#include "settings/custom_colours.h"

#include <cctype>
#include <cstdio>

namespace mlf {

constexpr uint32_t kWhite = 0xFFFFFF;

CustomColours ParseCustomColours(const std::string& text) {
  CustomColours colours;
  colours.fill(kWhite);
  size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  };
  for (uint32_t& colour : colours) {
    skipBlanks();
    if (pos >= text.size() || text[pos] != '#') break;
    ++pos;
    skipBlanks();
    uint32_t value = 0;
    bool any = false;
    while (pos < text.size() && std::isxdigit(static_cast<unsigned char>(text[pos]))) {
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos++])));
      value = value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
      any = true;
    }
    if (!any) break;
    colour = value;
    skipBlanks();
    if (pos >= text.size() || text[pos] != ';') break;
    ++pos;
  }
  return colours;
}

std::string FormatCustomColours(const CustomColours& colours) {
  std::string text;
  char entry[16];
  for (uint32_t colour : colours) {
    std::snprintf(entry, sizeof entry, "#%08x;", colour);
    text += entry;
  }
  return text;
}

}  // namespace mlf
