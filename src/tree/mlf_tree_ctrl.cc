#include "tree/mlf_tree_ctrl.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <unordered_set>
#include <utility>

#include "app/app_settings.h"
#include "diagnostics/log.h"
#include "dialogs/add_bookmark_dlg.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_clipboard.h"
#include "store/prompts.h"
#include "store/sibling_order.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/label_edit_delegate.h"
#include "tree/tree_host.h"
#include "tree/tree_images.h"
#include "widgets/keyboard_menu.h"
#include "widgets/stored_text.h"
#include "widgets/svg_art.h"

namespace mlf {
namespace {

constexpr int kValueRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kOverlayRole = Qt::UserRole + 2;
constexpr int kTitleLimit = 64;

void SetBold(QTreeWidgetItem* item, bool bold) {
  QFont font = item->font(0);
  if (font.bold() == bold) return;
  font.setBold(bold);
  item->setFont(0, font);
}

QTreeWidgetItem* MakePlaceholder() {
  auto* item = new QTreeWidgetItem(QStringList(QString::fromLatin1(kEmptyText)));
  item->setData(0, kValueRole, qlonglong(kPlaceholderItem));
  item->setIcon(0, TreeImages::Instance().Icon(kImageEmpty, 0));
  item->setData(0, kImageRole, kImageEmpty);
  item->setData(0, kOverlayRole, 0);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

CMlfTreeCtrl::CMlfTreeCtrl(CMarrowleafDoc& document, TreeHost& host, QWidget* parent)
    : QTreeWidget(parent), m_document(document), m_host(host), m_singleClick(AppSettings().singleClick) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(false);
  setIconSize({16, 16});
  setEditTriggers(QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAcceptDrops(true);
  if (m_singleClick) setMouseTracking(true);
  auto* delegate = new LabelEditDelegate(kTitleLimit, this);
  setItemDelegate(delegate);
  connect(delegate, &LabelEditDelegate::Renamed, this, &CMlfTreeCtrl::OnRenamed);
  connect(delegate, &LabelEditDelegate::EmptyNameRefused, this, &CMlfTreeCtrl::OnEmptyNameRefused);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kImageRole).toInt() == kImageFolder) SetPicture(item, kImageFolderOpen, item->data(0, kOverlayRole).toInt());
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (item->data(0, kImageRole).toInt() == kImageFolderOpen) SetPicture(item, kImageFolder, item->data(0, kOverlayRole).toInt());
  });
  connect(this, &QTreeWidget::itemClicked, this, &CMlfTreeCtrl::OnItemClicked);
}

int64_t CMlfTreeCtrl::ItemValue(const QTreeWidgetItem* item) {
  return item ? item->data(0, kValueRole).toLongLong() : kPlaceholderItem;
}

int CMlfTreeCtrl::ItemImage(const QTreeWidgetItem* item) { return item->data(0, kImageRole).toInt(); }

int CMlfTreeCtrl::ItemOverlay(const QTreeWidgetItem* item) { return item->data(0, kOverlayRole).toInt(); }

bool CMlfTreeCtrl::IsNode(const QTreeWidgetItem* item) const { return item && ItemValue(item) > 0; }

bool CMlfTreeCtrl::IsBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) const {
  for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent())
    if (p == ancestor) return true;
  return false;
}

QTreeWidgetItem* CMlfTreeCtrl::FindItem(uint32_t nodeId, QTreeWidgetItem* start) const {
  // Depth first with an explicit stack: a file may nest folders deeper than the call stack.
  std::vector<QTreeWidgetItem*> pending;
  QTreeWidgetItem* root = start ? start : invisibleRootItem();
  for (int i = root->childCount() - 1; i >= 0; --i) pending.push_back(root->child(i));
  while (!pending.empty()) {
    QTreeWidgetItem* item = pending.back();
    pending.pop_back();
    if (ItemValue(item) == int64_t(nodeId)) return item;
    for (int i = item->childCount() - 1; i >= 0; --i) pending.push_back(item->child(i));
  }
  return nullptr;
}

