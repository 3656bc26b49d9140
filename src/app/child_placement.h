// Where document windows go in the main window's document area. A new window, and every
// window of a cascade, lies wholly inside the area (no scroll bars), one title bar's height
// below and to the right of the one before, at a size that still shows a tree beside a note.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace mlf {

// The smallest size that shows the tree and a note side by side; a smaller area gives less.
inline constexpr QSize kUsableChildSize{560, 380};

// A new window's geometry in an area that holds openWindows already: the preferred size
// (the last closed window's, or most of the area) within the area and at least usable, and
// each new window one step further down and right until the next would reach out of the area,
// when the run starts again at the top left.
QRect NewChildGeometry(const QSize& area, const QSize& preferred, int openWindows, int step);

// Window > Cascade for count windows, the first at the top left: all of the same size, as
// large as the area allows with every one inside it, but never below the usable size; when
// that many do not fit one step apart, the run starts again at the top left.
QList<QRect> CascadeGeometries(const QSize& area, int count, int step);

}  // namespace mlf
