#include "views/mlf_scroll_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <algorithm>
#include <vector>

#include "app/app_settings.h"
#include "diagnostics/log.h"
#include "imaging/picture_decoder.h"
#include "store/node.h"
#include "store/node_data.h"
#include "widgets/mlf_status.h"
#include "widgets/svg_art.h"

namespace mlf {
namespace {

const QColor kHatchColour(192, 192, 192);

QCursor MakeZoomCursor() {
  // The magnifier of the Zoom button, its lens over the hot spot.
  return QCursor(RenderSvg(QStringLiteral(":/toolbar/zoom.svg"), {24, 24}), 9, 9);
}

// The pixels wrapped as an image without copying; the buffer must outlive it.
QImage WrapPixels(const PixelBuffer& pixels) {
  return QImage(pixels.Data(), pixels.Width(), pixels.Height(), pixels.Stride(), QImage::Format_ARGB32);
}

}  // namespace

CMlfScrollView::CMlfScrollView(QWidget* parent)
    : QAbstractScrollArea(parent), m_zoomMode(AppZoomMode()), m_zoomCursor(MakeZoomCursor()) {
  setAccessibleName(QStringLiteral("Picture"));
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
    bar->setRange(0, 0);
    bar->setSingleStep(16);
  }
}

CMlfScrollView::~CMlfScrollView() = default;

bool CMlfScrollView::LoadImage(CMarrowleafDoc* document, uint32_t nodeId, bool usePassword,
                               const SecureString& password) {
  CMlfStatus status("Loading image...");
  CMlfNode node;
  if (!node.Attach(document, nodeId)) return false;
  if (usePassword) node.SetPassword(true, password);
  if (!node.HasContent()) return false;
  CMlfNodeData* data = node.GetNodeDataForRead(&status);
  if (!data) return false;
  std::vector<uint8_t> content(node.GetRawLength());
  content.resize(data->Get(content.data(), content.size()));
  if (!data->Release() || content.empty()) return false;

  DecodedPicture decoded = DecodePicture(content);
  if (!decoded) {
    AppLog().WriteLine("WARNING: The picture could not be decoded: " + decoded.reason);
    return false;
  }
  m_decoded = std::move(decoded.bitmap);
  m_working = m_decoded.ConvertedTo32Bits();
  if (!m_working) return false;
  m_pixels = m_working.ToPixelBuffer();
  m_picture = WrapPixels(m_pixels);
  m_loaded = true;
  Layout();
  return true;
}

double CMlfScrollView::FitScale(int availableWidth, int availableHeight, int width, int height) {
  if (availableWidth <= 0 || availableHeight <= 0 || width <= 0 || height <= 0) return 0;
  if (availableWidth >= width && availableHeight >= height) return 1;
  return std::min(double(availableWidth) / width, double(availableHeight) / height);
}

double CMlfScrollView::Scale() const {
  double scale = AppSettings().imageScaleToFit ? m_fitScale : 1.0;
  return m_zoomLevel ? scale * double(1u << m_zoomLevel) : scale;
}

QSize CMlfScrollView::ScaledSize(double scale) const {
  return QSize(int(m_picture.width() * scale), int(m_picture.height() * scale));
}

void CMlfScrollView::RecomputeFitScale() {
  QSize area = AvailableArea();
  m_fitScale = FitScale(area.width(), area.height(), m_picture.width(), m_picture.height());
}

QSize CMlfScrollView::AvailableArea() const { return contentsRect().size(); }

void CMlfScrollView::Layout() {
  QSize area = AvailableArea();
  if (!m_loaded || area.isEmpty()) return;
  m_inLayout = true;
  if (m_fitScale == 1.0) RecomputeFitScale();
  double scale = Scale();
  QSize scaled = ScaledSize(scale);
  bool wide = scaled.width() > area.width();
  bool tall = scaled.height() > area.height();
  // A scroll bar for one direction takes room from the other.
  int across = horizontalScrollBar()->sizeHint().height();
  int down = verticalScrollBar()->sizeHint().width();
  if (wide && !tall) tall = scaled.height() > area.height() - across;
  if (tall && !wide) wide = scaled.width() > area.width() - down;
  setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  QSize client(area.width() - (tall ? down : 0), area.height() - (wide ? across : 0));
  horizontalScrollBar()->setRange(0, wide ? scaled.width() - client.width() : 0);
  verticalScrollBar()->setRange(0, tall ? scaled.height() - client.height() : 0);
  horizontalScrollBar()->setPageStep(client.width());
  verticalScrollBar()->setPageStep(client.height());
  if (m_centrePending && (wide || tall)) {
    horizontalScrollBar()->setValue(int(m_zoomCentre.x() * scale) - client.width() / 2);
    verticalScrollBar()->setValue(int(m_zoomCentre.y() * scale) - client.height() / 2);
  }
  m_centrePending = false;
  m_cachedRect = QRect();
  viewport()->update();
  m_inLayout = false;
}

void CMlfScrollView::resizeEvent(QResizeEvent*) {
  if (m_inLayout) return;
  if (m_loaded) RecomputeFitScale();
  Layout();
}

void CMlfScrollView::ApplyRotation() {
  if (m_requestedRotation == m_appliedRotation) return;
  Bitmap working = m_decoded.ConvertedTo32Bits();
  if (m_requestedRotation) working = working.RotatedClockwise(m_requestedRotation);
  if (!working) return;  // out of memory: the picture stays as it was
  m_working = std::move(working);
  m_pixels = m_working.ToPixelBuffer();
  m_picture = WrapPixels(m_pixels);
  m_appliedRotation = m_requestedRotation;
  RecomputeFitScale();
}

