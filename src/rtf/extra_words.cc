#include "rtf/extra_words.h"

#include <algorithm>

namespace mlf::rtf {

std::vector<std::string_view> ExtraEntries(std::string_view extra) {
  std::vector<std::string_view> entries;
  size_t start = 0;
  while (start < extra.size()) {
    size_t next = extra.find('\\', start + 1);
    if (next == std::string_view::npos) next = extra.size();
    entries.push_back(extra.substr(start, next - start));
    start = next;
  }
  return entries;
}

std::string_view ExtraEntryName(std::string_view entry) {
  size_t end = 1;
  while (end < entry.size() && entry[end] != '-' && (entry[end] < '0' || entry[end] > '9')) ++end;
  return entry.substr(1, end - 1);
}

void SetExtraWord(std::string& extra, std::string_view name, bool hasParameter, int parameter) {
  // Find where the name's entry is or belongs.
  size_t at = 0;
  size_t length = 0;
  for (std::string_view entry : ExtraEntries(extra)) {
    std::string_view existing = ExtraEntryName(entry);
    if (existing == name) {
      length = entry.size();
      break;
    }
    if (existing > name) break;
    at += entry.size();
  }
  std::string entry;
  if (!hasParameter || parameter != 0) {
    entry.reserve(name.size() + 12);
    entry += '\\';
    entry += name;
    if (hasParameter) entry += std::to_string(parameter);
  }
  extra.replace(at, length, entry);
}

}  // namespace mlf::rtf
