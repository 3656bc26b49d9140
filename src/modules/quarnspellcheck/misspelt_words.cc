#include "modules/quarnspellcheck/misspelt_words.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>

#include <algorithm>

namespace quarnspell {

bool IsCheckableWord(const QString& piece) {
  bool letter = false;
  for (QChar c : piece) {
    if (c.isDigit()) return false;
    letter = letter || c.isLetter();
  }
  return letter;
}

void ForEachWord(const QString& text, const std::function<bool(int start, int length, const QString& word)>& found) {
  QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
  for (qsizetype start = 0; start >= 0 && start < text.size();) {
    qsizetype end = finder.toNextBoundary();
    if (end < 0) break;
    QString piece = text.mid(start, end - start);
    if (IsCheckableWord(piece) && !found(static_cast<int>(start), static_cast<int>(end - start), piece)) return;
    start = end;
  }
}

QTextCursor FindMisspeltWord(QTextDocument& document, int from, const std::function<bool(const QString&)>& isMisspelt) {
  QTextCursor result;
  for (QTextBlock block = document.findBlock(from); block.isValid() && result.isNull(); block = block.next()) {
    const int offset = std::max(0, from - block.position());
    ForEachWord(block.text(), [&](int start, int length, const QString& word) {
      if (start < offset || !isMisspelt(word)) return true;
      result = QTextCursor(&document);
      result.setPosition(block.position() + start);
      result.setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
      return false;
    });
  }
  return result;
}

}  // namespace quarnspell
