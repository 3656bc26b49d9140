#pragma once

#include <string>
#include <string_view>

namespace mlf {

// Lower case of UTF-8 text for case-insensitive search: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic capitals are folded; everything else, and bytes that are not UTF-8, stay.
// Every fold keeps the length of the character's UTF-8 form.
std::string LowerUtf8(std::string_view text);

// The same fold in place, without allocating: what search does to every note's text.
void LowerUtf8InPlace(std::string& text);

}  // namespace mlf
