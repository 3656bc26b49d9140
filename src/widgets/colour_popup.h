// QuarnColourPopup: the colour picker of the formatting bar. A small popup window with an
// "Automatic" button, 40 named colours, a "More Colours..." button that opens the colour
// dialog, and 16 custom colours. It previews the colour under the mouse, runs a modal loop of
// its own and ends with a chosen colour or a cancel.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "settings/custom_colours.h"
#include "widgets/colour_ref.h"

namespace mlf {

class QuarnColourPopup : public QWidget {
  Q_OBJECT
 public:
  // The items of the popup: the two buttons, the named cells 0 to 39 and the custom cells.
  static constexpr int kNoItem = -1;
  static constexpr int kCustomButton = -2;
  static constexpr int kDefaultButton = -3;
  static constexpr int kFirstCustomCell = 2048;
  static constexpr int kNamedCount = 40;
  static constexpr int kCustomCount = 16;

  // Either text may be empty: that button is then left out. The popup's top left corner is at
  // the screen position, moved where it would leave the screen (above owner at the bottom).
  QuarnColourPopup(QPoint position, ColourRef initialColour, QWidget* owner, const QString& defaultText,
                   const QString& customText, const std::string& customColoursText);

  // Opens the popup and runs its modal loop (unless it has ended already): the chosen colour,
  // or nothing after a cancel.
  std::optional<ColourRef> Exec();
  // Exec on a new popup; the custom colours come back in customColoursText also after a cancel.
  static std::optional<ColourRef> Run(QPoint position, ColourRef initialColour, QWidget* owner,
                                      const QString& defaultText, const QString& customText,
                                      std::string& customColoursText);

  std::string CustomColoursText() const { return FormatCustomColours(m_custom); }
  ColourRef CurrentColour() const { return m_current; }
  int SelectedItem() const { return m_selected; }
  int HoveredItem() const { return m_hovered; }
  // Where an item lies in the popup (empty for a button that is left out).
  QRect ItemRect(int item) const;
  int ItemAt(QPoint pos) const;
  QString ItemToolTip(int item) const;

  static QString NamedColourName(int index);
  static ColourRef NamedColour(int index);
  // "RGB: (r,g,b)" and "HTML: #rrggbb" on two lines.
  static QString CustomColourToolTip(ColourRef colour);

 Q_SIGNALS:
  // The colour the item under the mouse stands for (the initial colour over no item).
  void Previewed(ColourRef colour);
  void Chosen(ColourRef colour);
  // With the initial colour.
  void Cancelled(ColourRef colour);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Layout(QPoint position, QWidget* owner);
  int FindSelectedItem() const;
  std::optional<ColourRef> ItemColour(int item) const;
  void SetHovered(int item);
  void Choose();
  void Cancel();
  void End(bool chosen);
  bool AskMoreColours();
  void PaintButton(QPainter& painter, int item, const QString& text) const;
  void PaintCell(QPainter& painter, int item) const;

  QPointer<QWidget> m_owner;
  ColourRef m_initial;
  ColourRef m_current;
  QString m_defaultText;
  QString m_customText;
  CustomColours m_custom;
  int m_hovered = kNoItem;
  int m_selected = kNoItem;
  bool m_armed = false;
  bool m_buttonDown = false;
  bool m_ended = false;
  bool m_chosen = false;
  bool m_inDialog = false;
  QRect m_defaultRect, m_namedRect, m_customButtonRect, m_customRect;
  QEventLoop m_loop;
};

}  // namespace mlf
