#include "widgets/colour_ref.h"

namespace mlf {

QColor ColourFromRef(ColourRef colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                static_cast<int>(colour >> 16 & 0xFF));
}

ColourRef RefFromColour(const QColor& colour) {
  QColor rgb = colour.toRgb();
  return MakeColourRef(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace mlf
