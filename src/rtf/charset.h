// Which code page RTF text bytes are in, and decoding them to UTF-8, including the Symbol
// font's own character set.
#pragma once

#include <string>
#include <string_view>

#include "rtf/document.h"

namespace mlf::rtf {

// Marks text in a symbol font; Windows calls it CP_SYMBOL.
constexpr unsigned kCodePageSymbol = 42;

// The code page itself when text in it can be read as RTF is read, byte by byte with ASCII as
// ASCII (the Windows ANSI, OEM, Mac and double-byte pages, ISO 8859, KOI8, UTF-8); 1252 for
// any other number, such as an EBCDIC page.
unsigned UsableCodePage(int codePage);

// The code page of a font with \fcharsetN; \fcharset1 (default) and unknown sets fall back to
// the document's code page.
unsigned CodePageOfCharset(int charset, unsigned documentCodePage);

// The code page of a font's text: \cpg, else \fcharset; kCodePageSymbol for the Symbol font
// whatever set it names.
unsigned CodePageOfFont(const Font& font, unsigned documentCodePage);
bool IsSymbolFont(const Font& font);

// The \fcharset that goes with a code page (0 for 1252 and unknown ones).
int CharsetOfCodePage(unsigned codePage);

// The Symbol font maps its bytes onto Greek letters and mathematical signs; other symbol
// fonts (Wingdings and the like) keep their bytes in the private-use area at U+F000.
char32_t SymbolToUnicode(unsigned char byte, bool symbolFont);

// Whether all bytes are ASCII, which reads the same in every code page RTF uses.
bool IsAscii(std::string_view bytes);

// Appends the UTF-8 form of bytes in the code page.
void AppendDecoded(std::string& out, std::string_view bytes, unsigned codePage, bool symbolFont);

}  // namespace mlf::rtf
