// The words an editor shows marked as misspelt.
#pragma once

#include <QStringList>
#include <QTextEdit>

namespace mlf::test {

QStringList Marked(const QTextEdit& editor);
// Lets the editor mark its words; returns the marked words once they are as expected, or as
// they are after a second.
QStringList MarkedAfterEvents(const QTextEdit& editor, const QStringList& expected);

}  // namespace mlf::test
