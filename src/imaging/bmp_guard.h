// The codec library reads Windows bitmaps with the 40-byte BITMAPINFOHEADER (and the older
// ones), but refuses the BITMAPV4HEADER (108 bytes) and BITMAPV5HEADER (124 bytes) that many
// programs write by default. Their first 40 bytes are that header; what they add (colour masks,
// colour space, an ICC profile) is either moved where the 40-byte form keeps it (the masks) or
// not needed to show the picture.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mlf::imaging {

// For a V4 or V5 bitmap fills *rebuilt with the same picture under a 40-byte header; other
// bitmaps are left alone (*rebuilt stays empty). Returns an empty string on success, else why
// the file was refused.
std::string RebuildBmpForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt);

}  // namespace mlf::imaging
