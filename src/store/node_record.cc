#include "store/node_record.h"

namespace mlf {

const char* DefaultTitle(uint8_t type) {
  switch (type) {
    case ntFolder: return "New Folder";
    case ntNote: return "New Note";
    case ntImage: return "New Image";
    case ntHtml: return "New HTML";
    case ntForeign: return "New Foreign Data";
    default: return nullptr;
  }
}

TreeImage DefaultImage(uint8_t type) {
  switch (type) {
    case ntFolder: return TreeImage::kFolder;
    case ntNote: return TreeImage::kNote;
    case ntImage: return TreeImage::kImage;
    case ntHtml: return TreeImage::kHtml;
    case ntForeign: return TreeImage::kForeign;
    default: return TreeImage::kActiveMark;
  }
}

bool HasContentType(uint8_t type) {
  return type == ntNote || type == ntImage || type == ntHtml || type == ntForeign;
}

}  // namespace mlf
