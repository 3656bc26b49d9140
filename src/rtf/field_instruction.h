// The instruction of a HYPERLINK field, read and written.
#pragma once

#include <string>
#include <string_view>

namespace mlf::rtf {

// The target of `HYPERLINK "url"`, `HYPERLINK \l "bookmark"` (as "#bookmark") or both
// ("url#bookmark"); empty for every other field.
std::string HyperlinkTarget(std::string_view instruction);

// What a MACROBUTTON field shows: the text after the macro name; empty for other fields.
std::string MacroButtonText(std::string_view instruction);

// The instruction that HyperlinkTarget reads back as the target.
std::string HyperlinkInstruction(std::string_view target);

}  // namespace mlf::rtf
