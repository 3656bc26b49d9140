// CMlfTreeCtrl: the node tree of a document window. One entry per node, children in the order
// of the document's sort options, "(empty)" under folders without children, the active node
// bold with its folders, and the commands of its context menu.
#pragma once

#include <QPoint>
#include <QTreeWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/sibling_order.h"
#include "store/tree_picture.h"

class QMenu;
class QMimeData;

namespace mlf {

class CBookmarkTreeCtrl;
class CMarrowleafDoc;
class CMlfNode;
class TreeHost;
struct MLFTASK;
struct NTV;
class NodeEntry;

// The item value of an entry: the node id, or -1 for the placeholder.
constexpr int64_t kPlaceholderItem = -1;
inline constexpr const char* kEmptyText = "(empty)";

class CMlfTreeCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  CMlfTreeCtrl(CMarrowleafDoc& document, TreeHost& host, QWidget* parent = nullptr);
  ~CMlfTreeCtrl() override;

  void SetBookmarkList(CBookmarkTreeCtrl* bookmarks) { m_bookmarks = bookmarks; }
  CMarrowleafDoc& Document() const { return m_document; }
  // Every node tree of the process: the node clipboard and drags between windows find theirs here.
  static const std::vector<CMlfTreeCtrl*>& LiveTrees();

  // The item value of an entry, and the entry of a node.
  static int64_t ItemValue(const QTreeWidgetItem* item);
  // The entry's picture in the shared image list and the overlay drawn over it.
  static TreeImage ItemImage(const QTreeWidgetItem* item);
  static TreeOverlay ItemOverlay(const QTreeWidgetItem* item);
  QTreeWidgetItem* FindItem(uint32_t nodeId) const;

  // Rebuilds every entry from the document; keepExpanded restores the expanded folders.
  void RebuildTree(bool keepExpanded);
  // Re-reads one node's record into its entry.
  void RefreshItem(uint32_t nodeId);
  // Opens the entry's node (or shows the blank view for none or the placeholder); a folder
  // toggles its expansion.
  void ActivateItem(QTreeWidgetItem* item);
  void ShowBookmarkItem(uint32_t nodeId);
  void SetActiveMarks(QTreeWidgetItem* oldItem, QTreeWidgetItem* newItem);
  QTreeWidgetItem* ActiveItem() const { return m_activeItem; }
  // Collapse All and Expand All: every folder with entries.
  void SetAllExpanded(bool expanded);
  // The options changed: a single click opens entries from now on, or a double click does.
  void OnOptionsChanged();

  // The context menu's commands on an entry (none means the top level).
  QTreeWidgetItem* NewNode(QTreeWidgetItem* context, uint8_t type);
  void DeleteItem(QTreeWidgetItem* item);
  void RenameItem(QTreeWidgetItem* item);
  // Bookmarks the entry's node under name; false for the placeholder or a folder.
  bool AddBookmark(QTreeWidgetItem* item, const QString& name);
  void DeleteBranch(QTreeWidgetItem* item, bool keepNodes);
  // The "&Tasks" commands on a node that is not a folder: attach the task (after asking when
  // it is attached elsewhere; false when not attached), attach a new task made of fields (its
  // id, 0 when the entry cannot take one), detach every task of the node.
  bool AttachTask(QTreeWidgetItem* item, uint32_t taskId);
  uint32_t AttachNewTask(QTreeWidgetItem* item, MLFTASK fields);
  void RemoveTaskAssociation(QTreeWidgetItem* item);

  struct Location {
    uint32_t parentId = 0;
    QTreeWidgetItem* parent = nullptr;  // null: the top level
    int index = 0;                      // insert position among the parent's children
  };
  Location GetNewNodeLocation(QTreeWidgetItem* context) const;
  QTreeWidgetItem* InsertNodeItem(const Location& location, const CMlfNode& node);
  void AddEmptyPlaceholder(QTreeWidgetItem* parent);
  void SetOverlay(QTreeWidgetItem* item, TreeOverlay overlay);
  // The context menu for an entry (none: the top level), its items enabled as the entry allows.
  std::unique_ptr<QMenu> MakeContextMenu(QTreeWidgetItem* context);

  // The node clipboard: Cut and Copy remember the entry's node; Paste copies the branch beside
  // the context entry, into its parent (none and the placeholder: into the top level or the
  // placeholder's folder), and removes a cut branch from its source only once it is copied.
  void CutItem(QTreeWidgetItem* item);
  void CopyItem(QTreeWidgetItem* item);
  QTreeWidgetItem* PasteItem(QTreeWidgetItem* context);
  // Shows the branch of the clipboard's cut node pale when it is in this tree, the rest normal.
  void UpdatePaleBranch();

