// The codec library's Photoshop reader trusts what a file says: damaged run-length rows make it
// write past its line buffer, and it parses thumbnails and metadata resources that display
// never needs. Photoshop files are therefore checked and rebuilt before it sees them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mlf::imaging {

// Checks the header and the merged image data and fills *rebuilt with a file that holds only
// what decoding needs: the header, the colour mode data, the resources that change pixels (the
// indexed colour count and the transparency index), no layers, and the image data. Returns an
// empty string on success, else why the file was refused.
std::string RebuildPsdForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt);

}  // namespace mlf::imaging
