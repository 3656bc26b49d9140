// Dragging in the node tree: branches dragged with the left or the right button within a tree
// and between the trees of two windows, and files dragged in from a file manager.
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <cstdlib>
#include <utility>

#include "app/app_settings.h"
#include "store/document.h"
#include "store/prompts.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/node_drag_data.h"
#include "tree/tree_host.h"

namespace mlf {
namespace {

// A right-button drag starts once the pointer is this far from the press in x or in y.
constexpr int kRightDragDistance = 3;

const char* const kRefuseData = "Only nodes and files can be dropped here.";
const char* const kRefuseFolders = "Folders are not imported: drop the files inside them.";
const char* const kRefuseGone = "The dragged item no longer exists.";
const char* const kRefuseItself = "An item cannot be dropped onto itself.";
const char* const kRefuseOwnBranch = "A folder cannot be moved or copied into its own branch.";
const char* const kRefuseSameLevel = "The item is at this level already: drop it on a folder to put it there.";

bool HasLocalFiles(const QMimeData& data) {
  for (const QUrl& url : data.urls())
    if (url.isLocalFile()) return true;
  return false;
}

// The dropped paths that are files; folders are skipped.
QStringList DroppedFiles(const QMimeData& data) {
  QStringList files;
  for (const QUrl& url : data.urls())
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir()) files << url.toLocalFile();
  return files;
}

}  // namespace

QStringList CMlfTreeCtrl::mimeTypes() const {
  return {QString::fromLatin1(kNodeDragFormat), QStringLiteral("text/uri-list")};
}

Qt::DropActions CMlfTreeCtrl::supportedDropActions() const { return Qt::CopyAction | Qt::MoveAction; }

void CMlfTreeCtrl::mousePressEvent(QMouseEvent* event) {
  m_rightPress.reset();
  if (event->button() == Qt::RightButton && IsNode(itemAt(event->position().toPoint())))
    m_rightPress = event->position().toPoint();
  QTreeWidget::mousePressEvent(event);
}

void CMlfTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (m_rightPress && (event->buttons() & Qt::RightButton)) {
    QPoint moved = event->position().toPoint() - *m_rightPress;
    if (std::abs(moved.x()) > kRightDragDistance || std::abs(moved.y()) > kRightDragDistance) {
      QTreeWidgetItem* item = itemAt(*m_rightPress);
      m_rightPress.reset();
      StartNodeDrag(item, true);
      return;
    }
  }
  QTreeWidget::mouseMoveEvent(event);
}

void CMlfTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && std::exchange(m_menuAtRelease, false)) {
    QContextMenuEvent menu(QContextMenuEvent::Mouse, event->position().toPoint(), event->globalPosition().toPoint());
    contextMenuEvent(&menu);
    return;
  }
  QTreeWidget::mouseReleaseEvent(event);
}

void CMlfTreeCtrl::startDrag(Qt::DropActions) { StartNodeDrag(currentItem(), false); }

void CMlfTreeCtrl::StartNodeDrag(QTreeWidgetItem* item, bool rightButton) {
  m_menuAtRelease = false;
  if (!IsNode(item)) return;  // the placeholder is not dragged
  setCurrentItem(item);
  auto* drag = new QDrag(this);
  drag->setMimeData(MakeNodeDragData({this, uint32_t(ItemValue(item)), rightButton}).release());
  drag->setPixmap(viewport()->grab(visualItemRect(item)));
  drag->setHotSpot({0, 0});
  // What the drop did is done by the tree that took it; the source has nothing left to do,
  // unless nothing took it: a drag let go outside the tree beeps, and a right-button drag then
  // shows the ordinary pop-up menu of its entry.
  if (drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction) != Qt::IgnoreAction) return;
  QPoint at = QCursor::pos();
  if (rect().contains(mapFromGlobal(at))) return;
  QApplication::beep();
  if (rightButton) ShowContextMenu(item, at);
}

