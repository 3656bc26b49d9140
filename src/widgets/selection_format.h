// Reading and changing the character format of an editor's selection. Without a selection the
// format is the one the next typed text gets.
#pragma once

#include <QString>
#include <QTextCharFormat>

class QTextEdit;

namespace mlf {

// What the whole selection has in common: a face name (empty when it mixes faces) and a height
// in twips (0 when it mixes sizes). Text without a face or size of its own has the document's.
struct SelectionFont {
  QString family;
  int twips = 0;
};
SelectionFont ReadSelectionFont(const QTextEdit& editor);

// Merges format into the selection and gives the editor the focus.
void ApplySelectionFormat(QTextEdit& editor, const QTextCharFormat& format);
// Removes one property from every character of the selection (for example the colour, which
// makes it automatic again) and gives the editor the focus.
void ClearSelectionProperty(QTextEdit& editor, int property);

}  // namespace mlf
