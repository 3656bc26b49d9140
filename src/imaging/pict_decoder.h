// Our own reader of the raster in a Macintosh PICT version 2 file. The codec library's PICT
// reader expands packed rows and colour tables without any bound, so that a few damaged bytes
// make it write past its buffers; this one checks every count against the file and the row.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/bitmap.h"

namespace mlf::imaging {

struct PictRaster {
  Bitmap bitmap;  // 32 bits per pixel, when the raster was a bit or pixel map
  std::span<const uint8_t> embeddedJpeg;  // when the raster is a QuickTime JPEG, to decode on
  std::string reason;                     // when neither: why
};

// Reads the first bit map, pixel map or QuickTime JPEG of the picture, skipping the drawing
// commands before it; bytes start with the 512-byte preamble.
PictRaster ReadPictRaster(std::span<const uint8_t> bytes, uint64_t maxPixels);

}  // namespace mlf::imaging
