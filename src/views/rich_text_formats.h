// How the rich-text model's character and paragraph formats live in a QTextDocument. Each Qt
// format also keeps the model format it was made from, so that what Qt cannot say (a tab
// leader, the exact twips of an indent, a thick underline, control words without a field)
// comes back unchanged from every run and paragraph the user did not change.
#pragma once

#include <QMetaType>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>

#include "rtf/document.h"

Q_DECLARE_METATYPE(mlf::rtf::CharFormat)
Q_DECLARE_METATYPE(mlf::rtf::ParagraphFormat)
Q_DECLARE_METATYPE(mlf::rtf::Image)
Q_DECLARE_METATYPE(mlf::rtf::Fragment)
Q_DECLARE_METATYPE(mlf::rtf::TableRow)

namespace mlf {

// The user properties of our Qt formats.
enum RichTextProperty : int {
  kModelCharFormat = QTextFormat::UserProperty + 1,  // rtf::CharFormat
  kModelParagraphFormat,                              // rtf::ParagraphFormat
  kModelImage,                                        // rtf::Image, on a picture
  kModelFragment,                                     // rtf::Fragment, on a placeholder
  kModelRow,                                          // rtf::TableRow without its cells, on a row's first cell
  kCellRightEdge,                                     // int twips, on a cell
  kListStart,                                         // int, on a list: its first number
  // bool, on a block: Qt needs it (before or after a table, in an empty cell) but it holds no
  // paragraph of the note.
  kUnusedBlock,
};

// The object type of a placeholder for RTF the editor keeps but cannot show.
constexpr int kPlaceholderObjectType = QTextFormat::UserObject + 1;

// Qt lays a document out in pixels at 96 per inch; RTF counts twips, 1440 per inch.
double TwipsToPixels(int twips);
int PixelsToTwips(double pixels);

QTextCharFormat ToQtFormat(const rtf::CharFormat& format);
// The model format of a Qt format: what Qt shows, and for what it shows as it was made, the
// model format it was made from.
rtf::CharFormat ToModelFormat(const QTextCharFormat& format);

// The block format of a paragraph; its list is a QTextList of its own (ToQtList).
QTextBlockFormat ToQtFormat(const rtf::ParagraphFormat& format);
// As the character formats; the list is left empty.
rtf::ParagraphFormat ToModelFormat(const QTextBlockFormat& format);

QTextListFormat ToQtList(const rtf::ListFormat& list);
rtf::ListFormat ToModelList(const QTextListFormat& list);

}  // namespace mlf
