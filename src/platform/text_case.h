#pragma once

#include <string>
#include <string_view>

namespace mlf {

// Lower case of UTF-8 text for case-insensitive search: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic capitals are folded; everything else, and bytes that are not UTF-8, stay.
std::string LowerUtf8(std::string_view text);

}  // namespace mlf
