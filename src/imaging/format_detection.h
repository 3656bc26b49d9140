// Telling the supported picture formats apart by their bytes. Only the readers of these
// formats judge the bytes: asking the codec library for the format would run every reader it
// has, its camera raw reader even on every TIFF.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <span>

#include "imaging/picture_format.h"

namespace mlf::imaging {

struct Detection {
  PictureFormat format = PictureFormat::Unknown;
  FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;  // the library's reader that decodes it
};

// memory is a stream over bytes; its position is left anywhere.
Detection Detect(std::span<const uint8_t> bytes, FIMEMORY* memory);

// The TIFF preview of an EPS file with the binary header of DOS and Windows; empty when the
// bytes are not such a file or have no preview.
std::span<const uint8_t> EpsTiffPreview(std::span<const uint8_t> bytes);

// Portable bitmaps (P1, P4) are not among the supported formats, unlike their grey and colour
// relatives.
bool IsPortableBitmap(std::span<const uint8_t> bytes);

}  // namespace mlf::imaging
