// The file types that import and export know, by extension: the node type a file becomes,
// its image format code, and whether it is stored compressed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mlf {

struct FileTypeRow {
  uint8_t nodeType;
  int formatCode;
  const char* extension;  // upper case
  bool compressed;
};

// The first row whose extension equals the path's (the text after its last ".", compared in
// upper case); empty when there is none or no extension.
std::optional<FileTypeRow> FindFileType(const std::string& path);

}  // namespace mlf
