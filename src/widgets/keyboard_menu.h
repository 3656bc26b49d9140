// Where a context menu opened from the keyboard (menu key, Shift+F10) applies and appears: the
// selected entry at the top-left corner of its label, or no entry at the list's top-left
// corner when nothing is selected or the selection is scrolled out of view.
#pragma once

#include <QPoint>

class QContextMenuEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace mlf {

QTreeWidgetItem* KeyboardMenuTarget(QTreeWidget& list, QPoint& globalPos);

// The entry and place of a context-menu event: the keyboard's target as above, or the entry
// under the mouse (none over empty space) at the mouse.
QTreeWidgetItem* ContextMenuTarget(QTreeWidget& list, const QContextMenuEvent& event, QPoint& globalPos);

}  // namespace mlf
