#include "convert/text_converter.h"

#include <algorithm>
#include <cctype>

namespace mlf {

std::vector<CTextConverter> BuiltInConverters() {
  CTextConverter rtf, text;
  rtf.extensionsValue = "rtf";
  rtf.name = "Rich Text Format";
  rtf.kind = ConverterKind::Copy;
  text.extensionsValue = "txt";
  text.name = "Plain Text";
  text.kind = ConverterKind::PlainText;
  rtf.valid = text.valid = true;
  return {rtf, text};
}

std::vector<CTextConverter> ReadRegisteredConverters(const std::vector<RegisteredConverter>& keys) {
  std::vector<CTextConverter> converters;
  for (const RegisteredConverter& key : keys) {
    CTextConverter c;
    c.keyName = key.keyName;
    c.kind = ConverterKind::Library;
    for (const auto& [name, value] : key.values) {
      if (value.size() > 256) break;  // a longer value ends the reading of the key
      if (name == "Extensions") c.extensionsValue = value, c.valid = true;
      else if (name == "Name") c.name = value, c.valid = true;
      else if (name == "Path") c.path = value, c.valid = true;
    }
    if (c.valid) converters.push_back(c);
  }
  return converters;
}

std::vector<FileFilterEntry> BuildFilter(std::vector<CTextConverter>& converters, bool withSummary,
                                         std::vector<std::string>& extensions) {
  std::vector<FileFilterEntry> entries;
  for (CTextConverter& c : converters) {
    c.extensions.clear();
    std::string pattern, shown;
    for (size_t start = 0; start <= c.extensionsValue.size();) {
      size_t space = c.extensionsValue.find(' ', start);
      if (space == std::string::npos) space = c.extensionsValue.size();
      std::string piece = c.extensionsValue.substr(start, space - start);
      start = space + 1;
      if (piece.empty()) continue;
      std::transform(piece.begin(), piece.end(), piece.begin(),
                     [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
      c.extensions.push_back(piece);
      pattern += (pattern.empty() ? "*." : ";*.") + piece;
      shown += (shown.empty() ? "*." : ", *.") + piece;
      if (std::find(extensions.begin(), extensions.end(), piece) == extensions.end()) extensions.push_back(piece);
    }
    c.filterText = c.name + " (" + shown + ")";
    c.filterPattern = pattern;
    if (c.filterText.size() + c.filterPattern.size() + 2 <= 256) entries.push_back({c.filterText, c.filterPattern});
  }
  if (withSummary) {
    std::string all;
    for (const std::string& e : extensions)
      if (e != "*") all += (all.empty() ? "*." : ";*.") + e;
    entries.insert(entries.begin(), {"All Supported File Types", all});
  }
  return entries;
}

std::string FilterBytes(const std::vector<FileFilterEntry>& filter) {
  std::string bytes;
  for (const FileFilterEntry& e : filter) {
    bytes += e.text;
    bytes += '\0';
    bytes += e.pattern;
    bytes += '\0';
  }
  bytes += '\0';
  return bytes;
}

}  // namespace mlf
