// CColourButton: a tool button for a colour command with a drop-down arrow beside it. Its
// picture is drawn from a base picture with the current colour in a strip along the bottom,
// redrawn only when that colour changes. The button runs its action; the arrow only tells.
#pragma once

#include <QPalette>
#include <QToolButton>
#include <optional>

#include "widgets/colour_ref.h"

namespace mlf {

class CColourButton : public QToolButton {
  Q_OBJECT
 public:
  // art: a 16 × 15 SVG resource. Automatic is drawn in the palette's automaticRole colour.
  CColourButton(QAction* action, const QString& art, QPalette::ColorRole automaticRole,
                ColourRef colour, QWidget* parent = nullptr);

  ColourRef Colour() const { return m_colour; }
  void SetColour(ColourRef colour);
  // The colour the strip shows for the current colour.
  QColor StripColour() const;
  // Where the drop-down arrow is.
  QRect ArrowRect() const;

  static constexpr QSize kPictureSize{16, 15};
  static constexpr QRect kStrip{0, 12, 16, 3};

 Q_SIGNALS:
  void DropDownPressed();

 protected:
  void initStyleOption(QStyleOptionToolButton* option) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdatePicture();

  QString m_art;
  QPalette::ColorRole m_automaticRole;
  ColourRef m_colour;
  std::optional<QRgb> m_drawn;
  bool m_arrowDown = false;
};

}  // namespace mlf
