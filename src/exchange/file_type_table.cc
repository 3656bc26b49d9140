#include "exchange/file_type_table.h"

#include <algorithm>
#include <cctype>

#include "platform/path.h"
#include "store/node_record.h"

namespace mlf {
namespace {

constexpr FileTypeRow kFileTypes[] = {
    {ntNote, 0, "TXT", true},    {ntNote, 0, "TEXT", true},  {ntNote, 0, "RTF", true},
    {ntImage, 1, "BMP", true},   {ntImage, 2, "GIF", false}, {ntImage, 3, "JPG", false},
    {ntImage, 3, "JPEG", false}, {ntImage, 3, "JIF", false}, {ntImage, 4, "PCX", true},
    {ntImage, 5, "PIC", true},   {ntImage, 5, "PICT", true}, {ntImage, 6, "PGM", true},
    {ntImage, 7, "PNG", false},  {ntImage, 8, "TGA", true},  {ntImage, 9, "TIF", true},
    {ntImage, 9, "TIFF", true},  {ntImage, 10, "EMF", true}, {ntImage, 10, "WEMF", true},
    {ntImage, 10, "WMF", true},
};

}  // namespace

std::optional<FileTypeRow> FindFileType(const std::string& path) {
  std::string name = BaseName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return std::nullopt;
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  for (const FileTypeRow& row : kFileTypes)
    if (extension == row.extension) return row;
  return std::nullopt;
}

}  // namespace mlf
