// Pictures compiled into the program.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/picture_decoder.h"

namespace mlf {

enum class PictureResource {
  DefaultLogo,  // shown when a document has no logo of its own; a 128 x 128 PNG with alpha
};

// The resource's encoded bytes, as stored in the program.
std::span<const uint8_t> PictureResourceBytes(PictureResource resource);

DecodedPicture DecodePictureResource(PictureResource resource);

}  // namespace mlf
