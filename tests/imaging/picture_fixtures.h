// Tiny pictures built from known bytes, for the decoder tests and the fuzz corpus. Each holds
// the same 3 x 2 pattern, so that a decoder that swaps channels, mirrors or flips shows it.
#pragma once

#include <array>
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

Bytes PatternBmp();  // 24-bit, rows bottom-up as usual
Bytes PatternGif();  // written by ImageMagick 6
Bytes PatternPcx();  // 3 colour planes, run-length encoded
Bytes PatternPgm();  // binary (P5), kGreyPattern
Bytes PatternPpm();  // binary (P6)
Bytes PatternPict(); // version 2 with DirectBitsRect, written by ImageMagick 6
Bytes PatternPsd();  // RGB, raw image data
Bytes PatternSgi();  // verbatim, rows bottom-up
Bytes PatternIff();  // ILBM with 3 bit planes and a colour map
Bytes PatternTga(bool topDown);  // uncompressed 24-bit, either row order

}  // namespace mlf::test
