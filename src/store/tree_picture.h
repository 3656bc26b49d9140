// What a node's tree entry shows: the picture of its kind from the tree's image list, and the
// overlay drawn over it. A node record keeps its picture as the 16-bit number of the file.
#pragma once

#include <cstdint>
#include <string>

namespace mlf {

// Positions in the image list that every node tree and bookmarks list shares; 9 to 15 are the
// pale cut versions of 2 to 8.
enum class TreeImage : uint16_t {
  kActiveMark = 0,
  kActiveFolderMark = 1,
  kNote = 2,
  kFolder = 3,
  kFolderOpen = 4,
  kEmpty = 5,
  kImage = 6,
  kHtml = 7,
  kForeign = 8,
  kFirstPale = 9,
  kFolderBadge = 16,
  kFolderOpenBadge = 17,
  kShortcut = 18,
  kPadlock = 19,
  kClock = 20,
};
inline constexpr int kTreeImageCount = 21;

enum class TreeOverlay : uint8_t {
  kNone = 0,
  kActive = 1,          // the open node
  kActiveAncestor = 2,  // a folder above it
  kBookmark = 3,
  kEncrypted = 4,
  kTask = 5,
};

struct TreeItemInfo {
  std::string title;
  TreeImage image = TreeImage::kActiveMark;
  TreeImage selectedImage = TreeImage::kActiveMark;
  uint32_t itemData = 0;  // the node id
  TreeOverlay overlay = TreeOverlay::kNone;
};

}  // namespace mlf