void CMlfTreeCtrl::SetPicture(QTreeWidgetItem* item, int image, int overlay) {
  item->setData(0, kImageRole, image);
  item->setData(0, kOverlayRole, overlay);
  item->setIcon(0, TreeImages::Instance().Icon(image, overlay));
}

int CMlfTreeCtrl::OverlayRule(const NTV& record, bool hasTask) {
  if (record.nType == ntFolder) return kOverlayNone;  // folders are never encrypted or given tasks
  if (record.nFlags & kNodeEncrypted) return kOverlayEncrypted;
  return hasTask ? kOverlayTask : kOverlayNone;
}

int CMlfTreeCtrl::OverlayRule(const CMlfNode& node) const { return OverlayRule(node.Record(), node.HasTask()); }

QTreeWidgetItem* CMlfTreeCtrl::MakeItem(const NTV& record, bool hasTask) const {
  auto* item = new QTreeWidgetItem(QStringList(FromStored(record.strTitle)));
  item->setData(0, kValueRole, qlonglong(record.nIndex));
  item->setData(0, kImageRole, int(record.nIcon));
  int overlay = OverlayRule(record, hasTask);
  item->setData(0, kOverlayRole, overlay);
  item->setIcon(0, TreeImages::Instance().Icon(record.nIcon, overlay));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                 Qt::ItemIsDropEnabled);
  return item;
}

void CMlfTreeCtrl::RebuildTree(bool keepExpanded) {
  setUpdatesEnabled(false);
  uint32_t activeId = m_activeItem ? uint32_t(ItemValue(m_activeItem)) : 0;
  std::vector<uint32_t> expanded;
  if (keepExpanded) {
    for (QTreeWidgetItemIterator it(this); *it; ++it)
      if ((*it)->isExpanded() && ItemValue(*it) != kPlaceholderItem) expanded.push_back(uint32_t(ItemValue(*it)));
  }
  m_activeItem = nullptr;
  m_singleExpanded = nullptr;
  clear();

  std::vector<NTV> records;
  records.reserve(m_document.Data_GetCount());
  m_document.Data_EnumItems([&](const NTV& record) { records.push_back(record); });
  std::vector<const NTV*> pointers;
  pointers.reserve(records.size());
  for (const NTV& record : records) pointers.push_back(&record);
  FileHeader header = m_document.GetHeader();
  auto levels = OrderSiblings(pointers, SortOptions{header.sortFlags, header.folderArrangement});
  // One pass over the tasks instead of one per node.
  std::unordered_set<uint32_t> withTask;
  m_document.EnumTasks([&](const MLFTASK& task) {
    if (task.nNode != 0) withTask.insert(task.nNode);
  });

  // Entries are built detached and handed to the widget in one call, which keeps a build of
  // many nodes linear; the stack replaces recursion for deeply nested files.
  QList<QTreeWidgetItem*> topLevel;
  QTreeWidgetItem* active = nullptr;
  std::vector<std::pair<uint32_t, QTreeWidgetItem*>> pending{{0, nullptr}};
  while (!pending.empty()) {
    auto [parentId, parentItem] = pending.back();
    pending.pop_back();
    auto level = levels.find(parentId);
    if (level == levels.end()) {
      if (parentItem) parentItem->addChild(MakePlaceholder());
      continue;
    }
    for (const NTV* record : level->second) {
      QTreeWidgetItem* item = MakeItem(*record, withTask.count(record->nIndex) != 0);
      if (parentItem) parentItem->addChild(item);
      else topLevel.push_back(item);
      if (record->nIndex == activeId) active = item;
      if (record->nType == ntFolder) pending.emplace_back(record->nIndex, item);
    }
  }
  addTopLevelItems(topLevel);
  if (active) {
    SetActiveMarks(nullptr, active);
    m_activeItem = active;
  }
  for (uint32_t id : expanded)
    if (QTreeWidgetItem* item = FindItem(id)) item->setExpanded(true);
  setUpdatesEnabled(true);
}

