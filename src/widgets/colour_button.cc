#include "widgets/colour_button.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionToolButton>

#include "widgets/svg_art.h"

namespace mlf {
namespace {

// Light grey was the transparent key of the classic toolbar pictures; one step darker, a light
// grey strip can never turn into a gap wherever a picture is keyed on it.
constexpr ColourRef kKeyGrey = MakeColourRef(0xC0, 0xC0, 0xC0);
constexpr ColourRef kDrawnForKeyGrey = MakeColourRef(0xBF, 0xBF, 0xBF);

QPixmap StripedPicture(const QString& art, const QColor& strip, qreal devicePixelRatio) {
  QPixmap picture = RenderSvg(art, CColourButton::kPictureSize, devicePixelRatio);
  QPainter painter(&picture);
  painter.fillRect(CColourButton::kStrip, strip);
  return picture;
}

}  // namespace

CColourButton::CColourButton(QAction* action, const QString& art, QPalette::ColorRole automaticRole,
                             ColourRef colour, QWidget* parent)
    : QToolButton(parent), m_art(art), m_automaticRole(automaticRole), m_colour(colour) {
  setDefaultAction(action);
  setPopupMode(QToolButton::MenuButtonPopup);
  setIconSize(kPictureSize);
  UpdatePicture();
}

void CColourButton::SetColour(ColourRef colour) {
  m_colour = colour;
  UpdatePicture();
}

QColor CColourButton::StripColour() const {
  // The colour of enabled text, also while the button is greyed.
  if (m_colour == kAutomaticColour) return palette().color(QPalette::Active, m_automaticRole);
  return ColourFromRef(m_colour == kKeyGrey ? kDrawnForKeyGrey : m_colour);
}

void CColourButton::UpdatePicture() {
  const QColor strip = StripColour();
  if (m_drawn == strip.rgb()) return;
  m_drawn = strip.rgb();
  QIcon icon;
  icon.addPixmap(StripedPicture(m_art, strip, 1.0));
  icon.addPixmap(StripedPicture(m_art, strip, 2.0));
  defaultAction()->setIcon(icon);
}

void CColourButton::initStyleOption(QStyleOptionToolButton* option) const {
  QToolButton::initStyleOption(option);
  // The arrow is drawn without a menu behind it: the owner opens its own popup.
  option->features |= QStyleOptionToolButton::MenuButtonPopup;
  option->subControls |= QStyle::SC_ToolButtonMenu;
  if (m_arrowDown) {
    option->activeSubControls |= QStyle::SC_ToolButtonMenu;
    option->state |= QStyle::State_Sunken;
  }
}

QRect CColourButton::ArrowRect() const {
  QStyleOptionToolButton option;
  initStyleOption(&option);
  return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void CColourButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && isEnabled() && ArrowRect().contains(event->position().toPoint())) {
    m_arrowDown = true;
    repaint();
    QPointer<CColourButton> alive(this);  // the owner's popup runs a loop of its own
    Q_EMIT DropDownPressed();
    if (!alive) return;
    m_arrowDown = false;
    update();
    return;
  }
  QToolButton::mousePressEvent(event);
}

void CColourButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) UpdatePicture();
}

}  // namespace mlf
