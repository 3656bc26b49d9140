#include "widgets/selection_format.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>
#include <functional>
#include <optional>

namespace mlf {
namespace {

// Calls visit with each run of one format inside the selection, as a cursor selecting it.
void ForEachSelectedRun(const QTextCursor& selection, const std::function<void(QTextCursor&)>& visit) {
  const int start = selection.selectionStart(), end = selection.selectionEnd();
  QTextDocument* document = selection.document();
  for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
       block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      const int from = std::max(start, fragment.position());
      const int to = std::min(end, fragment.position() + fragment.length());
      if (from >= to) continue;
      QTextCursor run(document);
      run.setPosition(from);
      run.setPosition(to, QTextCursor::KeepAnchor);
      visit(run);
    }
  }
}

struct EffectiveFont {
  QString family;
  int twips;
};

EffectiveFont FontOf(const QTextCharFormat& format, const QFont& documentFont) {
  QFont font = format.font().resolve(documentFont);
  return {font.family(), static_cast<int>(std::lround(font.pointSizeF() * 20))};
}

}  // namespace

SelectionFont ReadSelectionFont(const QTextEdit& editor) {
  const QTextCursor cursor = editor.textCursor();
  const QFont documentFont = editor.document()->defaultFont();
  if (!cursor.hasSelection()) {
    EffectiveFont font = FontOf(editor.currentCharFormat(), documentFont);
    return {font.family, font.twips};
  }
  std::optional<SelectionFont> common;
  ForEachSelectedRun(cursor, [&](QTextCursor& run) {
    EffectiveFont font = FontOf(run.charFormat(), documentFont);
    if (!common) {
      common = SelectionFont{font.family, font.twips};
      return;
    }
    if (common->family != font.family) common->family.clear();
    if (common->twips != font.twips) common->twips = 0;
  });
  return common.value_or(SelectionFont{});
}

void ApplySelectionFormat(QTextEdit& editor, const QTextCharFormat& format) {
  editor.mergeCurrentCharFormat(format);
  editor.setFocus(Qt::OtherFocusReason);
}

void ClearSelectionProperty(QTextEdit& editor, int property) {
  QTextCursor cursor = editor.textCursor();
  if (cursor.hasSelection()) {
    cursor.beginEditBlock();
    ForEachSelectedRun(cursor, [property](QTextCursor& run) {
      QTextCharFormat format = run.charFormat();
      format.clearProperty(property);
      run.setCharFormat(format);
    });
    cursor.endEditBlock();
  } else {
    QTextCharFormat typing = editor.currentCharFormat();
    typing.clearProperty(property);
    editor.setCurrentCharFormat(typing);
  }
  editor.setFocus(Qt::OtherFocusReason);
}

}  // namespace mlf
