// Tiny pictures built from known bytes, for the decoder tests and the fuzz corpus. Each holds
// the same 3 x 2 pattern, so that a decoder that swaps channels, mirrors or flips shows it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mlf::test {

using Bytes = std::vector<uint8_t>;

inline constexpr int kPatternWidth = 3;
inline constexpr int kPatternHeight = 2;
// Row by row from the top left, as 0xAARRGGBB: red, green, blue / white, black, grey.
inline constexpr std::array<uint32_t, 6> kPattern = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                     0xFFFFFFFF, 0xFF000000, 0xFF808080};
// The grey levels that the grey-scale fixtures hold, in the same order.
inline constexpr std::array<uint8_t, 6> kGreyPattern = {0x00, 0x40, 0x80, 0xC0, 0xFF, 0x20};
std::array<uint32_t, 6> GreyPatternPixels();

// 24 or 32 bits per pixel, rows bottom-up as usual; the fourth byte of a 32-bit pixel is 0, as
// most writers leave it.
Bytes PatternBmp(int bitsPerPixel);
Bytes PatternGif();  // written by ImageMagick 6
// The GIF with palette entry 0, the black pixel's, marked transparent.
Bytes PatternGifWithTransparentBlack();
Bytes PatternPcx();          // 3 colour planes, run-length encoded
Bytes PatternPgm();          // binary (P5), kGreyPattern
Bytes PatternPpm();          // binary (P6)
Bytes PatternPict();         // version 2 with DirectBitsRect, written by ImageMagick 6
Bytes PatternPictIndexed();  // version 2 with PackBitsRect: 8-bit indices and a colour table
// A 1-bit BitsRect: black, white, black / white, black, white.
Bytes MonochromePict();
inline constexpr std::array<uint32_t, 6> kMonochromePattern = {0xFF000000, 0xFFFFFFFF, 0xFF000000,
                                                               0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF};
// RGB, raw or with PackBits rows (each row one literal run, its count at kPsdFirstRowCount on).
Bytes PatternPsd(bool packBits);
inline constexpr size_t kPsdFirstRowCount = 40;
Bytes PatternSgi();  // verbatim, rows bottom-up
Bytes PatternIff();  // ILBM with 3 bit planes and a colour map
// PBM (one byte a pixel) with packed rows, each one literal run of 4; the first at kPbmFirstRow.
Bytes PatternIffPbm();
inline constexpr size_t kPbmFirstRow = 80;
Bytes PatternTga(bool topDown);  // uncompressed 24-bit, either row order

// A binary portable anymap of any size: grey (P5) with one byte a pixel, or colour (P6) with
// three, rows top-down.
Bytes Pgm(int width, int height, const Bytes& pixels);
Bytes Ppm(int width, int height, const Bytes& pixels);

}  // namespace mlf::test