CMlfTreeCtrl::DropPlan CMlfTreeCtrl::PlanNodeDrop(const QMimeData& data, const QPoint& pos) const {
  DropPlan plan;
  std::optional<NodeDrag> drag = ReadNodeDragData(data);
  NTV record;
  if (!drag) {
    plan.refusal = QString::fromLatin1(kRefuseData);
    return plan;
  }
  if (!drag->tree->Document().Data_GetItem(drag->nodeId, record)) {
    plan.refusal = QString::fromLatin1(kRefuseGone);
    return plan;
  }
  plan.source = drag->tree;
  plan.nodeId = drag->nodeId;
  plan.rightButton = drag->rightButton;
  QTreeWidgetItem* target = itemAt(pos);
  NTV targetRecord;
  bool targetIsFolder = IsNode(target) && m_document.Data_GetItem(uint32_t(ItemValue(target)), targetRecord) &&
                        targetRecord.nType == ntFolder;
  if (&drag->tree->Document() != &m_document) {
    // Into another document: a folder takes the branch, any other entry has it beside it.
    plan.parent = targetIsFolder ? target : (target ? target->parent() : nullptr);
    return plan;
  }
  QTreeWidgetItem* source = FindItem(drag->nodeId);
  if (!source) {
    plan.refusal = QString::fromLatin1(kRefuseGone);
  } else if (target == source) {
    plan.refusal = QString::fromLatin1(kRefuseItself);
  } else if (target && IsBelow(target, source)) {
    plan.refusal = QString::fromLatin1(kRefuseOwnBranch);
  } else if (source->parent() == (target ? target->parent() : nullptr)) {
    // A sibling folder takes the branch; any other sibling, or empty space for a top-level
    // entry, would leave it where it is.
    if (targetIsFolder) {
      plan.parent = target;
    } else {
      plan.refusal = QString::fromLatin1(kRefuseSameLevel);
      plan.silent = true;
    }
  } else {
    plan.parent = target ? target->parent() : nullptr;
  }
  return plan;
}

QString CMlfTreeCtrl::DropRefusal(const QMimeData& data, const QPoint& pos) const {
  if (data.hasFormat(QString::fromLatin1(kNodeDragFormat))) return PlanNodeDrop(data, pos).refusal;
  if (!HasLocalFiles(data)) return QString::fromLatin1(kRefuseData);
  if (DroppedFiles(data).isEmpty()) return QString::fromLatin1(kRefuseFolders);
  return {};
}

void CMlfTreeCtrl::SetDropHighlight(QTreeWidgetItem* item) {
  if (item == m_dropItem) return;
  if (m_dropItem) {
    m_dropItem->setData(0, Qt::BackgroundRole, QVariant());
    m_dropItem->setData(0, Qt::ForegroundRole, QVariant());
  }
  m_dropItem = item;
  if (item) {
    item->setBackground(0, palette().brush(QPalette::Highlight));
    item->setForeground(0, palette().brush(QPalette::HighlightedText));
  }
}

void CMlfTreeCtrl::dragEnterEvent(QDragEnterEvent* event) {
  QTreeWidget::dragEnterEvent(event);
  const QMimeData& data = *event->mimeData();
  // Neither nodes nor files: the forbidden cursor from the start.
  if (data.hasFormat(QString::fromLatin1(kNodeDragFormat)) || HasLocalFiles(data)) event->accept();
  else event->ignore();
}

void CMlfTreeCtrl::dragMoveEvent(QDragMoveEvent* event) {
  // The base view opens a folder held under the pointer and scrolls near the edges.
  QTreeWidget::dragMoveEvent(event);
  QPoint pos = event->position().toPoint();
  SetDropHighlight(itemAt(pos));
  QString refusal = DropRefusal(*event->mimeData(), pos);
  if (!refusal.isEmpty()) {
    event->ignore();
    QToolTip::showText(viewport()->mapToGlobal(pos) + QPoint(16, 16), refusal, this);
    return;
  }
  QToolTip::hideText();
  std::optional<NodeDrag> drag = ReadNodeDragData(*event->mimeData());
  bool sameDocument = drag && &drag->tree->Document() == &m_document;
  bool move = drag && (sameDocument ? !(event->modifiers() & Qt::ControlModifier)
                                    : bool(event->modifiers() & Qt::ShiftModifier));
  event->setDropAction(move ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
}

void CMlfTreeCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
  QTreeWidget::dragLeaveEvent(event);
  SetDropHighlight(nullptr);
  QToolTip::hideText();
}

