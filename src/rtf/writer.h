// Writes the rich-text model as RTF in the form the Windows rich-edit control writes it:
// {\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl...}{\colortbl ;...}\viewkind4\uc1\pard...
// Characters outside the font's code page are written as \uN with a "?" fallback.
#pragma once

#include <string>

#include "rtf/document.h"

namespace mlf::rtf {

// Reading the result gives back the same document. Fonts and colours the content names but the
// tables lack are added to the tables.
std::string WriteRtf(const Document& document);

}  // namespace mlf::rtf