void CMlfTreeCtrl::RefreshItem(uint32_t nodeId) {
  QTreeWidgetItem* item = FindItem(nodeId);
  CMlfNode node;
  if (!item || !node.Attach(&m_document, nodeId)) return;
  item->setText(0, FromStored(node.Record().strTitle));
  SetPicture(item, node.Record().nIcon, OverlayRule(node));
  if (item == m_activeItem) SetActiveMarks(nullptr, item);
}

void CMlfTreeCtrl::SetActiveMarks(QTreeWidgetItem* oldItem, QTreeWidgetItem* newItem) {
  if (oldItem) {
    SetBold(oldItem, false);
    CMlfNode node;
    int overlay = node.Attach(&m_document, uint32_t(ItemValue(oldItem))) ? OverlayRule(node) : 0;
    SetPicture(oldItem, oldItem->data(0, kImageRole).toInt(), overlay);
    for (QTreeWidgetItem* p = oldItem->parent(); p; p = p->parent()) {
      SetBold(p, false);
      SetPicture(p, p->data(0, kImageRole).toInt(), 0);
    }
  }
  if (newItem) {
    SetBold(newItem, true);
    SetPicture(newItem, newItem->data(0, kImageRole).toInt(), kOverlayActive);
    for (QTreeWidgetItem* p = newItem->parent(); p; p = p->parent()) {
      SetBold(p, true);
      SetPicture(p, p->data(0, kImageRole).toInt(), kOverlayActiveAncestor);
    }
  }
}

void CMlfTreeCtrl::ActivateItem(QTreeWidgetItem* item) {
  CMlfNode node;
  bool isNode = IsNode(item) && node.Attach(&m_document, uint32_t(ItemValue(item)));
  if (isNode && node.IsFolder()) {
    item->setExpanded(!item->isExpanded());
    return;
  }
  if (item && item == m_activeItem) return;
  QTreeWidgetItem* old = m_activeItem;
  if (isNode && node.HasContentType()) {
    bool opened = m_host.ActivateNode(true, node.GetId());
    m_activeItem = opened ? item : nullptr;
    SetActiveMarks(old, m_activeItem);
    return;
  }
  // No entry, the placeholder, or a node of no known type: the blank view.
  m_activeItem = nullptr;
  if (!m_host.ActivateNode(false, -1) && !item) return;
  SetActiveMarks(old, nullptr);
}

void CMlfTreeCtrl::ShowBookmarkItem(uint32_t nodeId) {
  QTreeWidgetItem* item = FindItem(nodeId);
  if (!item) {
    AppLog().WriteLine("CMlfTreeCtrl::ShowBookmarkItem - failed to activate bookmark.");
    return;
  }
  ActivateItem(item);
}

void CMlfTreeCtrl::CollapseAll() {
  setUpdatesEnabled(false);
  for (QTreeWidgetItemIterator it(this); *it; ++it)
    if ((*it)->childCount() > 0) (*it)->setExpanded(false);
  setUpdatesEnabled(true);
}

void CMlfTreeCtrl::ExpandAll() {
  setUpdatesEnabled(false);
  for (QTreeWidgetItemIterator it(this); *it; ++it)
    if ((*it)->childCount() > 0) (*it)->setExpanded(true);
  setUpdatesEnabled(true);
}

CMlfTreeCtrl::Location CMlfTreeCtrl::GetNewNodeLocation(QTreeWidgetItem* context) const {
  Location location;
  if (!context) {
    location.index = topLevelItemCount();
    return location;
  }
  CMlfNode node;
  if (IsNode(context) && node.Attach(&m_document, uint32_t(ItemValue(context))) && node.IsFolder()) {
    location.parentId = node.GetId();
    location.parent = context;
    location.index = 0;
    return location;
  }
  location.parent = context->parent();
  location.parentId = location.parent ? uint32_t(ItemValue(location.parent)) : 0;
  QTreeWidgetItem* container = location.parent ? location.parent : invisibleRootItem();
  location.index = container->indexOfChild(context) + 1;
  return location;
}

