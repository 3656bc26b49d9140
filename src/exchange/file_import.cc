#include "exchange/file_import.h"

#include <algorithm>

#include "exchange/file_type_table.h"
#include "platform/codepage.h"
#include "platform/env.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/node.h"

namespace mlf {
namespace {

std::string LowerExtension(const std::string& path) {
  std::string name = BaseName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  std::string extension = name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

std::string TitleOf(const std::string& path, bool keepExtension) {
  std::string name = BaseName(path);
  size_t dot = name.rfind('.');
  if (!keepExtension && dot != std::string::npos && dot != 0) name.resize(dot);
  return name;
}

// The reason a file cannot be read at all; empty when it can.
std::string Unreadable(Env& env, const std::string& path) {
  if (env.DirectoryExists(path)) return "a folder is not imported";
  try {
    env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    return {};
  } catch (const FileError& error) {
    return error.what();
  }
}

std::string Refusal(uint8_t type, const std::string& path) {
  switch (type) {
    case ntImage: return "not a picture this program can read";
    case ntNote: {
      std::string extension = LowerExtension(path);
      return extension.empty() ? "no converter for files without an extension" : "no converter for ." + extension;
    }
    default: return "it could not be stored";
  }
}

}  // namespace

std::optional<uint8_t> ImportTypeNamed(const std::string& name) {
  if (name == "note") return ntNote;
  if (name == "image") return ntImage;
  if (name == "html") return ntHtml;
  if (name == "file") return ntForeign;
  return std::nullopt;
}

const char* ImportedAs(uint8_t type) {
  switch (type) {
    case ntNote: return "a note";
    case ntImage: return "an image";
    case ntHtml: return "an HTML page";
    default: return "a file";
  }
}

FileImport ImportFile(CMarrowleafDoc& document, const std::string& path, uint32_t parent,
                      std::optional<uint8_t> forced, bool keepExtension) {
  FileImport result;
  if ((result.reason = Unreadable(document.GetEnv(), path)) != "") return result;
  std::optional<FileTypeRow> row = FindFileType(path);
  std::string extension = LowerExtension(path);
  auto attempt = [&](uint8_t type) {
    bool compress = row && row->nodeType == type ? row->compressed : true;
    int format = row && row->nodeType == type ? row->formatCode : 0;
    if ((result.id = document.Data_AddFromFile(path, type, format, compress))) result.type = type;
    return result.id != 0;
  };
  if (forced) {
    attempt(*forced);
  } else if (extension == "html" || extension == "htm") {
    attempt(ntHtml);
  } else if (row) {
    // A known extension is believed first; a file that is not what its name says is attached.
    if (!attempt(row->nodeType) && attempt(ntForeign)) result.reason = Refusal(row->nodeType, path);
  } else {
    attempt(ntImage) || attempt(ntNote) || attempt(ntForeign);
  }
  if (!result.id) {
    result.reason = Refusal(forced.value_or(ntForeign), path);
    return result;
  }
  CMlfNode node(&document, result.id);
  node.SetTitle(Utf8ToStoredText(TitleOf(path, keepExtension)));
  node.SetParent(parent);
  node.Update(true);
  return result;
}

}  // namespace mlf
