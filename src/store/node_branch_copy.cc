#include "store/node_branch_copy.h"

#include <unordered_set>

#include "store/document.h"
#include "store/node.h"

namespace mlf {
namespace {

// Every parent's children in ascending id order, from one pass over the node table.
std::unordered_map<uint32_t, std::vector<uint32_t>> ChildrenByParent(const CMarrowleafDoc& document) {
  std::unordered_map<uint32_t, std::vector<uint32_t>> children;
  document.Data_EnumItems([&](const NTV& record) {
    if (record.nParent != record.nIndex) children[record.nParent].push_back(record.nIndex);
  });
  return children;
}

void CopyBookmarksAndTasks(const CMarrowleafDoc& source, CMarrowleafDoc& target, BranchCopy& result) {
  const auto& ids = result.ids;
  std::vector<MLFBOOKMARK> bookmarks;
  source.EnumBookmarks([&](const MLFBOOKMARK& bookmark) {
    if (ids.count(bookmark.nNode)) bookmarks.push_back(bookmark);
  });
  for (const MLFBOOKMARK& bookmark : bookmarks)
    result.bookmarks.push_back(target.AddBookmark(ids.at(bookmark.nNode), bookmark.strName));
  std::vector<MLFTASK> tasks;
  source.EnumTasks([&](const MLFTASK& task) {
    if ((task.nFlags & kTaskAttached) && ids.count(task.nNode)) tasks.push_back(task);
  });
  for (MLFTASK& task : tasks) {
    task.nNode = ids.at(task.nNode);
    result.tasks.push_back(target.NewTask(task));
  }
}

}  // namespace

std::vector<uint32_t> BranchIds(const CMarrowleafDoc& document, uint32_t root) {
  NTV record;
  if (!document.Data_GetItem(root, record)) return {};
  auto children = ChildrenByParent(document);
  std::vector<uint32_t> ids;
  std::vector<uint32_t> pending{root};
  // A stack instead of recursion for deep branches; the seen check ends a damaged parent cycle.
  std::unordered_set<uint32_t> seen;
  while (!pending.empty()) {
    uint32_t id = pending.back();
    pending.pop_back();
    if (!seen.insert(id).second) continue;
    ids.push_back(id);
    if (!document.Data_GetItem(id, record) || record.nType != ntFolder) continue;
    auto level = children.find(id);
    if (level != children.end()) pending.insert(pending.end(), level->second.rbegin(), level->second.rend());
  }
  return ids;
}

bool IsInBranch(const CMarrowleafDoc& document, uint32_t node, uint32_t root) {
  NTV record;
  // Walking up is bounded by the table's size, so a damaged parent cycle ends.
  for (size_t steps = 0; node != 0 && steps <= document.Data_GetCount(); ++steps) {
    if (node == root) return true;
    if (!document.Data_GetItem(node, record)) return false;
    node = record.nParent;
  }
  return false;
}

BranchCopy CopyBranchTo(CMarrowleafDoc& source, uint32_t root, CMarrowleafDoc& target, uint32_t parent) {
  BranchCopy result;
  if (&source == &target && IsInBranch(source, parent, root)) {
    result.error = "A branch cannot be copied into itself.";
    return result;
  }
  // Listed before anything is copied, so the copies are never copied again.
  std::vector<uint32_t> branch = BranchIds(source, root);
  if (branch.empty()) {
    result.error = "The node to copy no longer exists.";
    return result;
  }
  bool wasModified = target.IsModified();
  NTV record;
  for (uint32_t id : branch) {
    source.Data_GetItem(id, record);
    CMlfNode original(&source, id), copy;
    if (!copy.CopyFrom(&target, original)) {
      if (result.root) target.Data_DeleteItem(result.root);
      target.SetModifiedFlag(wasModified);
      result.error = "The content of '" + source.Data_GetItemPath(id) +
                     "' could not be read or written; nothing was copied.";
      result.root = 0;
      result.ids.clear();
      return result;
    }
    copy.SetParent(id == root ? parent : result.ids.at(record.nParent));
    copy.Update(true);
    result.ids[id] = copy.GetId();
    if (id == root) result.root = copy.GetId();
  }
  if (&source != &target) CopyBookmarksAndTasks(source, target, result);
  return result;
}

bool MoveBranchWithin(CMarrowleafDoc& document, uint32_t root, uint32_t parent) {
  CMlfNode node;
  if (!node.Attach(&document, root) || IsInBranch(document, parent, root)) return false;
  NTV folder;
  if (parent != 0 && (!document.Data_GetItem(parent, folder) || folder.nType != ntFolder)) return false;
  node.SetParent(parent);
  node.Update(true);
  return true;
}

}  // namespace mlf
