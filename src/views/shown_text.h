// The text a reader sees, made the same way from the editor's document and from a model, so
// that a note about to be stored can be checked against what the editor shows: paragraphs
// separated by "\n", line breaks as "\n", tabs kept; hidden text, pictures and placeholders
// (embedded objects, shapes, fields) and list numbers count as nothing.
#pragma once

#include <string>

#include "rtf/document.h"

class QTextDocument;

namespace mlf {

std::string ShownText(const QTextDocument& document);
std::string ShownText(const rtf::Document& model);

}  // namespace mlf
