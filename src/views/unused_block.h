// Blocks that Qt needs but that hold no paragraph of the note: the one before a table at the
// start of a frame, the one after a table where no paragraph follows, the one of an empty
// cell. They are marked when the note is loaded and are not written back while they stay
// empty. A block the user makes by pressing Enter in one of them carries no mark.
#pragma once

#include <QTextBlock>

namespace mlf {

void MarkUnusedBlock(QTextBlock block);
bool IsUnusedBlock(const QTextBlock& block);

}  // namespace mlf
