// Reads the picture size that a header declares, for the formats whose header the codec
// library cannot read without decoding the pixels (GIF, SGI). The
// decoder refuses oversized pictures with it before the library allocates their pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "imaging/picture_format.h"

namespace mlf::imaging {

// Width times height; for GIF the larger of the logical screen and the first frame.
// nullopt for other formats and for headers cut short.
std::optional<uint64_t> DeclaredPixelCount(PictureFormat format, std::span<const uint8_t> bytes);

}  // namespace mlf::imaging