QTreeWidgetItem* CMlfTreeCtrl::InsertNodeItem(const Location& location, const CMlfNode& node) {
  QTreeWidgetItem* container = location.parent ? location.parent : invisibleRootItem();
  QTreeWidgetItem* first = container->childCount() ? container->child(0) : nullptr;
  if (location.parent && first && ItemValue(first) == kPlaceholderItem) {
    // The placeholder itself becomes the entry, so the new node keeps its place.
    QTreeWidgetItem* fresh = MakeItem(node.Record(), node.HasTask());
    first->setText(0, fresh->text(0));
    first->setFlags(fresh->flags());
    for (int role : {kValueRole, kImageRole, kOverlayRole}) first->setData(0, role, fresh->data(0, role));
    first->setIcon(0, fresh->icon(0));
    delete fresh;
    return first;
  }
  QTreeWidgetItem* item = MakeItem(node.Record(), node.HasTask());
  container->insertChild(std::min(location.index, container->childCount()), item);
  return item;
}

void CMlfTreeCtrl::AddEmptyPlaceholder(QTreeWidgetItem* parent) {
  if (parent) parent->insertChild(0, MakePlaceholder());
}

void CMlfTreeCtrl::RemoveEmptyPlaceholder(QTreeWidgetItem* parent) {
  if (parent && parent->childCount() && parent->child(0)->data(0, kImageRole).toInt() == kImageEmpty)
    delete parent->takeChild(0);
}

void CMlfTreeCtrl::SetEncryptedOverlay(QTreeWidgetItem* item, bool on) {
  if (item) SetPicture(item, item->data(0, kImageRole).toInt(), on ? kOverlayEncrypted : kOverlayNone);
}

void CMlfTreeCtrl::SetTaskOverlay(QTreeWidgetItem* item, bool on) {
  if (item) SetPicture(item, item->data(0, kImageRole).toInt(), on ? kOverlayTask : kOverlayNone);
}

QTreeWidgetItem* CMlfTreeCtrl::NewNode(QTreeWidgetItem* context, uint8_t type) {
  if (type == ntFolder) AppLog().WriteLine("OnMlfPopupNewFolder()");
  Location location = GetNewNodeLocation(context);
  CMlfNode node;
  if (!node.Create(&m_document, type, nullptr, location.parentId)) return nullptr;
  QTreeWidgetItem* item = InsertNodeItem(location, node);
  if (type == ntFolder) {
    AddEmptyPlaceholder(item);
    item->setExpanded(true);
  }
  if (location.parent) location.parent->setExpanded(true);
  setCurrentItem(item);
  RenameItem(item);
  return item;
}

void CMlfTreeCtrl::RenameItem(QTreeWidgetItem* item) {
  if (!IsNode(item)) return;
  scrollToItem(item);
  editItem(item, 0);
}

bool CMlfTreeCtrl::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  // Only nodes have names; the placeholder is never edited.
  if (index.isValid() && index.data(kValueRole).toLongLong() <= 0) return false;
  return QTreeWidget::edit(index, trigger, event);
}

void CMlfTreeCtrl::OnRenamed(const QModelIndex& index, const QString& text) {
  AppLog().WriteLine("OnEndLabelEdit(...)");
  QTreeWidgetItem* item = itemFromIndex(index);
  CMlfNode node;
  if (!item || !node.Attach(&m_document, uint32_t(ItemValue(item)))) return;
  node.SetTitle(ToStored(text));
  node.Update(true);
  item->setText(0, text);
}

