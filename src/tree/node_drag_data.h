// What a node tree puts into a drag: the tree and node the branch comes from and the mouse
// button that drags it. It names a tree of this process only, and is read back only while
// that tree still exists.
#pragma once

#include <QMimeData>
#include <cstdint>
#include <memory>
#include <optional>

namespace mlf {

class CMlfTreeCtrl;

inline constexpr const char* kNodeDragFormat = "application/x-marrowleaf-node";

struct NodeDrag {
  CMlfTreeCtrl* tree = nullptr;
  uint32_t nodeId = 0;
  bool rightButton = false;
};

std::unique_ptr<QMimeData> MakeNodeDragData(const NodeDrag& drag);
// The drag the data describes; none for data of another process, of a tree that has gone, or
// that is no node drag at all.
std::optional<NodeDrag> ReadNodeDragData(const QMimeData& data);

}  // namespace mlf
