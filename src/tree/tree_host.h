// What the node tree and the bookmarks list ask of the document window around them.
#pragma once

#include <cstdint>

namespace mlf {

class TreeHost {
 public:
  virtual ~TreeHost() = default;
  // Opens the node in the content pane (open set) or shows the blank view with id as the
  // active node id (normally -1). False when the node could not be opened.
  virtual bool ActivateNode(bool open, int64_t nodeId) = 0;
};

}  // namespace mlf