void CMlfScrollView::RotateClockwise() {
  m_requestedRotation = (m_requestedRotation + 1) % 4;
  ApplyRotation();
  Layout();
}

void CMlfScrollView::RotateAnticlockwise() {
  m_requestedRotation = (m_requestedRotation + 3) % 4;
  ApplyRotation();
  Layout();
}

void CMlfScrollView::ToggleZoomMode() {
  m_zoomMode = !m_zoomMode;
  AppZoomMode() = m_zoomMode;
}

void CMlfScrollView::OnOptionsChanged() {
  m_cachedRect = QRect();
  viewport()->update();
}

QRect CMlfScrollView::DrawPicture(QPainter& painter, QSize area, double scale) {
  QSize scaled = ScaledSize(scale);
  int x = scaled.width() < area.width() ? area.width() / 2 - scaled.width() / 2 : 0;
  int y = scaled.height() < area.height() ? area.height() / 2 - scaled.height() / 2 : 0;
  QRect target(QPoint(x, y), scaled);
  if (scaled.isEmpty()) return target;
  if (scale == 1.0) {
    painter.drawImage(target.topLeft(), m_picture);
  } else if (scale < 1 && AppSettings().resizeBilinear) {
    CMlfStatus status("Resizing image...");
    PixelBuffer shrunk = m_working.ResizedBilinear(scaled.width(), scaled.height()).ToPixelBuffer();
    painter.drawImage(target.topLeft(), WrapPixels(shrunk));
  } else {
    painter.drawImage(target, m_picture);  // nearest pixel, both when enlarging and shrinking
  }
  return target;
}

void CMlfScrollView::RenderCanvas() {
  QSize client = viewport()->size();
  double scale = Scale();
  QSize scaled = ScaledSize(scale);
  // A picture larger than the window both ways covers every pixel: no background, and when
  // enlarged, the canvas keeps the picture unscaled and is stretched as it is copied.
  bool covers = scaled.width() > client.width() && scaled.height() > client.height();
  m_stretched = covers && scale > 1;
  m_canvas = QImage(m_stretched ? m_picture.size() : client.expandedTo(scaled), QImage::Format_ARGB32_Premultiplied);
  m_cachedRect = viewport()->rect();
  m_canvas.fill(Qt::transparent);
  QPainter painter(&m_canvas);
  if (!covers) {
    painter.fillRect(m_canvas.rect(), Qt::white);
    painter.fillRect(m_canvas.rect(), QBrush(kHatchColour, Qt::DiagCrossPattern));
  }
  if (m_stretched) {
    painter.drawImage(0, 0, m_picture);
    m_pictureRect = QRect(QPoint(0, 0), scaled);
  } else {
    m_pictureRect = DrawPicture(painter, client, scale);
  }
}

void CMlfScrollView::paintEvent(QPaintEvent*) {
  if (!m_loaded) return;
  ApplyRotation();
  if (viewport()->width() <= 0 || viewport()->height() <= 0) return;
  if (viewport()->rect() != m_cachedRect) RenderCanvas();
  QPainter painter(viewport());
  QPoint origin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  if (m_stretched) painter.drawImage(QRect(origin, m_pictureRect.size()), m_canvas);
  else painter.drawImage(origin, m_canvas);
}

void CMlfScrollView::scrollContentsBy(int, int) { viewport()->update(); }

void CMlfScrollView::Print(QPrinter& printer) {
  if (!m_loaded) return;
  printer.setFromTo(1, 1);
  QPainter painter(&printer);
  QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
  DrawPicture(painter, page, Scale());
}

void CMlfScrollView::ZoomAt(const QPoint& clientPoint, bool zoomIn) {
  QPoint point = clientPoint + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  if (!m_pictureRect.contains(point) || m_picture.width() <= 0) return;
  double f = double(m_pictureRect.width()) / m_picture.width();
  int x = int((point.x() - m_pictureRect.left()) / f);
  int y = int((point.y() - m_pictureRect.top()) / f);
  qDebug("Image (size (%d, %d)) hit at (%d, %d)", m_picture.width(), m_picture.height(), x, y);
  if (zoomIn) m_zoomLevel = std::min(m_zoomLevel + 1, kMaxZoomLevel);
  else if (m_zoomLevel > 0) --m_zoomLevel;
  m_zoomCentre = QPoint(x, y);
  m_centrePending = true;
  Layout();
}

void CMlfScrollView::mousePressEvent(QMouseEvent* event) {
  if (m_zoomMode && m_loaded && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
    ZoomAt(event->position().toPoint(), event->button() == Qt::LeftButton);
  QAbstractScrollArea::mousePressEvent(event);
}

void CMlfScrollView::mouseDoubleClickEvent(QMouseEvent* event) {
  // A double click is a second press: it zooms once more.
  mousePressEvent(event);
}

void CMlfScrollView::mouseMoveEvent(QMouseEvent* event) {
  QPoint point = event->position().toPoint() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  if (m_zoomMode && m_pictureRect.contains(point)) viewport()->setCursor(m_zoomCursor);
  else viewport()->unsetCursor();
  QAbstractScrollArea::mouseMoveEvent(event);
}

}  // namespace mlf
