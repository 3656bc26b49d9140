// Finding misspelt words in a text document, word by word as Unicode word boundaries cut them.
#pragma once

#include <QString>
#include <QTextCursor>

#include <functional>

class QTextDocument;

namespace quarnspell {

// Whether a piece of text between word boundaries is a word to check: it holds a letter and
// no digit (part numbers and dates are not words).
bool IsCheckableWord(const QString& piece);

// Calls found(start, length, word) for each checkable word of the text, in order; found
// returns false to stop.
void ForEachWord(const QString& text, const std::function<bool(int start, int length, const QString& word)>& found);

// The first word that starts at position from or later and is misspelt, selected; a null
// cursor when there is none.
QTextCursor FindMisspeltWord(QTextDocument& document, int from, const std::function<bool(const QString&)>& isMisspelt);

}  // namespace quarnspell