void CMlfTreeCtrl::dropEvent(QDropEvent* event) {
  stopAutoScroll();
  setState(NoState);
  QToolTip::hideText();
  const QMimeData& data = *event->mimeData();
  QPoint pos = event->position().toPoint();
  Qt::KeyboardModifiers modifiers = event->modifiers();
  if (!DropRefusal(data, pos).isEmpty() && !data.hasFormat(QString::fromLatin1(kNodeDragFormat))) {
    SetDropHighlight(nullptr);
    event->ignore();
    return;
  }
  // The drop is carried out once the drag has ended: it may ask questions or show the drop
  // menu, which must not run inside the drag's own loop.
  auto kept = std::make_shared<QMimeData>();
  for (const QString& format : data.formats()) kept->setData(format, data.data(format));
  QTimer::singleShot(0, this, [this, kept, pos, modifiers] { DropAt(*kept, pos, modifiers); });
  // Files are always copied: a file manager must never delete what it sent.
  event->setDropAction(data.hasFormat(QString::fromLatin1(kNodeDragFormat)) ? event->dropAction() : Qt::CopyAction);
  event->accept();
}

Qt::DropAction CMlfTreeCtrl::DropAt(const QMimeData& data, const QPoint& pos, Qt::KeyboardModifiers modifiers) {
  if (!data.hasFormat(QString::fromLatin1(kNodeDragFormat))) {
    SetDropHighlight(nullptr);
    QStringList files = DroppedFiles(data);
    if (files.isEmpty()) return Qt::IgnoreAction;
    ImportDroppedFiles(files, pos);
    return Qt::CopyAction;
  }
  DropPlan plan = PlanNodeDrop(data, pos);
  if (!plan.refusal.isEmpty()) {
    SetDropHighlight(nullptr);
    if (!plan.silent) QApplication::beep();
    return Qt::IgnoreAction;
  }
  bool sameDocument = &plan.source->Document() == &m_document;
  bool move = sameDocument ? !(modifiers & Qt::ControlModifier) : bool(modifiers & Qt::ShiftModifier);
  if (plan.rightButton) {
    // The highlight stays while the menu shows.
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("dropMenu"));
    QAction* moveHere = menu.addAction(QStringLiteral("&Move Here"));
    QAction* copyHere = menu.addAction(QStringLiteral("&Copy Here"));
    menu.addAction(QStringLiteral("Cancel"));
    menu.setDefaultAction(moveHere);
    QAction* chosen = menu.exec(QCursor::pos());
    SetDropHighlight(nullptr);
    if (chosen != moveHere && chosen != copyHere) return Qt::IgnoreAction;
    move = chosen == moveHere;
  }
  SetDropHighlight(nullptr);
  if (move && AppSettings().promptMove &&
      AppPrompts().Message("Are you sure you want to move this item?", "Confirm item move", MessageIcon::Question,
                           MessageButtons::YesNo) != MessageAnswer::Yes)
    return Qt::IgnoreAction;
  // A move out of another document changes that one too.
  if (!MayChange() || (move && !sameDocument && !plan.source->MayChange())) return Qt::IgnoreAction;
  QTreeWidgetItem* item = TransferBranch(plan.source->Document(), plan.nodeId, plan.parent, move);
  if (!item) return Qt::IgnoreAction;
  setFocus();
  return move ? Qt::MoveAction : Qt::CopyAction;
}

void CMlfTreeCtrl::ImportDroppedFiles(const QStringList& files, const QPoint& pos) {
  // The files go beside the entry they were dropped on, into its parent.
  QTreeWidgetItem* hit = itemAt(pos);
  uint32_t hitId = IsNode(hit) ? uint32_t(ItemValue(hit)) : 0;
  QTreeWidgetItem* parent = hit ? hit->parent() : nullptr;
  uint32_t parentId = parent ? uint32_t(ItemValue(parent)) : 0;
  if (hit) setCurrentItem(hit);
  if (!MayChange()) return;
  std::vector<std::string> paths;
  for (const QString& file : files) paths.push_back(file.toStdString());
  m_host.ImportDroppedFiles(parentId, paths);
  RebuildTree(true);
  QTreeWidgetItem* select = hitId ? FindItem(hitId) : nullptr;
  if (!select && parentId) {
    QTreeWidgetItem* folder = FindItem(parentId);
    select = folder && folder->childCount() ? folder->child(0) : folder;
  }
  if (select) setCurrentItem(select);
  setFocus();
}

}  // namespace mlf
