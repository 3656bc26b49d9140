// The node tree's moves and copies of whole branches: the node clipboard's Cut, Copy and
// Paste, and what a drop ends in.
#include <algorithm>

#include "diagnostics/log.h"
#include "dialogs/background_work.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_branch_copy.h"
#include "store/node_clipboard.h"
#include "store/prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/tree_host.h"

namespace mlf {
namespace {

CMlfTreeCtrl* TreeOf(const CMarrowleafDoc& document) {
  for (CMlfTreeCtrl* tree : CMlfTreeCtrl::LiveTrees())
    if (&tree->Document() == &document) return tree;
  return nullptr;
}

void UpdateEveryPaleBranch() {
  for (CMlfTreeCtrl* tree : CMlfTreeCtrl::LiveTrees()) tree->UpdatePaleBranch();
}

void Tell(const std::string& text) {
  AppLog().WriteLine(text);
  AppPrompts().Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace

void CMlfTreeCtrl::CutItem(QTreeWidgetItem* item) {
  if (!IsNode(item)) return;
  NodeClipboard::Instance().Set({true, &m_document, this, uint32_t(ItemValue(item)), true});
  UpdateEveryPaleBranch();
}

void CMlfTreeCtrl::CopyItem(QTreeWidgetItem* item) {
  if (!IsNode(item)) return;
  NodeClipboard::Instance().Set({true, &m_document, this, uint32_t(ItemValue(item)), false});
  UpdateEveryPaleBranch();
}

QTreeWidgetItem* CMlfTreeCtrl::PasteItem(QTreeWidgetItem* context) {
  AppLog().WriteLine("OnMlfPopupPaste()");
  NodeClipboardEntry clip = NodeClipboard::Instance().Get();
  if (!clip.hasEntry || !clip.sourceDocument) return nullptr;
  NTV record;
  if (!clip.sourceDocument->Data_GetItem(clip.nodeId, record)) {
    // The node went with a larger branch that was deleted or moved away.
    NodeClipboard::Instance().Clear();
    UpdateEveryPaleBranch();
    return nullptr;
  }
  QTreeWidgetItem* parent = context ? context->parent() : nullptr;
  uint32_t parentId = parent ? uint32_t(ItemValue(parent)) : 0;
  if (clip.sourceDocument == &m_document && IsInBranch(m_document, parentId, clip.nodeId)) {
    Tell("A branch cannot be pasted into itself.");
    return nullptr;
  }
  // A cut pasted into another document changes its source too.
  CMlfTreeCtrl* sourceTree = TreeOf(*clip.sourceDocument);
  bool cutElsewhere = clip.cut && clip.sourceDocument != &m_document;
  if (!MayChange() || (cutElsewhere && sourceTree && !sourceTree->MayChange())) return nullptr;
  QTreeWidgetItem* item = TransferBranch(*clip.sourceDocument, clip.nodeId, parent, clip.cut);
  if (item && clip.cut) NodeClipboard::Instance().Clear();
  UpdateEveryPaleBranch();
  return item;
}

void CMlfTreeCtrl::UpdatePaleBranch() {
  NodeClipboardEntry clip = NodeClipboard::Instance().Get();
  uint32_t wanted = clip.hasEntry && clip.cut && clip.sourceDocument == &m_document ? clip.nodeId : 0;
  if (wanted == m_paleId) return;
  if (QTreeWidgetItem* old = m_paleId ? FindItem(m_paleId) : nullptr) SetBranchPale(old, false);
  if (QTreeWidgetItem* item = wanted ? FindItem(wanted) : nullptr) SetBranchPale(item, true);
  m_paleId = wanted;
}

void CMlfTreeCtrl::SetBranchPale(QTreeWidgetItem* item, bool pale) {
  constexpr int kStep = int(TreeImage::kFirstPale) - int(TreeImage::kNote);
  const int first = pale ? int(TreeImage::kNote) : int(TreeImage::kFirstPale);
  std::vector<QTreeWidgetItem*> pending{item};
  while (!pending.empty()) {
    QTreeWidgetItem* entry = pending.back();
    pending.pop_back();
    int image = int(ItemImage(entry));
    // Only the node pictures have pale versions; the placeholder and others stay.
    if (IsNode(entry) && image >= first && image < first + kStep)
      SetPicture(entry, TreeImage(pale ? image + kStep : image - kStep), ItemOverlay(entry));
    for (int i = 0; i < entry->childCount(); ++i) pending.push_back(entry->child(i));
  }
}

bool CMlfTreeCtrl::MayChange() {
  std::string path = m_document.GetPathName();
  Env& env = m_document.GetEnv();
  if (path.empty() || !env.FileExists(path) || !env.IsReadOnly(path)) return true;
  return AppPrompts().Message("The file '" + path +
                                  "' is read-only: this change cannot be saved to it.\n\nWould you like to make the "
                                  "change and save the document to a different location?",
                              kAppCaption, MessageIcon::Exclamation, MessageButtons::YesNo) == MessageAnswer::Yes;
}

void CMlfTreeCtrl::InsertSorted(QTreeWidgetItem* parent, QTreeWidgetItem* item) {
  QTreeWidgetItem* container = parent ? parent : invisibleRootItem();
  if (container->childCount() == 1 && ItemValue(container->child(0)) == kPlaceholderItem)
    delete container->takeChild(0);
  std::vector<NTV> records(container->childCount());
  std::vector<const NTV*> siblings;
  for (int i = 0; i < container->childCount(); ++i) {
    m_document.Data_GetItem(uint32_t(ItemValue(container->child(i))), records[i]);
    siblings.push_back(&records[i]);
  }
  NTV record;
  m_document.Data_GetItem(uint32_t(ItemValue(item)), record);
  container->insertChild(int(InsertPosition(siblings, record, Options())), item);
}

QTreeWidgetItem* CMlfTreeCtrl::InsertBranchEntries(uint32_t root, QTreeWidgetItem* parent) {
  std::vector<uint32_t> ids = BranchIds(m_document, root);
  std::sort(ids.begin(), ids.end());
  std::vector<NTV> records(ids.size());
  std::vector<const NTV*> pointers;
  for (size_t i = 0; i < ids.size(); ++i) {
    m_document.Data_GetItem(ids[i], records[i]);
    pointers.push_back(&records[i]);
  }
  NTV rootRecord;
  m_document.Data_GetItem(root, rootRecord);
  // Among the branch's records the root is the only child of its parent: it is built as the
  // only top-level entry, then put in its place.
  QList<QTreeWidgetItem*> built;
  BuildEntries(OrderSiblings(pointers, Options()), {{rootRecord.nParent, nullptr}}, &built);
  if (built.isEmpty()) return nullptr;
  InsertSorted(parent, built.front());
  return built.front();
}

QTreeWidgetItem* CMlfTreeCtrl::MoveWithin(uint32_t nodeId, QTreeWidgetItem* parent) {
  QTreeWidgetItem* item = FindItem(nodeId);
  if (!item || !MoveBranchWithin(m_document, nodeId, parent ? uint32_t(ItemValue(parent)) : 0)) return nullptr;
  // The entry goes along with its children; the active marks are taken off on the way.
  QTreeWidgetItem* active = m_activeItem;
  SetActiveMarks(active, nullptr);
  QTreeWidgetItem* oldParent = item->parent();
  (oldParent ? oldParent : invisibleRootItem())->removeChild(item);
  if (oldParent && oldParent->childCount() == 0) AddEmptyPlaceholder(oldParent);
  InsertSorted(parent, item);
  SetActiveMarks(nullptr, active);
  return item;
}

QTreeWidgetItem* CMlfTreeCtrl::TransferBranch(CMarrowleafDoc& source, uint32_t nodeId, QTreeWidgetItem* parent,
                                              bool move) {
  QTreeWidgetItem* item = nullptr;
  if (move && &source == &m_document) {
    item = MoveWithin(nodeId, parent);
  } else {
    // The copy reads the stored content: a note being edited in the source window is stored
    // first, or its latest text would be missing from the copy (and lost by a move).
    CMlfTreeCtrl* sourceTree = TreeOf(source);
    if (sourceTree && !sourceTree->m_host.StoreOpenNode()) return nullptr;
    // A large branch takes a while: the window goes on painting meanwhile.
    BranchCopy copy;
    uint32_t parentId = parent ? uint32_t(ItemValue(parent)) : 0;
    RunInBackground(move ? "Moving nodes..." : "Copying nodes...", [&] {
      copy = CopyBranchTo(source, nodeId, m_document, parentId);
      return true;
    });
    if (!copy) {
      Tell(copy.error);
      return nullptr;
    }
    item = InsertBranchEntries(copy.root, parent);
    for (uint32_t bookmark : copy.bookmarks)
      if (m_bookmarks) m_bookmarks->AddBookmarkItem(bookmark);
    for (uint32_t task : copy.tasks) Q_EMIT TaskAdded(task);
    if (move) {
      // Only now that the copy is whole does the branch leave its source.
      QTreeWidgetItem* old = sourceTree ? sourceTree->FindItem(nodeId) : nullptr;
      if (old) sourceTree->DeleteBranch(old, false);
      else source.Data_DeleteItem(nodeId);
    }
  }
  if (!item) return nullptr;
  if (parent) parent->setExpanded(true);
  setCurrentItem(item);
  scrollToItem(item);
  return item;
}

}  // namespace mlf
