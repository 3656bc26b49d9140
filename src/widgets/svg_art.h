// The program's artwork is SVG in the resources; it is drawn crisp at any device pixel ratio.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace mlf {

// The picture at its logical size (the SVG's own size when size is empty).
QPixmap RenderSvg(const QString& resource, QSize size = {}, qreal devicePixelRatio = 1.0);
// A 16 × 16 icon with a 32 × 32 variant for high-density screens.
QIcon SvgIcon(const QString& resource);

}  // namespace mlf
