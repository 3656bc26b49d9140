#include "widgets/svg_art.h"

#include <QPainter>
#include <QSvgRenderer>

namespace mlf {

QPixmap RenderSvg(const QString& resource, QSize size, qreal devicePixelRatio) {
  QSvgRenderer renderer(resource);
  if (size.isEmpty()) size = renderer.defaultSize();
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return pixmap;
}

QIcon SvgIcon(const QString& resource) {
  QIcon icon;
  icon.addPixmap(RenderSvg(resource, {16, 16}, 1.0));
  icon.addPixmap(RenderSvg(resource, {16, 16}, 2.0));
  return icon;
}

}  // namespace mlf
