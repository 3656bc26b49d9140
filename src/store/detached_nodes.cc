#include "store/detached_nodes.h"

#include <algorithm>

#include "platform/codepage.h"

namespace mlf {

std::vector<DetachedNode> FindDetachedNodes(const std::map<uint32_t, NTV>& nodes) {
  // What the climb needs, flat and in id order: a parent is found by a binary search in a few
  // contiguous kilobytes instead of a lookup through the map's scattered records.
  struct Link {
    uint32_t id;
    uint32_t parent;
    bool folder;
    const NTV* record;
  };
  std::vector<Link> links;
  links.reserve(nodes.size());
  for (const auto& [id, record] : nodes) links.push_back({id, record.nParent, record.nType == ntFolder, &record});
  const size_t none = links.size();
  auto indexOf = [&](uint32_t id) {
    auto it = std::lower_bound(links.begin(), links.end(), id, [](const Link& l, uint32_t v) { return l.id < v; });
    return it != links.end() && it->id == id ? static_cast<size_t>(it - links.begin()) : none;
  };
  auto detach = [&](size_t at, DetachedNode::Reason reason) {
    const Link& link = links[at];
    return DetachedNode{link.id, link.record->strTitle, link.parent, reason};
  };

  enum State : uint8_t { kUnseen, kOnPath, kDone };
  std::vector<uint8_t> state(links.size(), kUnseen);
  std::vector<DetachedNode> detached;
  std::vector<size_t> path;  // indices, which follow the id order
  for (size_t start = 0; start < links.size(); ++start) {
    // Climb until the top level, a node already settled, a missing parent or the path itself.
    path.clear();
    size_t at = start;
    while (true) {
      if (state[at] != kUnseen) {
        if (state[at] == kOnPath) {
          auto first = std::find(path.begin(), path.end(), at);
          detached.push_back(detach(*std::min_element(first, path.end()), DetachedNode::Reason::Cycle));
        }
        break;
      }
      state[at] = kOnPath;
      path.push_back(at);
      if (links[at].parent == 0) break;
      size_t up = indexOf(links[at].parent);
      if (up == none || !links[up].folder) {
        detached.push_back(
            detach(at, up == none ? DetachedNode::Reason::MissingParent : DetachedNode::Reason::ParentNotFolder));
        break;
      }
      at = up;
    }
    for (size_t settled : path) state[settled] = kDone;
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
