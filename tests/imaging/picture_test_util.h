// Helpers shared by the imaging tests.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/picture_decoder.h"

namespace mlf::test {

// Every pixel as 0xAARRGGBB, row by row from the top left.
inline std::vector<uint32_t> PixelsOf(const Bitmap& bitmap) {
  const PixelBuffer buffer = bitmap.ToPixelBuffer();
  std::vector<uint32_t> pixels;
  for (int y = 0; y < buffer.Height(); ++y)
    for (int x = 0; x < buffer.Width(); ++x) pixels.push_back(buffer.Pixel(x, y));
  return pixels;
}

// The 3 x 2 pattern as a 24-bit bitmap.
inline Bitmap PatternBitmap(std::span<const uint8_t> ppm) { return DecodePicture(ppm).bitmap; }

}  // namespace mlf::test
