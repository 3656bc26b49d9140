#include "store/task_table.h"

namespace mlf {

bool TaskTable::NodeHasTask(uint32_t nodeId) const {
  if (nodeId == 0) return false;
  for (const auto& [id, task] : Records())
    if (task.nNode == nodeId) return true;
  return false;
}

std::vector<uint32_t> TaskTable::Detach(uint32_t nodeId) {
  std::vector<uint32_t> detached;
  if (nodeId == 0) return detached;
  for (auto& [id, task] : Records()) {
    if (task.nNode != nodeId) continue;
    task.nFlags &= ~kTaskAttached;
    task.nNode = 0;
    detached.push_back(id);
  }
  return detached;
}

}  // namespace mlf
