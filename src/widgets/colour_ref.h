// Colour values of the colour picker and the formatting bar: 32-bit references 0x00BBGGRR, as
// the custom-colour setting stores them. 0xFF000000 stands for "Automatic", the editor's own
// text or background colour.
#pragma once

#include <QColor>
#include <cstdint>

namespace mlf {

using ColourRef = uint32_t;

constexpr ColourRef kAutomaticColour = 0xFF000000;

constexpr ColourRef MakeColourRef(int red, int green, int blue) {
  return static_cast<ColourRef>(red) | static_cast<ColourRef>(green) << 8 | static_cast<ColourRef>(blue) << 16;
}

// The high byte is ignored: a reference names an opaque colour.
QColor ColourFromRef(ColourRef colour);
ColourRef RefFromColour(const QColor& colour);

}  // namespace mlf
