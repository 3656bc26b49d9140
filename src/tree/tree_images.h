// The image list that every node tree and bookmarks list shares: 21 pictures of 16 × 16 in the
// fixed order (overlays, node types, pale cut versions, badges, shortcut, padlock, clock).
// Overlays are drawn over an entry's picture; composed icons are kept once made.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <map>
#include <utility>
#include <vector>

namespace mlf {

constexpr int kTreeImageCount = 21;
constexpr int kImageActiveMark = 0;
constexpr int kImageActiveFolderMark = 1;
constexpr int kImageFolderOpen = 4;
constexpr int kImageEmpty = 5;
constexpr int kImageFirstPale = 9;
constexpr int kImageShortcut = 18;
constexpr int kImagePadlock = 19;
constexpr int kImageClock = 20;

class TreeImages {
 public:
  // The application's list, built on first use (a GUI application must exist).
  static TreeImages& Instance();

  int Count() const { return static_cast<int>(m_images.size()); }
  QPixmap Image(int index) const;
  // The picture with an overlay (1 active, 2 active folder, 3 bookmark, 4 padlock, 5 clock;
  // 0 none) drawn over it.
  QIcon Icon(int image, int overlay);

 private:
  TreeImages();
  QPixmap Compose(int image, int overlay, qreal devicePixelRatio) const;

  std::vector<std::pair<QPixmap, QPixmap>> m_images;  // at ratio 1 and 2
  std::map<std::pair<int, int>, QIcon> m_icons;
};

}  // namespace mlf
