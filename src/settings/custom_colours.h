// The 16 custom colours of the colour pickers as one text: per colour "#", the 0x00BBGGRR value
// as 8 lower-case hexadecimal digits, and ";" (160 characters).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mlf {

using CustomColours = std::array<uint32_t, 16>;

// An empty text gives 16 whites. Otherwise entries are read in order (blanks before a
// character skipped), each "#", a hexadecimal number and ";", up to the first entry that does
// not start with "#"; a number read before a missing ";" is kept. Colours the text does not
// supply are white.
CustomColours ParseCustomColours(const std::string& text);
std::string FormatCustomColours(const CustomColours& colours);

}  // namespace mlf
