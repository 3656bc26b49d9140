// Moving and copying whole branches of nodes, within one document or between two. A copy is
// all or nothing: when a node's content cannot be read or written, every node copied so far
// is removed again and the source is left as it was.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace mlf {

class CMarrowleafDoc;

// The branch of root: root first, then depth first with the children of each folder in
// ascending id order. Empty when root is not a node.
std::vector<uint32_t> BranchIds(const CMarrowleafDoc& document, uint32_t root);

// True when node is root or lies inside root's branch.
bool IsInBranch(const CMarrowleafDoc& document, uint32_t node, uint32_t root);

struct BranchCopy {
  uint32_t root = 0;                             // the copy of the branch root; 0 when it failed
  std::unordered_map<uint32_t, uint32_t> ids;    // source id -> copy id
  std::vector<uint32_t> bookmarks, tasks;        // made in the target for the copies
  std::string error;                             // what failed, for the user
  explicit operator bool() const { return root != 0; }
};

// Copies the branch of root from source under parent (0: the top level) of target. Every copy
// keeps its keywords, its content (encrypted content stays encrypted, under the same key) and
// the password entered for it. Between two documents the branch's bookmarks and tasks come
// along as new bookmarks and tasks of the target; within one document they stay with the
// original. Refused when parent lies inside the branch itself.
BranchCopy CopyBranchTo(CMarrowleafDoc& source, uint32_t root, CMarrowleafDoc& target, uint32_t parent);

// Moves the branch of root to parent within its document: the nodes keep their ids, and so
// their keywords, bookmarks, task associations and content. False (nothing changed) when root
// is not a node, parent is not a folder, or parent lies inside the branch.
bool MoveBranchWithin(CMarrowleafDoc& document, uint32_t root, uint32_t parent);

}  // namespace mlf
