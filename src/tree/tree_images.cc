#include "tree/tree_images.h"

#include <QPainter>

#include "widgets/svg_art.h"

namespace mlf {
namespace {

// Resource names by index; the pale cut versions 9 to 15 are made from 2 to 8.
const char* const kArt[kTreeImageCount] = {
    "00_active", "01_active_folder", "02_note", "03_folder", "04_folder_open", "05_empty", "06_image",
    "07_html", "08_foreign", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    "16_folder_badge", "17_folder_open_badge", "18_shortcut", "19_padlock", "20_clock"};

// Overlay index to image index: 1 to 0, 2 to 1, 3 to 18, 4 to 19, 5 to 20.
int OverlayImage(int overlay) {
  switch (overlay) {
    case 1: return kImageActiveMark;
    case 2: return kImageActiveFolderMark;
    case 3: return kImageShortcut;
    case 4: return kImagePadlock;
    case 5: return kImageClock;
    default: return -1;
  }
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
      const auto& source = m_images[i - 7];
      m_images.emplace_back(Pale(source.first), Pale(source.second));
    }
  }
}

QPixmap TreeImages::Image(int index) const {
  if (index < 0 || index >= Count()) return {};
  return m_images[index].first;
}

QPixmap TreeImages::Compose(int image, int overlay, qreal devicePixelRatio) const {
  const auto& pick = [&](int index) -> const QPixmap& {
    return devicePixelRatio > 1 ? m_images[index].second : m_images[index].first;
  };
  if (image < 0 || image >= Count()) image = kImageEmpty;
  QPixmap composed = pick(image).copy();
  int overlayImage = OverlayImage(overlay);
  if (overlayImage >= 0) {
    QPainter painter(&composed);
    painter.drawPixmap(0, 0, pick(overlayImage));
  }
  return composed;
}

QIcon TreeImages::Icon(int image, int overlay) {
  auto key = std::make_pair(image, overlay);
  auto it = m_icons.find(key);
  if (it != m_icons.end()) return it->second;
  QIcon icon;
  icon.addPixmap(Compose(image, overlay, 1.0));
  icon.addPixmap(Compose(image, overlay, 2.0));
  return m_icons.emplace(key, icon).first->second;
}

}  // namespace mlf
