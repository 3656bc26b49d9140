// What Find in Nodes looks for and how a text matches it.
#pragma once

#include <string>
#include <vector>

namespace mlf {

enum class SearchMode { AllWords = 0, AnyWords = 1, ExactPhrase = 2 };

struct SearchQuery {
  std::string text;  // UTF-8, trimmed of spaces at both ends
  SearchMode mode = SearchMode::AllWords;
  bool titles = true;
  bool keywords = true;
  bool content = true;
};

// The words of the query in lower case: cut at every space (the whole query in exact mode).
std::vector<std::string> QueryWords(const std::string& query, SearchMode mode);

// lowerText (already in lower case) matches: every word, some word, or the phrase occurs in it
// as a substring.
bool TextMatches(const std::string& lowerText, const std::vector<std::string>& words, SearchMode mode);

// The query with spaces trimmed from both ends, as the search takes it.
std::string TrimSpaces(const std::string& text);

}  // namespace mlf
