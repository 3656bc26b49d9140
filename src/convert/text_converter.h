// One text converter: something that turns files of some extensions into RTF (import) or RTF
// into them (export).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace mlf {

enum class ConverterKind {
  Copy = 0,       // the file is RTF already
  Library = 1,    // a converter library with the text-converter entry points
  PlainText = 2,  // plain text through the RTF engine, in the import font
  Program = 3,    // a converter program found on the PATH (pandoc, LibreOffice)
};

struct CTextConverter {
  std::vector<std::string> extensions;  // lower case, in the order given
  std::string extensionsValue;          // extensions separated by single spaces
  std::string name;
  std::string path;     // the library, or the program
  std::string keyName;  // the registry key it came from, or the program's format
  bool valid = false;
  ConverterKind kind = ConverterKind::Copy;
  std::string filterText;     // "Name (*.a, *.b)"
  std::string filterPattern;  // "*.a;*.b"
};

// A converter as a registry key describes it: its key name and its values.
struct RegisteredConverter {
  std::string keyName;
  std::vector<std::pair<std::string, std::string>> values;  // in key order; "Path", "Name", "Extensions" count
};

// The two rows every converter list starts with.
std::vector<CTextConverter> BuiltInConverters();

// Reads registered converters into records; keys with none of the known values are dropped.
std::vector<CTextConverter> ReadRegisteredConverters(const std::vector<RegisteredConverter>& keys);

struct FileFilterEntry {
  std::string text;
  std::string pattern;
};

// Fills each converter's extensions, filter text and pattern, collects the distinct extensions
// into extensions, and returns the file-type list: with summary, "All Supported File Types"
// first. Entries longer than 256 bytes are left out of the list (the converter stays usable).
std::vector<FileFilterEntry> BuildFilter(std::vector<CTextConverter>& converters, bool withSummary,
                                         std::vector<std::string>& extensions);

// The list in the platform's filter format: text NUL pattern NUL per entry, then one NUL.
std::string FilterBytes(const std::vector<FileFilterEntry>& filter);

}  // namespace mlf