void CMlfTreeCtrl::OnEmptyNameRefused(const QModelIndex& index) {
  AppLog().WriteLine("OnEndLabelEdit(...)");
  AppPrompts().Message("You must enter a name for this item", kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  QPersistentModelIndex keep(index);
  QTimer::singleShot(0, this, [this, keep] {
    if (keep.isValid()) QTreeWidget::edit(QModelIndex(keep));
  });
}

void CMlfTreeCtrl::DeleteItem(QTreeWidgetItem* item) {
  if (!IsNode(item)) return;
  if (AppSettings().promptDelete) {
    setCurrentItem(item);
    if (AppPrompts().Message("Are you sure you want to delete this item?", "Confirm item delete", MessageIcon::Question,
                             MessageButtons::YesNo) != MessageAnswer::Yes)
      return;
  }
  DeleteBranch(item, false);
}

void CMlfTreeCtrl::DeleteBranch(QTreeWidgetItem* item, bool keepNodes) {
  CMlfNode node;
  if (!IsNode(item) || !node.Attach(&m_document, uint32_t(ItemValue(item)))) return;
  if (!keepNodes && m_activeItem && (item == m_activeItem || IsBelow(m_activeItem, item))) {
    QTreeWidgetItem* old = m_activeItem;
    m_activeItem = nullptr;
    m_host.ActivateNode(false, -1);
    SetActiveMarks(old, nullptr);
  }
  NodeClipboardEntry clip = NodeClipboard::Instance().Get();
  if (clip.hasEntry && clip.sourceDocument == &m_document && clip.nodeId == node.GetId()) NodeClipboard::Instance().Clear();
  QTreeWidgetItem* parent = item->parent();
  if (m_singleExpanded && (m_singleExpanded == item || IsBelow(m_singleExpanded, item))) m_singleExpanded = nullptr;
  delete item;
  if (parent && parent->childCount() == 0) AddEmptyPlaceholder(parent);
  if (!keepNodes) {
    m_document.Data_DeleteItem(node.GetId());
    if (m_bookmarks) m_bookmarks->DropMissingBookmarks();
  }
}

bool CMlfTreeCtrl::AddBookmark(QTreeWidgetItem* item, const QString& name) {
  CMlfNode node;
  if (!IsNode(item) || !node.Attach(&m_document, uint32_t(ItemValue(item))) || node.IsFolder()) return false;
  MLFBOOKMARK bookmark;
  m_document.GetBookmark(m_document.AddBookmark(), bookmark);
  bookmark.nNode = node.GetId();
  bookmark.strName = ToStored(name);
  m_document.SetBookmark(bookmark.nId, bookmark);
  if (m_bookmarks) m_bookmarks->AddBookmarkItem(bookmark.nId);
  return true;
}

void CMlfTreeCtrl::OnAddToBookmarks(QTreeWidgetItem* item) {
  setCurrentItem(item);
  CAddBookmarkDlg dialog(window());
  dialog.SetName(item->text(0));
  if (dialog.exec() == QDialog::Accepted) AddBookmark(item, dialog.Name());
}

void CMlfTreeCtrl::OnItemClicked(QTreeWidgetItem* item) {
  if (!m_singleClick) return;
  if (ItemValue(item) == kPlaceholderItem) {
    ActivateItem(nullptr);
    return;
  }
  CMlfNode node;
  if (!node.Attach(&m_document, uint32_t(ItemValue(item)))) return;
  if (node.HasContentType()) {
    ActivateItem(item);
    return;
  }
  // Single expand: the clicked folder opens and the one opened before closes, unless it holds
  // the clicked folder.
  if (m_singleExpanded && m_singleExpanded != item && !IsBelow(item, m_singleExpanded))
    m_singleExpanded->setExpanded(false);
  item->setExpanded(true);
  m_singleExpanded = item;
}

void CMlfTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (m_singleClick || event->button() != Qt::LeftButton) return;
  ActivateItem(itemAt(event->position().toPoint()));
}

