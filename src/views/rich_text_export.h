// A QTextDocument back into the rich-text model: what the editor stores.
#pragma once

#include "rtf/document.h"

class QTextDocument;

namespace mlf {

// The document's blocks in the model, under the fonts, colours and header of shell (the model
// the document was loaded from; its blocks are ignored).
rtf::Document ExportRichText(const QTextDocument& document, const rtf::Document& shell);

}  // namespace mlf
