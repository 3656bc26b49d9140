// A readable form of a document, so that a failed comparison shows where two models differ.
#pragma once

#include <string>

#include "rtf/document.h"

namespace mlf::rtf {

std::string DumpDocument(const Document& document);

}  // namespace mlf::rtf
