#include "tree/mlf_tree_ctrl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <unordered_set>
#include <utility>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "diagnostics/log.h"
#include "dialogs/add_bookmark_dlg.h"
#include "dialogs/node_props_sheet.h"
#include "dialogs/task_edit_dlg.h"
#include "dialogs/task_sel_dlg.h"
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

std::vector<CMlfTreeCtrl*>& Trees() {
  static std::vector<CMlfTreeCtrl*> trees;
  return trees;
}

// A folder's picture follows its expansion, pale or not.
TreeImage FolderPicture(TreeImage image, bool expanded) {
  constexpr int kPaleStep = int(TreeImage::kFirstPale) - int(TreeImage::kNote);
  int pale = int(image) >= int(TreeImage::kFirstPale) ? kPaleStep : 0;
  int plain = int(image) - pale;
  if (plain != int(TreeImage::kFolder) && plain != int(TreeImage::kFolderOpen)) return image;
  return TreeImage((expanded ? int(TreeImage::kFolderOpen) : int(TreeImage::kFolder)) + pale);
}

QTreeWidgetItem* MakePlaceholder() {
  auto* item = new QTreeWidgetItem(QStringList(QString::fromLatin1(kEmptyText)));
  item->setData(0, kValueRole, qlonglong(kPlaceholderItem));
  item->setIcon(0, TreeImages::Instance().Icon(TreeImage::kEmpty, TreeOverlay::kNone));
  item->setData(0, kImageRole, int(TreeImage::kEmpty));
  item->setData(0, kOverlayRole, int(TreeOverlay::kNone));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

// A node's entry is listed in the tree's index from its making to its deletion, whichever way
// it goes (a deleted branch, a cleared tree).
class NodeEntry : public QTreeWidgetItem {
 public:
  NodeEntry(const QString& title, uint32_t id, std::unordered_map<uint32_t, QTreeWidgetItem*>& index)
      : QTreeWidgetItem(QStringList(title)), m_id(id), m_index(&index) {
    index[id] = this;
  }
  ~NodeEntry() override {
    if (!m_index) return;
    auto it = m_index->find(m_id);
    if (it != m_index->end() && it->second == this) m_index->erase(it);
  }
  // The tree goes before its entries.
  void ForgetIndex() { m_index = nullptr; }

 private:
  uint32_t m_id;
  std::unordered_map<uint32_t, QTreeWidgetItem*>* m_index;
};

CMlfTreeCtrl::CMlfTreeCtrl(CMarrowleafDoc& document, TreeHost& host, QWidget* parent)
    : QTreeWidget(parent), m_document(document), m_host(host), m_singleClick(AppSettings().singleClick) {
  setAccessibleName(QStringLiteral("Main Tree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setUniformRowHeights(true);
  setExpandsOnDoubleClick(false);
  setIconSize({16, 16});
  setEditTriggers(QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAcceptDrops(true);
  setDragEnabled(true);
  setDropIndicatorShown(false);
  setAutoScrollMargin(10);
  setAutoExpandDelay(750);
  Trees().push_back(this);
  if (m_singleClick) setMouseTracking(true);
  auto* delegate = new LabelEditDelegate(kTitleLimit, this);
  setItemDelegate(delegate);
  connect(delegate, &LabelEditDelegate::Renamed, this, &CMlfTreeCtrl::OnRenamed);
  connect(delegate, &LabelEditDelegate::EmptyNameRefused, this, &CMlfTreeCtrl::OnEmptyNameRefused);
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    SetPicture(item, FolderPicture(ItemImage(item), true), ItemOverlay(item));
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    SetPicture(item, FolderPicture(ItemImage(item), false), ItemOverlay(item));
  });
  connect(this, &QTreeWidget::itemClicked, this, &CMlfTreeCtrl::OnItemClicked);
}

CMlfTreeCtrl::~CMlfTreeCtrl() {
  std::erase(Trees(), this);
  for (auto& [id, entry] : m_entries) static_cast<NodeEntry*>(entry)->ForgetIndex();
}

const std::vector<CMlfTreeCtrl*>& CMlfTreeCtrl::LiveTrees() { return Trees(); }

int64_t CMlfTreeCtrl::ItemValue(const QTreeWidgetItem* item) {
  return item ? item->data(0, kValueRole).toLongLong() : kPlaceholderItem;
}

TreeImage CMlfTreeCtrl::ItemImage(const QTreeWidgetItem* item) { return TreeImage(item->data(0, kImageRole).toInt()); }

TreeOverlay CMlfTreeCtrl::ItemOverlay(const QTreeWidgetItem* item) {
  return TreeOverlay(item->data(0, kOverlayRole).toInt());
}

bool CMlfTreeCtrl::IsNode(const QTreeWidgetItem* item) const { return item && ItemValue(item) > 0; }

bool CMlfTreeCtrl::IsBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) const {
  for (const QTreeWidgetItem* p = item ? item->parent() : nullptr; p; p = p->parent())
    if (p == ancestor) return true;
  return false;
}

QTreeWidgetItem* CMlfTreeCtrl::FindItem(uint32_t nodeId) const {
  auto it = m_entries.find(nodeId);
  return it == m_entries.end() ? nullptr : it->second;
}

void CMlfTreeCtrl::SetPicture(QTreeWidgetItem* item, TreeImage image, TreeOverlay overlay) {
  item->setData(0, kImageRole, int(image));
  item->setData(0, kOverlayRole, int(overlay));
  item->setIcon(0, TreeImages::Instance().Icon(image, overlay));
}

void CMlfTreeCtrl::SetOverlay(QTreeWidgetItem* item, TreeOverlay overlay) { SetPicture(item, ItemImage(item), overlay); }

TreeOverlay CMlfTreeCtrl::OverlayRule(const CMlfNode& node) const { return NodeOverlay(node.Record(), node.HasTask()); }

QTreeWidgetItem* CMlfTreeCtrl::MakeItem(const NTV& record, bool hasTask) {
  auto* item = new NodeEntry(FromStored(record.strTitle), record.nIndex, m_entries);
  item->setData(0, kValueRole, qlonglong(record.nIndex));
  SetPicture(item, TreeImage(record.nIcon), NodeOverlay(record, hasTask));
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
  m_dropItem = nullptr;
  m_paleId = 0;
  clear();

  std::vector<NTV> records;
  records.reserve(m_document.Data_GetCount());
  m_document.Data_EnumItems([&](const NTV& record) { records.push_back(record); });
  std::vector<const NTV*> pointers;
  pointers.reserve(records.size());
  for (const NTV& record : records) pointers.push_back(&record);
  auto levels = OrderSiblings(pointers, Options());
  m_entries.reserve(records.size());
  QList<QTreeWidgetItem*> topLevel;
  BuildEntries(levels, {{0, nullptr}}, &topLevel);
  addTopLevelItems(topLevel);
  if (QTreeWidgetItem* active = activeId ? FindItem(activeId) : nullptr) {
    SetActiveMarks(nullptr, active);
    m_activeItem = active;
  }
  for (uint32_t id : expanded)
    if (QTreeWidgetItem* item = FindItem(id)) item->setExpanded(true);
  UpdatePaleBranch();
  setUpdatesEnabled(true);
}

SortOptions CMlfTreeCtrl::Options() const {
  FileHeader header = m_document.GetHeader();
  return SortOptions{header.sortFlags, header.folderArrangement};
}

std::unordered_set<uint32_t> CMlfTreeCtrl::NodesWithTask() const {
  // One pass over the tasks instead of one per node.
  std::unordered_set<uint32_t> withTask;
  m_document.EnumTasks([&](const MLFTASK& task) {
    if (task.nNode != 0) withTask.insert(task.nNode);
  });
  return withTask;
}

void CMlfTreeCtrl::BuildEntries(const std::unordered_map<uint32_t, std::vector<const NTV*>>& levels,
                                std::vector<std::pair<uint32_t, QTreeWidgetItem*>> pending,
                                QList<QTreeWidgetItem*>* topLevel) {
  // Entries are built detached and handed to the widget in one call, which keeps a build of
  // many nodes linear; the stack replaces recursion for deeply nested files.
  std::unordered_set<uint32_t> withTask = NodesWithTask();
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
      else topLevel->push_back(item);
      if (record->nType == ntFolder) pending.emplace_back(record->nIndex, item);
    }
  }
}

