// The codec library's Targa reader lets a run-length packet run on past the last pixel,
// sizes its read cache from the file so that a short file gets an empty cache it then reads
// past, and copies the postage stamp of newer files without checking its size. Targa files
// are therefore checked and rebuilt before it sees them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mlf::imaging {

// Walks the run-length packets, which must fill the picture exactly within the file's bytes,
// and fills *rebuilt with the file without its footer (so that the library skips the postage
// stamp) and padded so that its read cache cannot come out empty. Returns an empty string on
// success, else why the file was refused.
std::string RebuildTgaForDecoding(std::span<const uint8_t> bytes, std::vector<uint8_t>* rebuilt);

}  // namespace mlf::imaging
