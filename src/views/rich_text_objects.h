// What the editor shows for the inline objects of a note: pictures Qt can decode as themselves,
// every other picture and every kept RTF fragment (an embedded object, a shape, a field) as a
// framed label. A placeholder is one character: the user deletes it like a letter or keeps it.
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include "rtf/document.h"

class QTextDocument;

namespace mlf {

// The picture as Qt decodes it; a null image when Qt cannot show this kind.
QImage DecodePicture(const rtf::Image& image);
// The size the picture is shown at, in pixels: its goal size scaled, else its own size.
QSizeF PictureDisplaySize(const rtf::Image& image, const QImage& decoded);
// A frame with a label, drawn in place of a picture Qt cannot show.
QImage UnshownPicture(QSizeF size);

// The label of a fragment's placeholder, for instance "[Embedded object]".
QString PlaceholderLabel(const rtf::Fragment& fragment);
// Lets the document draw placeholder objects; once per document.
void RegisterPlaceholders(QTextDocument& document);

}  // namespace mlf
