// The codec library's Targa reader lets a run-length packet run on past the last pixel of the
// picture, writing beyond its bitmap. Run-length Targa files are walked packet by packet
// before it sees them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mlf::imaging {

// Empty when the file is not run-length encoded or its packets fill the picture exactly within
// the file's bytes; else why it was refused.
std::string CheckTgaRunLengths(std::span<const uint8_t> bytes);

}  // namespace mlf::imaging
