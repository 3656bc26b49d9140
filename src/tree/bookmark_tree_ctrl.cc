#include "tree/bookmark_tree_ctrl.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include "app/app_settings.h"
#include "store/document.h"
#include "store/node.h"
#include "store/prompts.h"
#include "tree/label_edit_delegate.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/tree_images.h"
#include "widgets/keyboard_menu.h"
#include "widgets/stored_text.h"

namespace mlf {
namespace {

constexpr int kBookmarkRole = Qt::UserRole;
constexpr int kNameLimit = 128;

}  // namespace

CBookmarkTreeCtrl::CBookmarkTreeCtrl(CMarrowleafDoc& document, QWidget* parent)
    : QTreeWidget(parent), m_document(document), m_singleClick(AppSettings().singleClick) {
  setAccessibleName(QStringLiteral("Bookmarks List"));
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setIconSize({16, 16});
  setEditTriggers(QAbstractItemView::SelectedClicked);
  if (m_singleClick) setMouseTracking(true);
  auto* delegate = new LabelEditDelegate(kNameLimit, this);
  setItemDelegate(delegate);
  connect(delegate, &LabelEditDelegate::Renamed, this, &CBookmarkTreeCtrl::OnRenamed);
  connect(delegate, &LabelEditDelegate::EmptyNameRefused, this, &CBookmarkTreeCtrl::OnEmptyNameRefused);
}

uint32_t CBookmarkTreeCtrl::BookmarkId(const QTreeWidgetItem* item) {
  return item ? item->data(0, kBookmarkRole).toUInt() : 0;
}

void CBookmarkTreeCtrl::FillBookmarks() {
  clear();
  std::vector<uint32_t> ids;
  m_document.EnumBookmarks([&](const MLFBOOKMARK& bookmark) { ids.push_back(bookmark.nId); });
  for (uint32_t id : ids) AddBookmarkItem(id);
}

QTreeWidgetItem* CBookmarkTreeCtrl::AddBookmarkItem(uint32_t bookmarkId) {
  MLFBOOKMARK bookmark;
  if (!m_document.GetBookmark(bookmarkId, bookmark)) return nullptr;
  CMlfNode node;
  TreeImage image = node.Attach(&m_document, bookmark.nNode) ? TreeImage(node.Record().nIcon) : TreeImage::kEmpty;
  auto* item = new QTreeWidgetItem(QStringList(FromStored(bookmark.strName)));
  item->setData(0, kBookmarkRole, bookmark.nId);
  item->setIcon(0, TreeImages::Instance().Icon(image, TreeOverlay::kBookmark));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
  // After every entry whose name it ties with, before the first that sorts after it.
  int position = 0;
  while (position < topLevelItemCount() &&
         QString::compare(topLevelItem(position)->text(0), item->text(0), Qt::CaseInsensitive) <= 0)
    ++position;
  insertTopLevelItem(position, item);
  return item;
}

void CBookmarkTreeCtrl::ActivateBookmark(QTreeWidgetItem* item) {
  MLFBOOKMARK bookmark;
  if (item && m_tree && m_document.GetBookmark(BookmarkId(item), bookmark)) m_tree->ShowBookmarkItem(bookmark.nNode);
}

void CBookmarkTreeCtrl::DeleteBookmark(QTreeWidgetItem* item) {
  if (!item) return;
  m_document.DeleteBookmark(BookmarkId(item));
  delete item;
}

void CBookmarkTreeCtrl::RenameBookmark(QTreeWidgetItem* item) {
  if (item) editItem(item, 0);
}

void CBookmarkTreeCtrl::DropMissingBookmarks() {
  MLFBOOKMARK bookmark;
  for (int i = topLevelItemCount() - 1; i >= 0; --i)
    if (!m_document.GetBookmark(BookmarkId(topLevelItem(i)), bookmark)) delete takeTopLevelItem(i);
}

void CBookmarkTreeCtrl::OnRenamed(const QModelIndex& index, const QString& text) {
  QTreeWidgetItem* item = itemFromIndex(index);
  MLFBOOKMARK bookmark;
  if (!item || !m_document.GetBookmark(BookmarkId(item), bookmark)) return;
  bookmark.strName = ToStored(text);
  m_document.SetBookmark(bookmark.nId, bookmark);
  item->setText(0, text);
}

void CBookmarkTreeCtrl::OnEmptyNameRefused(const QModelIndex& index) {
  AppPrompts().Message("You must enter a name for this bookmark", kAppCaption, MessageIcon::Exclamation,
                       MessageButtons::Ok);
  QPersistentModelIndex keep(index);
  QTimer::singleShot(0, this, [this, keep] {
    if (keep.isValid()) QTreeWidget::edit(QModelIndex(keep));
  });
}

void CBookmarkTreeCtrl::OnOptionsChanged() {
  m_singleClick = AppSettings().singleClick;
  setMouseTracking(m_singleClick);
}

void CBookmarkTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) ActivateBookmark(itemAt(event->position().toPoint()));
}

void CBookmarkTreeCtrl::mousePressEvent(QMouseEvent* event) {
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  if (m_singleClick && item) {
    setCurrentItem(item);
    ActivateBookmark(item);
    return;
  }
  if (event->button() == Qt::LeftButton) QTreeWidget::mousePressEvent(event);
}

void CBookmarkTreeCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
    QPoint at;
    QTreeWidgetItem* target = KeyboardMenuTarget(*this, at);
    ShowContextMenu(target, at);
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void CBookmarkTreeCtrl::contextMenuEvent(QContextMenuEvent* event) {
  QPoint at;
  QTreeWidgetItem* target = ContextMenuTarget(*this, *event, at);
  ShowContextMenu(target, at);
}

void CBookmarkTreeCtrl::ShowContextMenu(QTreeWidgetItem* context, const QPoint& globalPos) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("&Delete"), this, [=, this] { DeleteBookmark(context); })->setEnabled(context);
  menu.addAction(QStringLiteral("&Rename"), this, [=, this] { RenameBookmark(context); })->setEnabled(context);
  menu.exec(globalPos);
}

}  // namespace mlf
