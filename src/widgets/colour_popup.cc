#include "widgets/colour_popup.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <qdrawutil.h>

namespace mlf {
namespace {

struct NamedColour {
  const char* name;
  ColourRef colour;
};

// 8 columns by 5 rows, row by row.
constexpr std::array<NamedColour, QuarnColourPopup::kNamedCount> kNamedColours{{
    {"Black", MakeColourRef(0, 0, 0)},
    {"Brown", MakeColourRef(165, 42, 0)},
    {"Dark Olive Green", MakeColourRef(0, 64, 64)},
    {"Dark Green", MakeColourRef(0, 85, 0)},
    {"Dark Teal", MakeColourRef(0, 0, 94)},
    {"Dark Blue", MakeColourRef(0, 0, 139)},
    {"Indigo", MakeColourRef(75, 0, 130)},
    {"Dark Grey", MakeColourRef(40, 40, 40)},
    {"Dark Red", MakeColourRef(139, 0, 0)},
    {"Orange", MakeColourRef(255, 104, 32)},
    {"Dark Yellow", MakeColourRef(139, 139, 0)},
    {"Green", MakeColourRef(0, 147, 0)},
    {"Teal", MakeColourRef(56, 142, 142)},
    {"Blue", MakeColourRef(0, 0, 255)},
    {"Blue-Grey", MakeColourRef(123, 123, 192)},
    {"Grey - 40", MakeColourRef(102, 102, 102)},
    {"Red", MakeColourRef(255, 0, 0)},
    {"Light Orange", MakeColourRef(255, 173, 91)},
    {"Lime", MakeColourRef(50, 205, 50)},
    {"Sea Green", MakeColourRef(60, 179, 113)},
    {"Aqua", MakeColourRef(127, 255, 212)},
    {"Light Blue", MakeColourRef(125, 158, 192)},
    {"Violet", MakeColourRef(128, 0, 128)},
    {"Grey - 50", MakeColourRef(127, 127, 127)},
    {"Pink", MakeColourRef(255, 192, 203)},
    {"Gold", MakeColourRef(255, 215, 0)},
    {"Yellow", MakeColourRef(255, 255, 0)},
    {"Bright Green", MakeColourRef(0, 255, 0)},
    {"Turquoise", MakeColourRef(64, 224, 208)},
    {"Skyblue", MakeColourRef(192, 255, 255)},
    {"Plum", MakeColourRef(72, 0, 72)},
    {"Light Grey", MakeColourRef(192, 192, 192)},
    {"Rose", MakeColourRef(255, 228, 225)},
    {"Tan", MakeColourRef(210, 180, 140)},
    {"Light Yellow", MakeColourRef(255, 255, 224)},
    {"Pale Green ", MakeColourRef(152, 251, 152)},
    {"Pale Turquoise", MakeColourRef(175, 238, 238)},
    {"Pale Blue", MakeColourRef(104, 131, 139)},
    {"Lavender", MakeColourRef(230, 230, 250)},
    {"White", MakeColourRef(255, 255, 255)},
}};

constexpr int kColumns = 8;
constexpr int kCell = 18;
constexpr int kGap = 9;             // between sections, an etched line in its middle
constexpr int kTextMargin = 8;      // around a button's text, each way
constexpr int kFrame = 3;           // the raised dialog frame

bool IsCustomCell(int item) {
  return item >= QuarnColourPopup::kFirstCustomCell &&
         item < QuarnColourPopup::kFirstCustomCell + QuarnColourPopup::kCustomCount;
}
bool IsNamedCell(int item) { return item >= 0 && item < QuarnColourPopup::kNamedCount; }

QRect CellRect(const QRect& grid, int index) {
  return QRect(grid.left() + index % kColumns * kCell, grid.top() + index / kColumns * kCell, kCell, kCell);
}

}  // namespace

QuarnColourPopup::QuarnColourPopup(QPoint position, ColourRef initialColour, QWidget* owner,
                                   const QString& defaultText, const QString& customText,
                                   const std::string& customColoursText)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint),
      m_owner(owner),
      m_initial(initialColour),
      m_current(initialColour),
      m_defaultText(defaultText),
      m_customText(customText),
      m_custom(ParseCustomColours(customColoursText)) {
  setMouseTracking(true);
  setFont(QApplication::font("QMessageBox"));
  Layout(position, owner);
  m_selected = FindSelectedItem();
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && isVisible() && !m_inDialog) Cancel();
  });
}

