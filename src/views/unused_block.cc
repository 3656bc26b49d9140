#include "views/unused_block.h"

#include <QTextBlockUserData>

namespace mlf {
namespace {

class UnusedBlockMark : public QTextBlockUserData {};

}  // namespace

void MarkUnusedBlock(QTextBlock block) { block.setUserData(new UnusedBlockMark); }

bool IsUnusedBlock(const QTextBlock& block) {
  return block.length() <= 1 && dynamic_cast<UnusedBlockMark*>(block.userData()) != nullptr;
}

}  // namespace mlf
