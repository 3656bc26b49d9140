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

uint16_t DefaultImage(uint8_t type) {
  switch (type) {
    case ntFolder: return kImageFolder;
    case ntNote: return kImageNote;
    case ntImage: return kImageImage;
    case ntHtml: return kImageHtml;
    case ntForeign: return kImageForeign;
    default: return kImageUnknown;
  }
}

bool HasContentType(uint8_t type) {
  return type == ntNote || type == ntImage || type == ntHtml || type == ntForeign;
}

}  // namespace mlf
