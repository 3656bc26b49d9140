#include "views/blank_area_view.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include "store/document.h"
#include "widgets/svg_art.h"

namespace mlf {

QPixmap DefaultLogo() {
  static const QPixmap logo = RenderSvg(QStringLiteral(":/art/default_logo.svg"), {}, 2.0);
  return logo;
}

CBlankAreaView::CBlankAreaView(const CMarrowleafDoc* document, QWidget* parent)
    : QWidget(parent), m_document(document) {
  setAccessibleName(QStringLiteral("Logo"));
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(false);
  RefreshLogo();
}

void CBlankAreaView::RefreshLogo() {
  m_logo = DefaultLogo();
  if (m_document && m_document->HasLogo()) {
    PixelBuffer pixels = m_document->GetLogoBitmap().ToPixelBuffer();
    QImage image(pixels.Data(), pixels.Width(), pixels.Height(), pixels.Stride(), QImage::Format_ARGB32);
    if (!image.isNull()) m_logo = QPixmap::fromImage(image);  // copies the pixels before they go
  }
  repaint();
}

void CBlankAreaView::paintEvent(QPaintEvent*) {
  if (width() == 0 || height() == 0) return;
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  QSize logo = m_logo.deviceIndependentSize().toSize();
  // The logo at (2, 2) of a frame 4 pixels larger, with a sunken edge, centred in the view.
  QRect frame(width() / 2 - (logo.width() + 4) / 2, height() / 2 - (logo.height() + 4) / 2, logo.width() + 4,
              logo.height() + 4);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.rect = frame;
  option.state |= QStyle::State_Sunken;
  option.lineWidth = 2;
  option.frameShape = QFrame::Panel;
  style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
  painter.drawPixmap(QRect(frame.topLeft() + QPoint(2, 2), logo), m_logo);
}

}  // namespace mlf