void QuarnColourPopup::Layout(QPoint position, QWidget* owner) {
  QFontMetrics metrics(font());
  auto buttonSize = [&](const QString& text) {
    return text.isEmpty() ? QSize() : QSize(metrics.horizontalAdvance(text), metrics.height()) +
                                          QSize(2 * kTextMargin, 2 * kTextMargin);
  };
  QSize defaultSize = buttonSize(m_defaultText), customSize = buttonSize(m_customText);
  const int gridWidth = kColumns * kCell;
  const int width = std::max({gridWidth, defaultSize.width(), customSize.width()});
  const int gridLeft = kFrame + (width - gridWidth) / 2;
  int y = kFrame;
  auto place = [&](int left, int sectionWidth, int height) {
    if (height <= 0) return QRect();
    QRect section(left, y, sectionWidth, height);
    y += height + kGap;
    return section;
  };
  m_defaultRect = place(kFrame, width, defaultSize.height());
  m_namedRect = place(gridLeft, gridWidth, kNamedCount / kColumns * kCell);
  m_customButtonRect = place(kFrame, width, customSize.height());
  m_customRect = place(gridLeft, gridWidth, kCustomCount / kColumns * kCell);
  resize(width + 2 * kFrame, y + kFrame);

  // Keep the whole popup on the screen: left or right as needed, above the owner at the bottom.
  QScreen* screen = QGuiApplication::screenAt(position);
  if (!screen) screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  QRect area = screen->availableGeometry();
  QRect frame(position, size());
  if (frame.right() > area.right()) frame.moveRight(area.right());
  if (frame.left() < area.left()) frame.moveLeft(area.left());
  if (frame.bottom() > area.bottom()) {
    int ownerTop = owner ? owner->mapToGlobal(QPoint(0, 0)).y() : position.y();
    frame.moveBottom(ownerTop - 1);
  }
  move(frame.topLeft());
}

int QuarnColourPopup::FindSelectedItem() const {
  if (m_initial == kAutomaticColour && !m_defaultRect.isEmpty()) return kDefaultButton;
  for (int i = 0; i < kNamedCount; ++i)
    if (kNamedColours[i].colour == m_initial) return i;
  for (int i = 0; i < kCustomCount; ++i)
    if (m_custom[i] == m_initial) return kFirstCustomCell + i;
  return m_customButtonRect.isEmpty() ? kNoItem : kCustomButton;
}

QRect QuarnColourPopup::ItemRect(int item) const {
  if (item == kDefaultButton) return m_defaultRect;
  if (item == kCustomButton) return m_customButtonRect;
  if (IsNamedCell(item)) return CellRect(m_namedRect, item);
  if (IsCustomCell(item)) return CellRect(m_customRect, item - kFirstCustomCell);
  return {};
}

int QuarnColourPopup::ItemAt(QPoint pos) const {
  if (m_defaultRect.contains(pos)) return kDefaultButton;
  if (m_customButtonRect.contains(pos)) return kCustomButton;
  auto cellAt = [&](const QRect& grid) {
    return (pos.y() - grid.top()) / kCell * kColumns + (pos.x() - grid.left()) / kCell;
  };
  if (m_namedRect.contains(pos)) return cellAt(m_namedRect);
  if (m_customRect.contains(pos)) return kFirstCustomCell + cellAt(m_customRect);
  return kNoItem;
}

std::optional<ColourRef> QuarnColourPopup::ItemColour(int item) const {
  if (item == kDefaultButton) return kAutomaticColour;
  if (IsNamedCell(item)) return kNamedColours[item].colour;
  if (IsCustomCell(item)) return m_custom[item - kFirstCustomCell];
  return std::nullopt;
}

QString QuarnColourPopup::NamedColourName(int index) { return QString::fromLatin1(kNamedColours.at(index).name); }
ColourRef QuarnColourPopup::NamedColour(int index) { return kNamedColours.at(index).colour; }

QString QuarnColourPopup::CustomColourToolTip(ColourRef colour) {
  QColor rgb = ColourFromRef(colour);
  return QStringLiteral("RGB: (%1,%2,%3)\r\nHTML: #%4")
      .arg(rgb.red())
      .arg(rgb.green())
      .arg(rgb.blue())
      .arg(rgb.name().mid(1));
}

QString QuarnColourPopup::ItemToolTip(int item) const {
  if (IsNamedCell(item)) return NamedColourName(item);
  if (IsCustomCell(item)) return CustomColourToolTip(m_custom[item - kFirstCustomCell]);
  return {};
}

std::optional<ColourRef> QuarnColourPopup::Exec() {
  if (!m_ended) {
    show();
    m_loop.exec();
  }
  if (!m_chosen) return std::nullopt;
  return m_current;
}

std::optional<ColourRef> QuarnColourPopup::Run(QPoint position, ColourRef initialColour, QWidget* owner,
                                               const QString& defaultText, const QString& customText,
                                               std::string& customColoursText) {
  QuarnColourPopup popup(position, initialColour, owner, defaultText, customText, customColoursText);
  std::optional<ColourRef> colour = popup.Exec();
  customColoursText = popup.CustomColoursText();
  return colour;
}

