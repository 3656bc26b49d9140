#include "store/detached_nodes.h"

#include <algorithm>
#include <unordered_map>

#include "platform/codepage.h"

namespace mlf {

std::vector<DetachedNode> FindDetachedNodes(const std::map<uint32_t, NTV>& nodes) {
  enum State : uint8_t { kOnPath = 1, kDone = 2 };
  std::unordered_map<uint32_t, uint8_t> state;
  state.reserve(nodes.size());
  std::vector<DetachedNode> detached;
  std::vector<uint32_t> path;
  for (const auto& [start, unused] : nodes) {
    // Climb until the top level, a node already settled, a missing parent or the path itself.
    path.clear();
    uint32_t id = start;
    while (true) {
      auto seen = state.find(id);
      if (seen != state.end()) {
        if (seen->second == kOnPath) {
          auto first = std::find(path.begin(), path.end(), id);
          uint32_t smallest = *std::min_element(first, path.end());
          const NTV& record = nodes.at(smallest);
          detached.push_back({smallest, record.strTitle, record.nParent, DetachedNode::Reason::Cycle});
        }
        break;
      }
      state[id] = kOnPath;
      path.push_back(id);
      uint32_t parent = nodes.at(id).nParent;
      if (parent == 0) break;
      auto up = nodes.find(parent);
      if (up == nodes.end() || up->second.nType != ntFolder) {
        detached.push_back({id, nodes.at(id).strTitle, parent,
                            up == nodes.end() ? DetachedNode::Reason::MissingParent
                                              : DetachedNode::Reason::ParentNotFolder});
        break;
      }
      id = parent;
    }
    for (uint32_t settled : path) state[settled] = kDone;
  }
  std::sort(detached.begin(), detached.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  return detached;
}

std::string DetachedNodeText(const DetachedNode& node) {
  std::string head = "node " + std::to_string(node.id) + " '" + StoredTextToUtf8(node.title) + "' ";
  std::string parent = std::to_string(node.parent);
  std::string why = node.reason == DetachedNode::Reason::MissingParent ? "has no parent " + parent
                    : node.reason == DetachedNode::Reason::Cycle       ? "has parent " + parent + ", which leads back to it"
                                                                       : "has parent " + parent + ", which is not a folder";
  return head + why + "; shown at the top level";
}

}  // namespace mlf
