#include "app/child_placement.h"

#include <algorithm>

namespace mlf {
namespace {

// At least usable, never larger than the area.
QSize FitSize(const QSize& wanted, const QSize& area) {
  return wanted.expandedTo(kUsableChildSize).boundedTo(area).expandedTo({1, 1});
}

// The top left corner of the window at index in a run of windows of that size one step apart.
QPoint RunPosition(const QSize& area, const QSize& size, int index, int step) {
  step = std::max(step, 1);
  const int steps = std::max(0, std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step));
  const int offset = (index % (steps + 1)) * step;
  return {offset, offset};
}

}  // namespace

QRect NewChildGeometry(const QSize& area, const QSize& preferred, int openWindows, int step) {
  const QSize size = FitSize(preferred, area);
  return {RunPosition(area, size, openWindows, step), size};
}

QList<QRect> CascadeGeometries(const QSize& area, int count, int step) {
  QList<QRect> places;
  if (count <= 0) return places;
  const int spread = (count - 1) * std::max(step, 1);
  const QSize size = FitSize(area - QSize(spread, spread), area);
  for (int i = 0; i < count; ++i) places.push_back({RunPosition(area, size, i, step), size});
  return places;
}

}  // namespace mlf
