#include "search/query.h"

#include <algorithm>

#include "platform/text_case.h"

namespace mlf {

std::vector<std::string> QueryWords(const std::string& query, SearchMode mode) {
  std::string lower = LowerUtf8(query);
  if (mode == SearchMode::ExactPhrase) return lower.empty() ? std::vector<std::string>{} : std::vector{lower};
  std::vector<std::string> words;
  for (size_t start = 0; start < lower.size();) {
    size_t space = lower.find(' ', start);
    if (space == std::string::npos) space = lower.size();
    if (space > start) words.push_back(lower.substr(start, space - start));
    start = space + 1;
  }
  return words;
}

bool TextMatches(const std::string& lowerText, const std::vector<std::string>& words, SearchMode mode) {
  if (words.empty()) return false;
  auto occurs = [&](const std::string& word) { return lowerText.find(word) != std::string::npos; };
  return mode == SearchMode::AnyWords ? std::any_of(words.begin(), words.end(), occurs)
                                      : std::all_of(words.begin(), words.end(), occurs);
}

std::string TrimSpaces(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace mlf
