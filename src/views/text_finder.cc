#include "views/text_finder.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace mlf {
namespace {

QTextDocument::FindFlags Flags(const FindOptions& options) {
  QTextDocument::FindFlags flags;
  if (options.matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (options.wholeWord) flags |= QTextDocument::FindWholeWords;
  if (!options.down) flags |= QTextDocument::FindBackward;
  return flags;
}

int TextLength(const QTextDocument& document) { return document.characterCount() - 1; }

}  // namespace

void TextFinder::StartSeriesIfFirst(int position) {
  if (!m_first) return;
  m_first = false;
  m_wrapped = false;
  m_initial = position;
}

bool TextFinder::Find(const QString& text, const FindOptions& options) {
  if (text.isEmpty()) return false;
  QTextCursor selection = m_edit.textCursor();
  int start = selection.selectionStart();
  int end = selection.selectionEnd();
  int length = TextLength(*m_edit.document());
  if (m_first) {
    m_first = false;
    m_wrapped = false;
    m_initial = options.down ? start : end;
  }
  if (options.down) {
    // Past the first character of a selection, so that a hit is not found again.
    int from = start + (end > start ? 1 : 0);
    // After the wrap the series ends where it began, moved by what replacements added.
    int to = m_wrapped ? m_initial + (length - m_lengthAtWrap) : length;
    if (Search(text, options, from, to)) return true;
    if (m_wrapped || m_initial <= 0) return false;
    m_wrapped = true;
    m_lengthAtWrap = length;
    return Search(text, options, 0, m_initial);
  }
  int to = end - (end > start ? 1 : 0);
  int from = m_wrapped ? m_initial : 0;
  if (Search(text, options, from, to)) return true;
  if (m_wrapped || m_initial >= length) return false;
  m_wrapped = true;
  m_lengthAtWrap = length;
  return Search(text, options, m_initial, length);
}

bool TextFinder::Search(const QString& text, const FindOptions& options, int from, int to) {
  if (from > to) return false;
  const QTextDocument& document = *m_edit.document();
  QTextCursor hit;
  if (options.down) {
    hit = document.find(text, from, Flags(options));
    if (hit.isNull() || hit.selectionEnd() > to) return false;
  } else {
    // A backward search finds hits that start before the position; those that reach past
    // the end of the range are passed over.
    int position = to;
    for (;;) {
      hit = document.find(text, position, Flags(options));
      if (hit.isNull() || hit.selectionStart() < from) return false;
      if (hit.selectionEnd() <= to) break;
      position = hit.selectionStart();
    }
  }
  m_edit.setTextCursor(hit);
  return true;
}

bool TextFinder::SelectionMatches(const QString& text, const FindOptions& options) const {
  QTextCursor selection = m_edit.textCursor();
  if (!selection.hasSelection() || text.isEmpty()) return false;
  FindOptions forward = options;
  forward.down = true;
  QTextCursor hit = m_edit.document()->find(text, selection.selectionStart(), Flags(forward));
  return !hit.isNull() && hit.selectionStart() == selection.selectionStart() && hit.selectionEnd() == selection.selectionEnd();
}

}  // namespace mlf
