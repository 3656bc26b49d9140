// Plain text out of RTF, and RTF out of plain text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "rtf/document.h"

namespace mlf::rtf {

// The text a reader sees: paragraphs (and the paragraphs of table cells) separated by "\n",
// line breaks as "\n", tabs kept, fields by their result, a list paragraph's number or bullet
// and a space before its text ("3. ", "• "); hidden text, pictures and the fragments without
// visible text left out.
std::string PlainText(const Document& document);

// PlainText(ReadRtf(rtf)), read faster.
std::string RtfToPlainText(std::string_view rtf);

// The same text handed to sink in pieces as the reading goes (joined, they are the text), so
// that it never stands whole in memory, nor does the model it comes from.
void RtfToPlainText(std::string_view rtf, const std::function<void(std::string_view)>& sink);

// One paragraph per line of the text (lines end with CR LF, LF or CR), all in the given face
// and size and not bold. Text that is not valid UTF-8 is read as the system code page.
std::string PlainTextToRtf(std::string_view text, std::string_view fontFace, int pointSize);

}  // namespace mlf::rtf
