#include "rtf/field_instruction.h"

#include <vector>

namespace mlf::rtf {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits an instruction into words; a quoted word may hold spaces, \" for a quote and \\ for a
// backslash.
std::vector<std::string> SplitInstruction(std::string_view text) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size()) break;
    std::string word;
    if (text[pos] == '"') {
      ++pos;
      while (pos < text.size() && text[pos] != '"') {
        if (text[pos] == '\\' && pos + 1 < text.size() && (text[pos + 1] == '"' || text[pos + 1] == '\\'))
          ++pos;
        word += text[pos++];
      }
      ++pos;
    } else {
      while (pos < text.size() && !IsSpace(text[pos])) word += text[pos++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

std::string HyperlinkTarget(std::string_view instruction) {
  std::vector<std::string> words = SplitInstruction(instruction);
  if (words.empty()) return {};
  std::string keyword = words[0];
  for (char& c : keyword) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (keyword != "HYPERLINK") return {};
  std::string url, anchor;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() == 2 && word[0] == '\\') {
      char option = static_cast<char>(std::tolower(static_cast<unsigned char>(word[1])));
      if (option == 'l' && i + 1 < words.size()) anchor = words[++i];
      else if ((option == 'o' || option == 't') && i + 1 < words.size()) ++i;  // tip, frame
      continue;
    }
    if (url.empty()) url = word;
  }
  return anchor.empty() ? url : url + "#" + anchor;
}

std::string MacroButtonText(std::string_view instruction) {
  size_t pos = instruction.find_first_not_of(" \t\r\n");
  const std::string_view keyword = "MACROBUTTON";
  if (pos == std::string_view::npos || instruction.substr(pos, keyword.size()) != keyword) return {};
  pos = instruction.find_first_not_of(" \t", pos + keyword.size());  // the macro name
  pos = instruction.find_first_of(" \t", pos);
  pos = instruction.find_first_not_of(" \t", pos);
  if (pos == std::string_view::npos) return {};
  size_t end = instruction.find_last_not_of(" \t\r\n");
  return std::string(instruction.substr(pos, end - pos + 1));
}

std::string HyperlinkInstruction(std::string_view target) {
  auto quoted = [](std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
      if (c == '"' || c == '\\') out += '\\';
      out += c;
    }
    return out + "\"";
  };
  if (!target.empty() && target[0] == '#') return "HYPERLINK \\l " + quoted(target.substr(1));
  return "HYPERLINK " + quoted(target);
}

}  // namespace mlf::rtf
