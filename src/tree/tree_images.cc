#include "tree/tree_images.h"

#include <QPainter>
#include <optional>

#include "widgets/svg_art.h"

namespace mlf {
namespace {

// Resource names by index; the pale cut versions 9 to 15 are made from 2 to 8.
const char* const kArt[kTreeImageCount] = {
    "00_active", "01_active_folder", "02_note", "03_folder", "04_folder_open", "05_empty", "06_image",
    "07_html", "08_foreign", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "16_folder_badge", "17_folder_open_badge", "18_shortcut", "19_padlock", "20_clock"};

// The picture an overlay draws, or none.
std::optional<TreeImage> OverlayImage(TreeOverlay overlay) {
  switch (overlay) {
    case TreeOverlay::kActive: return TreeImage::kActiveMark;
    case TreeOverlay::kActiveAncestor: return TreeImage::kActiveFolderMark;
    case TreeOverlay::kBookmark: return TreeImage::kShortcut;
    case TreeOverlay::kEncrypted: return TreeImage::kPadlock;
    case TreeOverlay::kTask: return TreeImage::kClock;
    case TreeOverlay::kNone: break;
  }
  return std::nullopt;
}

QPixmap Pale(const QPixmap& source) {
  QPixmap pale(source.size());
  pale.setDevicePixelRatio(source.devicePixelRatio());
  pale.fill(Qt::transparent);
  QPainter painter(&pale);
  painter.setOpacity(0.4);
  painter.drawPixmap(0, 0, source);
  return pale;
}

}  // namespace

TreeImages& TreeImages::Instance() {
  static TreeImages images;
  return images;
}

TreeImages::TreeImages() {
  for (int i = 0; i < kTreeImageCount; ++i) {
    if (kArt[i]) {
      QString resource = QStringLiteral(":/tree/%1.svg").arg(QLatin1String(kArt[i]));
      m_images.emplace_back(RenderSvg(resource, {16, 16}, 1.0), RenderSvg(resource, {16, 16}, 2.0));
    } else {
      const auto& source = m_images[i - (int(TreeImage::kFirstPale) - int(TreeImage::kNote))];
      m_images.emplace_back(Pale(source.first), Pale(source.second));
    }
  }
}

QPixmap TreeImages::Image(int index) const {
  if (index < 0 || index >= Count()) return {};
  return m_images[index].first;
}

QPixmap TreeImages::Compose(TreeImage image, TreeOverlay overlay, qreal devicePixelRatio) const {
  const auto& pick = [&](TreeImage picture) -> const QPixmap& {
    const auto& pair = m_images[size_t(picture)];
    return devicePixelRatio > 1 ? pair.second : pair.first;
  };
  if (int(image) >= Count()) image = TreeImage::kEmpty;
  QPixmap composed = pick(image).copy();
  if (std::optional<TreeImage> drawn = OverlayImage(overlay)) {
    QPainter painter(&composed);
    painter.drawPixmap(0, 0, pick(*drawn));
  }
  return composed;
}

QIcon TreeImages::Icon(TreeImage image, TreeOverlay overlay) {
  auto key = std::make_pair(image, overlay);
  auto it = m_icons.find(key);
  if (it != m_icons.end()) return it->second;
  QIcon icon;
  icon.addPixmap(Compose(image, overlay, 1.0));
  icon.addPixmap(Compose(image, overlay, 2.0));
  return m_icons.emplace(key, icon).first->second;
}

}  // namespace mlf