  // Moves (within this document) or copies the branch of nodeId of source under parent (none:
  // the top level); a move between documents deletes the source branch once it is copied.
  // The new entry, or none when it failed (the user was told why).
  QTreeWidgetItem* TransferBranch(CMarrowleafDoc& source, uint32_t nodeId, QTreeWidgetItem* parent, bool move);

  // A drop at a point of the viewport: a branch of a node tree, or files to import. What it did;
  // Qt::IgnoreAction when it was refused, cancelled or failed.
  Qt::DropAction DropAt(const QMimeData& data, const QPoint& pos, Qt::KeyboardModifiers modifiers);
  // Why a drop at that point would be refused; empty when it would not.
  QString DropRefusal(const QMimeData& data, const QPoint& pos) const;
  QTreeWidgetItem* DropHighlight() const { return m_dropItem; }

 Q_SIGNALS:
  // A task was attached to a node here: its row in the task list changed, or it is new.
  void TaskChanged(uint32_t taskId);
  void TaskAdded(uint32_t taskId);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnRenamed(const QModelIndex& index, const QString& text);
  void OnEmptyNameRefused(const QModelIndex& index);
  void OnItemClicked(QTreeWidgetItem* item);
  void ShowContextMenu(QTreeWidgetItem* context, const QPoint& globalPos);
  void OnAddToBookmarks(QTreeWidgetItem* item);
  void OnAddToExistingTask(QTreeWidgetItem* item);
  void OnAddToNewTask(QTreeWidgetItem* item);
  void OnNodeProperties(QTreeWidgetItem* item);
  // The entry's node when it is a node that is not a folder.
  bool ContentNode(const QTreeWidgetItem* item, CMlfNode& node) const;

  QTreeWidgetItem* MakeItem(const NTV& record, bool hasTask);
  void SetPicture(QTreeWidgetItem* item, TreeImage image, TreeOverlay overlay);
  TreeOverlay OverlayRule(const CMlfNode& node) const;
  bool IsNode(const QTreeWidgetItem* item) const;
  bool IsBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) const;
  SortOptions Options() const;
  // Builds detached entries below each pending (parent id, entry) from the ordered levels;
  // entries for the top level go to topLevel.
  void BuildEntries(const std::unordered_map<uint32_t, std::vector<const NTV*>>& levels,
                    std::vector<std::pair<uint32_t, QTreeWidgetItem*>> pending, QList<QTreeWidgetItem*>* topLevel);
  std::unordered_set<uint32_t> NodesWithTask() const;
  // Puts an entry among parent's children (none: the top level) at its sorted place, in place
  // of the placeholder.
  void InsertSorted(QTreeWidgetItem* parent, QTreeWidgetItem* item);
  QTreeWidgetItem* InsertBranchEntries(uint32_t root, QTreeWidgetItem* parent);
  QTreeWidgetItem* MoveWithin(uint32_t nodeId, QTreeWidgetItem* parent);
  void SetBranchPale(QTreeWidgetItem* item, bool pale);
  // The user agrees to change a document whose file is read-only (asked as saving asks).
  bool MayChange();

  // Where a drop of a branch at a point goes, or why it is refused.
  struct DropPlan {
    QString refusal;
    bool silent = false;  // refused without a beep
    CMlfTreeCtrl* source = nullptr;
    uint32_t nodeId = 0;
    bool rightButton = false;
    QTreeWidgetItem* parent = nullptr;  // none: the top level
  };
  DropPlan PlanNodeDrop(const QMimeData& data, const QPoint& pos) const;
  void StartNodeDrag(QTreeWidgetItem* item, bool rightButton);
  void SetDropHighlight(QTreeWidgetItem* item);
  void ImportDroppedFiles(const QStringList& files, const QPoint& pos);

  CMarrowleafDoc& m_document;
  TreeHost& m_host;
  CBookmarkTreeCtrl* m_bookmarks = nullptr;
  bool m_singleClick;
  bool m_keyDownSeen = false;
  QTreeWidgetItem* m_activeItem = nullptr;
  QTreeWidgetItem* m_singleExpanded = nullptr;  // single-click mode: the folder opened last
  QTreeWidgetItem* m_dropItem = nullptr;        // shown highlighted while something is dragged over it
  uint32_t m_paleId = 0;                        // the root of the branch shown pale
  std::optional<QPoint> m_rightPress;           // right-drag detection: where the button went down
  bool m_menuAtRelease = false;                 // the pop-up menu waits for the right button's release
  // The entry of every node in the tree; entries keep it current as they come and go.
  std::unordered_map<uint32_t, QTreeWidgetItem*> m_entries;
};

}  // namespace mlf