void CMlfTreeCtrl::RefreshItem(uint32_t nodeId) {
  QTreeWidgetItem* item = FindItem(nodeId);
  CMlfNode node;
  if (!item || !node.Attach(&m_document, nodeId)) return;
  item->setText(0, FromStored(node.Record().strTitle));
  SetPicture(item, TreeImage(node.Record().nIcon), OverlayRule(node));
  if (item == m_activeItem) SetActiveMarks(nullptr, item);
}

void CMlfTreeCtrl::SetActiveMarks(QTreeWidgetItem* oldItem, QTreeWidgetItem* newItem) {
  if (oldItem) {
    SetBold(oldItem, false);
    CMlfNode node;
    SetOverlay(oldItem, node.Attach(&m_document, uint32_t(ItemValue(oldItem))) ? OverlayRule(node) : TreeOverlay::kNone);
    for (QTreeWidgetItem* p = oldItem->parent(); p; p = p->parent()) {
      SetBold(p, false);
      SetOverlay(p, TreeOverlay::kNone);
    }
  }
  if (newItem) {
    SetBold(newItem, true);
    SetOverlay(newItem, TreeOverlay::kActive);
    for (QTreeWidgetItem* p = newItem->parent(); p; p = p->parent()) {
      SetBold(p, true);
      SetOverlay(p, TreeOverlay::kActiveAncestor);
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

void CMlfTreeCtrl::SetAllExpanded(bool expanded) {
  setUpdatesEnabled(false);
  for (QTreeWidgetItemIterator it(this); *it; ++it)
    if ((*it)->childCount() > 0) (*it)->setExpanded(expanded);
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
  QTreeWidgetItem* item = MakeItem(node.Record(), node.HasTask());
  QTreeWidgetItem* first = container->childCount() ? container->child(0) : nullptr;
  if (location.parent && first && ItemValue(first) == kPlaceholderItem) {
    // The entry takes the placeholder's place; the folder never stands empty meanwhile.
    container->insertChild(0, item);
    delete container->takeChild(1);
    return item;
  }
  container->insertChild(std::min(location.index, container->childCount()), item);
  return item;
}

void CMlfTreeCtrl::AddEmptyPlaceholder(QTreeWidgetItem* parent) {
  if (parent) parent->insertChild(0, MakePlaceholder());
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
  if (m_dropItem && (m_dropItem == item || IsBelow(m_dropItem, item))) m_dropItem = nullptr;
  if (m_paleId && (uint32_t(ItemValue(item)) == m_paleId || IsBelow(FindItem(m_paleId), item))) m_paleId = 0;
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

bool CMlfTreeCtrl::ContentNode(const QTreeWidgetItem* item, CMlfNode& node) const {
  return IsNode(item) && node.Attach(&m_document, uint32_t(ItemValue(item))) && !node.IsFolder();
}

bool CMlfTreeCtrl::AttachTask(QTreeWidgetItem* item, uint32_t taskId) {
  CMlfNode node;
  MLFTASK task;
  if (!ContentNode(item, node) || !m_document.GetTask(taskId, task)) return false;
  if ((task.nFlags & kTaskAttached) &&
      AppPrompts().Message("The selected task is already associated with a node.\n\nDo you want to associate it with "
                           "this node instead?",
                           kAppCaption, MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
    return false;
  uint32_t previous = (task.nFlags & kTaskAttached) ? task.nNode : 0;
  task.nFlags |= kTaskAttached;
  task.nNode = node.GetId();
  m_document.SetTask(task, true);
  Q_EMIT TaskChanged(taskId);
  // The padlock beats the clock; the node the task left may have lost its last task.
  RefreshItem(node.GetId());
  if (previous && previous != node.GetId()) RefreshItem(previous);
  return true;
}

uint32_t CMlfTreeCtrl::AttachNewTask(QTreeWidgetItem* item, MLFTASK fields) {
  CMlfNode node;
  if (!ContentNode(item, node)) return 0;
  fields.nId = m_document.NewTask();
  fields.nFlags |= kTaskAttached;
  fields.nNode = node.GetId();
  m_document.SetTask(fields, true);
  Q_EMIT TaskAdded(fields.nId);
  RefreshItem(node.GetId());
  return fields.nId;
}

void CMlfTreeCtrl::RemoveTaskAssociation(QTreeWidgetItem* item) {
  CMlfNode node;
  if (!IsNode(item) || !node.Attach(&m_document, uint32_t(ItemValue(item)))) return;
  // The document has the task list rewrite the rows of the tasks it detaches.
  m_document.RemoveTaskAssociation(node.GetId());
  RefreshItem(node.GetId());
}

void CMlfTreeCtrl::OnAddToExistingTask(QTreeWidgetItem* item) {
  setCurrentItem(item);
  CTaskSelDlg dialog(m_document, window());
  if (dialog.exec() == QDialog::Accepted && dialog.ChosenTask() >= 0) AttachTask(item, uint32_t(dialog.ChosenTask()));
}

void CMlfTreeCtrl::OnAddToNewTask(QTreeWidgetItem* item) {
  setCurrentItem(item);
  CTaskEditDlg dialog(false, window());
  if (dialog.exec() == QDialog::Accepted) AttachNewTask(item, dialog.Task());
}

void CMlfTreeCtrl::OnNodeProperties(QTreeWidgetItem* item) {
  setCurrentItem(item);
  uint32_t nodeId = uint32_t(ItemValue(item));
  // The padlock comes or goes with the node's encryption.
  if (RunNodeProperties(m_document, nodeId, item == m_activeItem, window())) RefreshItem(nodeId);
}

void CMlfTreeCtrl::OnOptionsChanged() {
  m_singleClick = AppSettings().singleClick;
  setMouseTracking(m_singleClick);
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
  // A key the label's edit box passes on (the Enter that ends a rename) is not the tree's: it
  // goes no further, and its release must not open or fold the entry.
  bool fromEditBox = state() == EditingState;
  m_keyDownSeen = !fromEditBox && key != Qt::Key_Escape && key != Qt::Key_F2;
  if (fromEditBox) return;
  if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste)) {
    m_keyDownSeen = false;
    if (event->matches(QKeySequence::Cut)) CutItem(currentItem());
    else if (event->matches(QKeySequence::Copy)) CopyItem(currentItem());
    else PasteItem(currentItem());
    return;
  }
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
  // Where the menu comes with the right press, it waits for the release: the press may begin a
  // right-button drag instead.
  if (event->reason() == QContextMenuEvent::Mouse && (QGuiApplication::mouseButtons() & Qt::RightButton)) {
    m_menuAtRelease = true;
    return;
  }
  QPoint at;
  QTreeWidgetItem* target = ContextMenuTarget(*this, *event, at);
  ShowContextMenu(target, at);
}

void CMlfTreeCtrl::ShowContextMenu(QTreeWidgetItem* context, const QPoint& globalPos) {
  MakeContextMenu(context)->exec(globalPos);
}

std::unique_ptr<QMenu> CMlfTreeCtrl::MakeContextMenu(QTreeWidgetItem* context) {
  using C = CommandId;
  CMlfNode node;
  bool isNode = IsNode(context) && node.Attach(&m_document, uint32_t(ItemValue(context)));
  bool isContent = isNode && !node.IsFolder();
  auto menu = std::make_unique<QMenu>(this);
  CommandRegistry& commands = AppCommands();
  commands.AddTo(menu->addMenu(QStringLiteral("&New")), {C::kNewNote, C::kNewFolder});
  commands.AddTo(menu->addMenu(QStringLiteral("&Import")),
                 {C::kImportHtml, C::kImportImages, C::kImportNotes, C::kImportForeign});
  commands.AddTo(menu.get(), {C::kExportNode, C::kSeparator, C::kCutNode, C::kCopyNode, C::kPasteNode, C::kSeparator,
                              C::kDeleteNode, C::kRenameNode, C::kSeparator, C::kAddToBookmarks});
  commands.AddTo(menu->addMenu(QStringLiteral("&Tasks")), {C::kAddToTask, C::kAddToNewTask, C::kRemoveTaskAssociation});
  commands.AddTo(menu.get(), {C::kSeparator, C::kNodeProperties});

  // The commands act on this menu's entry while the menu lives.
  auto command = [&](CommandId id, bool enabled, auto run) {
    QAction* action = commands.Action(id);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, menu.get(), run);
  };
  command(C::kNewNote, true, [=, this] { NewNode(context, ntNote); });
  command(C::kNewFolder, true, [=, this] { NewNode(context, ntFolder); });
  // Notes and pictures go into the entry's folder (or beside it); foreign data and pages beside
  // the entry, into its parent.
  auto import = [=, this](ImportKind kind) {
    return [=, this] {
      if (context) setCurrentItem(context);
      bool beside = kind == ImportKind::ForeignData || kind == ImportKind::Html;
      QTreeWidgetItem* parent = context ? context->parent() : nullptr;
      m_host.ImportFiles(kind, beside ? (parent ? uint32_t(ItemValue(parent)) : 0) : GetNewNodeLocation(context).parentId);
    };
  };
  command(C::kImportNotes, true, import(ImportKind::Notes));
  command(C::kImportImages, true, import(ImportKind::Images));
  command(C::kImportForeign, true, import(ImportKind::ForeignData));
  command(C::kImportHtml, true, import(ImportKind::Html));
  command(C::kExportNode, isContent, [=, this] {
    setCurrentItem(context);
    m_host.ExportNode(uint32_t(ItemValue(context)));
  });
  command(C::kCutNode, isNode, [=, this] { CutItem(context); });
  command(C::kCopyNode, isNode, [=, this] { CopyItem(context); });
  command(C::kPasteNode, NodeClipboard::Instance().Get().hasEntry, [=, this] { PasteItem(context); });
  command(C::kDeleteNode, isNode, [=, this] { DeleteItem(context); });
  command(C::kRenameNode, isNode, [=, this] { RenameItem(context); });
  command(C::kAddToBookmarks, isContent, [=, this] { OnAddToBookmarks(context); });
  command(C::kAddToTask, isContent, [=, this] { OnAddToExistingTask(context); });
  command(C::kAddToNewTask, isContent, [=, this] { OnAddToNewTask(context); });
  command(C::kRemoveTaskAssociation, isNode && node.HasTask(), [=, this] { RemoveTaskAssociation(context); });
  command(C::kNodeProperties, isContent, [=, this] { OnNodeProperties(context); });
  return menu;
}

}  // namespace mlf
