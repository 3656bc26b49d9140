#include "widgets/keyboard_menu.h"

#include <QContextMenuEvent>
#include <QTreeWidget>

namespace mlf {

QTreeWidgetItem* KeyboardMenuTarget(QTreeWidget& list, QPoint& globalPos) {
  QTreeWidgetItem* item = list.currentItem();
  QRect rect = item ? list.visualItemRect(item) : QRect();
  bool visible = item && list.viewport()->rect().intersects(rect);
  globalPos = list.viewport()->mapToGlobal(visible ? rect.topLeft() : QPoint(0, 0));
  return visible ? item : nullptr;
}

QTreeWidgetItem* ContextMenuTarget(QTreeWidget& list, const QContextMenuEvent& event, QPoint& globalPos) {
  if (event.reason() == QContextMenuEvent::Keyboard) return KeyboardMenuTarget(list, globalPos);
  globalPos = event.globalPos();
  return list.itemAt(list.viewport()->mapFromGlobal(globalPos));
}

}  // namespace mlf
