// CBookmarkTreeCtrl: the document's bookmarks as a flat list ordered by name (case-insensitive),
// each with its node's picture and the shortcut arrow. Activating one opens its node through
// the node tree.
#pragma once

#include <QTreeWidget>
#include <cstdint>

namespace mlf {

class CMarrowleafDoc;
class CMlfTreeCtrl;

class CBookmarkTreeCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  CBookmarkTreeCtrl(CMarrowleafDoc& document, QWidget* parent = nullptr);

  void SetNodeTree(CMlfTreeCtrl* tree) { m_tree = tree; }
  void FillBookmarks();
  QTreeWidgetItem* AddBookmarkItem(uint32_t bookmarkId);
  void ActivateBookmark(QTreeWidgetItem* item);
  void DeleteBookmark(QTreeWidgetItem* item);
  void RenameBookmark(QTreeWidgetItem* item);
  // Removes the entries whose bookmark the document no longer has (deleted with its node).
  void DropMissingBookmarks();
  static uint32_t BookmarkId(const QTreeWidgetItem* item);
  // The options changed: a single click opens bookmarks from now on, or a double click does.
  void OnOptionsChanged();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnRenamed(const QModelIndex& index, const QString& text);
  void OnEmptyNameRefused(const QModelIndex& index);
  void ShowContextMenu(QTreeWidgetItem* context, const QPoint& globalPos);

  CMarrowleafDoc& m_document;
  CMlfTreeCtrl* m_tree = nullptr;
  bool m_singleClick;
};

}  // namespace mlf
