// Nodes that the tree cannot reach from the top level: their parent id names no node or a node
// that is not a folder (whose children no walk follows), or their chain of parents runs in a
// cycle. Only damaged files hold them. They are shown at the top
// level, so nothing in a file is ever out of reach.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "store/node_record.h"

namespace mlf {

struct DetachedNode {
  uint32_t id = 0;
  std::string title;    // as stored
  uint32_t parent = 0;  // the stored parent id
  enum class Reason { MissingParent, ParentNotFolder, Cycle } reason = Reason::MissingParent;
};

// In ascending id order. For a chain that ends at a missing parent or a parent that is not a
// folder, the node naming that parent is detached; for a cycle, its node with the smallest id
// (the others stay below it).
std::vector<DetachedNode> FindDetachedNodes(const std::map<uint32_t, NTV>& nodes);

// "node 17 'x' has no parent 99; shown at the top level"; likewise "has parent 18, which is not
// a folder" and "has parent 18, which leads back to it".
std::string DetachedNodeText(const DetachedNode& node);

}  // namespace mlf