void QuarnColourPopup::SetHovered(int item) {
  if (item == m_hovered) return;
  const int previous = m_hovered;
  m_hovered = item;
  std::optional<ColourRef> colour = ItemColour(item);
  if (colour) m_current = *colour;
  Q_EMIT Previewed(colour.value_or(m_initial));
  update(ItemRect(previous));
  update(ItemRect(item));
}

void QuarnColourPopup::mouseMoveEvent(QMouseEvent* event) { SetHovered(ItemAt(event->position().toPoint())); }

void QuarnColourPopup::mousePressEvent(QMouseEvent* event) {
  // Presses outside the popup come here too while it holds the mouse; they must not close it.
  if (event->button() != Qt::LeftButton) return;
  SetHovered(ItemAt(event->position().toPoint()));
  m_armed = true;
  m_buttonDown = true;
  update();
}

void QuarnColourPopup::mouseReleaseEvent(QMouseEvent* event) {
  // The release of the click that opened the popup finds it unarmed.
  if (event->button() != Qt::LeftButton || !m_armed) return;
  m_buttonDown = false;
  if (!rect().contains(event->position().toPoint())) return Cancel();
  if (m_hovered == kCustomButton && !AskMoreColours()) return Cancel();
  Choose();
}

void QuarnColourPopup::keyPressEvent(QKeyEvent* event) {
  // Escape is the one way out without a mouse; no other key does anything.
  if (event->key() == Qt::Key_Escape) Cancel();
  event->accept();
}

void QuarnColourPopup::closeEvent(QCloseEvent* event) {
  // Closed from outside (the window system, another popup): that is a cancel.
  if (!m_ended) Cancel();
  QWidget::closeEvent(event);
}

bool QuarnColourPopup::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    int item = ItemAt(help->pos());
    QString text = ItemToolTip(item);
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, this, ItemRect(item));
    return true;
  }
  return QWidget::event(event);
}

bool QuarnColourPopup::AskMoreColours() {
  // The dialog needs the mouse and the keyboard: the popup steps aside while it runs.
  m_inDialog = true;
  hide();
  for (int i = 0; i < kCustomCount; ++i) QColorDialog::setCustomColor(i, ColourFromRef(m_custom[i]));
  QColorDialog dialog(ColourFromRef(m_initial), m_owner);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  for (int i = 0; i < kCustomCount; ++i) m_custom[i] = RefFromColour(QColorDialog::customColor(i));
  if (accepted) m_current = RefFromColour(dialog.selectedColor());
  m_inDialog = false;
  return accepted;
}

void QuarnColourPopup::Choose() {
  Q_EMIT Chosen(m_current);
  End(true);
}

void QuarnColourPopup::Cancel() {
  Q_EMIT Cancelled(m_initial);
  End(false);
}

void QuarnColourPopup::End(bool chosen) {
  if (m_ended) return;
  m_ended = true;
  m_chosen = chosen;
  hide();
  m_loop.exit(chosen ? 0 : -1);
}

void QuarnColourPopup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  painter.fillRect(rect(), colours.button());
  qDrawWinPanel(&painter, rect(), colours, false);
  for (const QRect& section : {m_defaultRect, m_namedRect, m_customButtonRect, m_customRect}) {
    if (section.isEmpty()) continue;
    const int line = section.bottom() + 1 + kGap / 2;
    qDrawShadeLine(&painter, kFrame, line, width() - kFrame - 1, line, colours, true, 1, 0);
  }
  if (!m_defaultRect.isEmpty()) PaintButton(painter, kDefaultButton, m_defaultText);
  if (!m_customButtonRect.isEmpty()) PaintButton(painter, kCustomButton, m_customText);
  for (int i = 0; i < kNamedCount; ++i) PaintCell(painter, i);
  for (int i = 0; i < kCustomCount; ++i) PaintCell(painter, kFirstCustomCell + i);
}

void QuarnColourPopup::PaintButton(QPainter& painter, int item, const QString& text) const {
  const QRect box = ItemRect(item);
  const bool pressed = m_buttonDown && m_hovered == item;
  // A selected button shows pressed, so the popup tells which entry the colour came from.
  if (pressed || m_selected == item)
    qDrawShadePanel(&painter, box, palette(), true, 1);
  else if (m_hovered == item)
    qDrawShadePanel(&painter, box, palette(), false, 1);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawText(pressed ? box.translated(1, 1) : box, Qt::AlignCenter, text);
}

void QuarnColourPopup::PaintCell(QPainter& painter, int item) const {
  const QRect box = ItemRect(item);
  const bool selected = m_selected == item;
  painter.fillRect(box, selected ? palette().highlight() : palette().button());
  if ((m_buttonDown && m_hovered == item) || selected)
    qDrawShadePanel(&painter, box, palette(), true, 1);
  else if (m_hovered == item)
    qDrawShadePanel(&painter, box, palette(), false, 1);
  const QRect swatch = box.adjusted(3, 3, -3, -3);
  painter.fillRect(swatch, ColourFromRef(*ItemColour(item)));
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

}  // namespace mlf
