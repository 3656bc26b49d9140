#include "views/link_highlighter.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCharFormat>

namespace mlf {
namespace {

const QRegularExpression& AddressPattern() {
  static const QRegularExpression pattern(
      QStringLiteral(R"((?:\b(?:https?|ftp|file|news|telnet|gopher|nntp|wais|prospero)://|\bmailto:|\bwww\.)[^\s<>"]*[^\s<>".,;:!?)\]'])"),
      QRegularExpression::CaseInsensitiveOption);
  return pattern;
}

QTextCharFormat LinkLook() {
  QTextCharFormat format;
  format.setForeground(QColor(0, 0, 255));
  format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
  return format;
}

}  // namespace

std::optional<DetectedLink> DetectLinkAt(const QString& text, int offset) {
  for (auto it = AddressPattern().globalMatch(text); it.hasNext();) {
    QRegularExpressionMatch match = it.next();
    if (offset >= match.capturedStart() && offset < match.capturedEnd())
      return DetectedLink{int(match.capturedStart()), int(match.capturedLength()), match.captured()};
  }
  return std::nullopt;
}

LinkHighlighter::LinkHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

void LinkHighlighter::highlightBlock(const QString& text) {
  static const QTextCharFormat look = LinkLook();
  for (auto it = AddressPattern().globalMatch(text); it.hasNext();) {
    QRegularExpressionMatch match = it.next();
    setFormat(int(match.capturedStart()), int(match.capturedLength()), look);
  }
  for (QTextBlock::iterator it = currentBlock().begin(); !it.atEnd(); ++it) {
    QTextFragment fragment = it.fragment();
    if (fragment.charFormat().isAnchor() && !fragment.charFormat().anchorHref().isEmpty())
      setFormat(fragment.position() - currentBlock().position(), fragment.length(), look);
  }
}

}  // namespace mlf
