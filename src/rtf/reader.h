// Reads RTF into the rich-text model.
#pragma once

#include <functional>
#include <string_view>

#include "rtf/document.h"

namespace mlf::rtf {

// Never fails: damaged, truncated or non-RTF input gives what could be read of it. Content the
// model cannot express is kept as fragments (see document.h). Groups nested deeper than
// kMaxGroupDepth are dropped with their content.
Document ReadRtf(std::string_view rtf);

// As ReadRtf, but the formats of the result say only whether text is hidden, and pictures
// carry no data: enough for PlainText, and faster.
Document ReadRtfText(std::string_view rtf);

// As ReadRtfText, but each block (a paragraph, or a table once it has ended) goes to each as
// soon as it ends, with its list numbers settled, and is not kept: the memory the reading takes
// is bounded by the largest block rather than the whole text.
void ReadRtfText(std::string_view rtf, const std::function<void(const Block&)>& each);

constexpr int kMaxGroupDepth = 200;

}  // namespace mlf::rtf
