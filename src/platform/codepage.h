// Conversion between Windows code pages and UTF-8, and the rule for texts kept as bytes
// (titles, keywords, bookmark names, task texts): shown as UTF-8 when they are valid UTF-8,
// else as the system code page; typed text is stored in the system code page when every
// character fits, else as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace mlf {

constexpr unsigned kCodePageUtf8 = 65001;

// 1252 on POSIX; the ANSI code page on Windows.
unsigned SystemCodePage();

bool IsValidUtf8(std::string_view text);

// Decodes bytes of the code page; a byte sequence the code page does not define becomes
// U+FFFD. An unknown code page decodes as 1252.
std::string CodePageToUtf8(unsigned codePage, std::string_view bytes);

// Encodes UTF-8 text into the code page; false (out unspecified) when a character does not fit.
bool Utf8ToCodePage(unsigned codePage, std::string_view utf8, std::string& out);

std::string StoredTextToUtf8(std::string_view stored);
std::string Utf8ToStoredText(std::string_view utf8);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace mlf
