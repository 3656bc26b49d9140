// The document's tasks by id, and which of them are attached to a node.
#pragma once

#include <vector>

#include "store/collection_records.h"
#include "store/id_table.h"

namespace mlf {

class TaskTable : public IdTable<MLFTASK> {
 public:
  // Some task has the node's id (0 is no node, never a node).
  bool NodeHasTask(uint32_t nodeId) const;
  // Detaches every task from the node (flag bit 1 cleared, node 0); the ids of those tasks.
  std::vector<uint32_t> Detach(uint32_t nodeId);
};

}  // namespace mlf
