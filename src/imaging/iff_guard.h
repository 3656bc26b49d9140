// The codec library's IFF-85 reader walks chunks until their lengths add up to the FORM length
// exactly, so lengths that overshoot it make it loop for ever past the end of the file; and it
// unpacks PBM rows without bounding them by the line. IFF files are walked the same way first.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mlf::imaging {

// Empty when the library may read the file; else why it was refused. Also refuses a bitmap
// header that declares more than maxPixels pixels.
std::string CheckIffChunks(std::span<const uint8_t> bytes, uint64_t maxPixels);

}  // namespace mlf::imaging
