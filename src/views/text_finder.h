// Find next for a text edit: the search runs from the selection to the end of the text (or to
// its start, upwards), then wraps once to where the series of searches began, and reports no
// hit after that until a new series starts.
#pragma once

#include <QString>

class QTextEdit;

namespace mlf {

struct FindOptions {
  bool matchCase = false;
  bool wholeWord = false;
  bool down = true;
};

class TextFinder {
 public:
  explicit TextFinder(QTextEdit& edit) : m_edit(edit) {}

  // The next search starts a new series at the selection.
  void MarkFirstSearch() { m_first = true; }
  // Lets a new series begin at position instead of at the selection of its first search.
  void StartSeriesIfFirst(int position);
  // Selects the next hit; false when there is none before where the series began.
  bool Find(const QString& text, const FindOptions& options);
  // The selection is text, matched with the options' case and whole-word rules.
  bool SelectionMatches(const QString& text, const FindOptions& options) const;

 private:
  // Selects the first hit (the last one upwards) lying wholly in [from, to].
  bool Search(const QString& text, const FindOptions& options, int from, int to);

  QTextEdit& m_edit;
  bool m_first = true;
  bool m_wrapped = false;
  int m_initial = 0;
  int m_lengthAtWrap = 0;
};

}  // namespace mlf
