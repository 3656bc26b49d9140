// The image list that every node tree and bookmarks list shares: 21 pictures of 16 × 16 in the
// fixed order (overlays, node types, pale cut versions, badges, shortcut, padlock, clock).
// Overlays are drawn over an entry's picture; composed icons are kept once made.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <map>
#include <utility>
#include <vector>

#include "store/tree_picture.h"

namespace mlf {

class TreeImages {
 public:
  // The application's list, built on first use (a GUI application must exist).
  static TreeImages& Instance();

  int Count() const { return static_cast<int>(m_images.size()); }
  // The picture at a position of the list.
  QPixmap Image(int index) const;
  // The picture with the overlay drawn over it; a stored number beyond the list shows the
  // empty picture.
  QIcon Icon(TreeImage image, TreeOverlay overlay);

 private:
  TreeImages();
  QPixmap Compose(TreeImage image, TreeOverlay overlay, qreal devicePixelRatio) const;

  std::vector<std::pair<QPixmap, QPixmap>> m_images;  // at ratio 1 and 2
  std::map<std::pair<TreeImage, TreeOverlay>, QIcon> m_icons;
};

}  // namespace mlf