void CMlfTreeCtrl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  m_keyDownSeen = key != Qt::Key_Escape && key != Qt::Key_F2;
  if (key == Qt::Key_F2) {
    RenameItem(currentItem());
    return;
  }
  if ((key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) || key == Qt::Key_Menu) {
    QPoint at;
    QTreeWidgetItem* target = KeyboardMenuTarget(*this, at);
    ShowContextMenu(target, at);
    return;
  }
  // Enter and Space act on release; their press must not reach the view (no edit, no beep).
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_Delete) return;
  QTreeWidget::keyPressEvent(event);
}

void CMlfTreeCtrl::keyReleaseEvent(QKeyEvent* event) {
  bool seen = std::exchange(m_keyDownSeen, false);
  if (!seen || event->isAutoRepeat()) return QTreeWidget::keyReleaseEvent(event);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: ActivateItem(currentItem()); return;
    case Qt::Key_Delete: DeleteItem(currentItem()); return;
    default: QTreeWidget::keyReleaseEvent(event);
  }
}

void CMlfTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
  QPoint at;
  QTreeWidgetItem* target = ContextMenuTarget(*this, *event, at);
  ShowContextMenu(target, at);
}

void CMlfTreeCtrl::ShowContextMenu(QTreeWidgetItem* context, const QPoint& globalPos) {
  MakeContextMenu(context)->exec(globalPos);
}

std::unique_ptr<QMenu> CMlfTreeCtrl::MakeContextMenu(QTreeWidgetItem* context) {
  CMlfNode node;
  bool isNode = IsNode(context) && node.Attach(&m_document, uint32_t(ItemValue(context)));
  bool isContent = isNode && !node.IsFolder();
  auto owned = std::make_unique<QMenu>(this);
  QMenu& menu = *owned;
  QMenu* newMenu = menu.addMenu(QStringLiteral("&New"));
  newMenu->addAction(TreeImages::Instance().Icon(kImageNote, 0), QStringLiteral("&Note"), this,
                     [=, this] { NewNode(context, ntNote); });
  newMenu->addAction(TreeImages::Instance().Icon(kImageFolder, 0), QStringLiteral("&Folder"), this,
                     [=, this] { NewNode(context, ntFolder); });
  // Imports, exports, the node clipboard, tasks and properties arrive with their own features.
  QMenu* importMenu = menu.addMenu(QStringLiteral("&Import"));
  for (const char* text : {"&HTML...", "&Image(s)...", "Note(s)...", "Foreign Data..."})
    importMenu->addAction(QString::fromLatin1(text))->setEnabled(false);
  menu.addAction(QStringLiteral("&Export..."))->setEnabled(false);
  menu.addSeparator();
  menu.addAction(ToolbarIcon("cut"), QStringLiteral("Cu&t"))->setEnabled(false);
  menu.addAction(ToolbarIcon("copy"), QStringLiteral("&Copy"))->setEnabled(false);
  menu.addAction(ToolbarIcon("paste"), QStringLiteral("&Paste"))->setEnabled(false);
  menu.addSeparator();
  menu.addAction(QStringLiteral("&Delete"), this, [=, this] { DeleteItem(context); })->setEnabled(isNode);
  menu.addAction(QStringLiteral("&Rename"), this, [=, this] { RenameItem(context); })->setEnabled(isNode);
  menu.addSeparator();
  menu.addAction(TreeImages::Instance().Icon(kImageShortcut, 0), QStringLiteral("Add to &Bookmarks..."), this,
                 [=, this] { OnAddToBookmarks(context); })
      ->setEnabled(isContent);
  QMenu* tasks = menu.addMenu(QStringLiteral("&Tasks"));
  for (const char* text : {"Add to existing task...", "Add to new task...", "Remove task association"})
    tasks->addAction(QString::fromLatin1(text))->setEnabled(false);
  menu.addSeparator();
  menu.addAction(QStringLiteral("Properties...."))->setEnabled(false);
  return owned;
}

}  // namespace mlf
