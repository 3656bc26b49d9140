// The codec library's PCX reader takes each plane's row from a line of the bytes a row that the
// header gives, but fills as many pixels as the picture is wide: a header whose rows are too
// short for its width makes it read far past its line buffer, and one whose rows are far too
// long makes a tiny file take seconds to decode.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace mlf::imaging {

// Empty when the header's rows fit the picture's width; else why the file was refused.
std::string CheckPcxHeader(std::span<const uint8_t> bytes);

}  // namespace mlf::imaging
