// Links in a note: the runs that carry a link target, and web and mail addresses typed as
// plain text, which the editor detects as it shows them. Both are drawn blue and underlined
// without changing the note's formats, and a click opens them.
#pragma once

#include <QString>
#include <QSyntaxHighlighter>
#include <optional>

class QTextBlock;

namespace mlf {

struct DetectedLink {
  int start = 0;   // in the block's text
  int length = 0;
  QString target;
};

// The address typed in text that covers offset, if any.
std::optional<DetectedLink> DetectLinkAt(const QString& text, int offset);

class LinkHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  explicit LinkHighlighter(QTextDocument* document);

 protected:
  void highlightBlock(const QString& text) override;
};

}  // namespace mlf
