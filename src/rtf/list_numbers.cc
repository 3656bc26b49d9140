#include "rtf/list_numbers.h"

#include <algorithm>
#include <utility>

namespace mlf::rtf {

std::string NumberText(ListFormat::Style style, int number) {
  std::string text;
  int n = std::max(number, 1);
  switch (style) {
    case ListFormat::Style::kNone:
    case ListFormat::Style::kBullet: break;
    case ListFormat::Style::kDecimal: text = std::to_string(std::max(number, 0)); break;
    case ListFormat::Style::kLowerAlpha:
    case ListFormat::Style::kUpperAlpha: {
      // a..z, then aa, ab, ...; the text is bounded for absurd numbers
      char base = style == ListFormat::Style::kLowerAlpha ? 'a' : 'A';
      for (; n > 0 && text.size() < 8; n = (n - 1) / 26) text.insert(text.begin(), static_cast<char>(base + (n - 1) % 26));
      break;
    }
    case ListFormat::Style::kLowerRoman:
    case ListFormat::Style::kUpperRoman: {
      static constexpr std::pair<int, const char*> kRoman[] = {
          {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
          {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
      for (const auto& [value, digits] : kRoman)
        for (; n >= value && text.size() < 32; n -= value) text += digits;
      if (style == ListFormat::Style::kUpperRoman)
        for (char& c : text) c = static_cast<char>(c - 'a' + 'A');
      break;
    }
  }
  return text;
}

std::string MarkerText(const ListFormat& list, int number) {
  if (list.style == ListFormat::Style::kNone) return {};
  if (list.style == ListFormat::Style::kBullet) return "\xe2\x80\xa2";
  return list.prefix + NumberText(list.style, number) + list.suffix;
}

}  // namespace mlf::rtf
