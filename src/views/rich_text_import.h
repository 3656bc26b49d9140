// The rich-text model into a QTextDocument: the editor's view of a note.
#pragma once

#include "rtf/document.h"

class QTextDocument;

namespace mlf {

// Fills an empty document with the model's blocks. What the document cannot hold (the font
// and colour tables, the header) stays in the model: ExportRichText takes it back from there.
void ImportRichText(const rtf::Document& model, QTextDocument& document);

// The character that stands for every picture and placeholder in the document's text.
constexpr char16_t kObjectCharacter = u'\uFFFC';

}  // namespace mlf
