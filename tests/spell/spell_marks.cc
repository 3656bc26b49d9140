#include "spell_marks.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace mlf::test {

QStringList Marked(const QTextEdit& editor) {
  QStringList words;
  for (const QTextEdit::ExtraSelection& selection : editor.extraSelections())
    if (selection.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) words << selection.cursor.selectedText();
  return words;
}

QStringList MarkedAfterEvents(const QTextEdit& editor, const QStringList& expected) {
  QElapsedTimer timer;
  timer.start();
  while (Marked(editor) != expected && timer.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return Marked(editor);
}

}  // namespace mlf::test
