// CMlfScrollView: the view of an image node. It decodes the node's picture once and draws it
// scaled down to fit the window (when ImageScaleToFit is on), enlarged by a zoom of 2^0..2^5
// and turned by quarter turns; rotation and zoom belong to the view, never to the stored
// bytes. The drawn canvas is kept and reused until the client area changes.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <cstdint>

#include "imaging/bitmap.h"
#include "platform/secure_memory.h"

class QPainter;
class QPrinter;

namespace mlf {

class CMarrowleafDoc;

class CMlfScrollView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr unsigned kMaxZoomLevel = 5;

  explicit CMlfScrollView(QWidget* parent = nullptr);
  ~CMlfScrollView() override;

  // Reads and decodes the node's content; false when nothing could be read or decoded.
  bool LoadImage(CMarrowleafDoc* document, uint32_t nodeId, bool usePassword, const SecureString& password);
  void RotateClockwise();
  void RotateAnticlockwise();
  // Recomputes the scroll ranges and redraws.
  void Layout();
  // The options changed: the next paint renders again (a changed ResizeBilinear shows).
  void OnOptionsChanged();
  void ToggleZoomMode();
  // The one page of a print job: the picture at the screen's scale, centred, no background.
  void Print(QPrinter& printer);

  // The factor that makes a W x H picture fit an A x B area: never above 1, 0 when any size
  // is not positive.
  static double FitScale(int availableWidth, int availableHeight, int width, int height);

  bool IsLoaded() const { return m_loaded; }
  bool ZoomMode() const { return m_zoomMode; }
  unsigned ZoomLevel() const { return m_zoomLevel; }
  int Rotation() const { return m_appliedRotation; }
  double CurrentFitScale() const { return m_fitScale; }
  // The fit scale (when ImageScaleToFit is on) times 2^zoom level.
  double Scale() const;
  // The working copy: the decoded picture as rotated.
  const QImage& Picture() const { return m_picture; }
  // Where the picture lies on the canvas, for hit-testing the zoom clicks.
  QRect PictureRect() const { return m_pictureRect; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void ApplyRotation();
  // The window without scroll bars: bars that appear after a zoom must not change the fit.
  QSize AvailableArea() const;
  void RecomputeFitScale();
  QSize ScaledSize(double scale) const;
  // Draws the picture at scale into the painter's w x h area: centred where it is smaller,
  // bilinear when shrinking and ResizeBilinear is on. Returns where the picture went.
  QRect DrawPicture(QPainter& painter, QSize area, double scale);
  void RenderCanvas();
  void ZoomAt(const QPoint& clientPoint, bool zoomIn);

  bool m_zoomMode;
  bool m_loaded = false;
  bool m_inLayout = false;
  double m_fitScale = 1.0;
  unsigned m_zoomLevel = 0;
  bool m_centrePending = false;
  QCursor m_zoomCursor;
  QPoint m_zoomCentre;
  int m_requestedRotation = 0;
  int m_appliedRotation = 0;
  QImage m_canvas;
  QRect m_cachedRect;     // the client rectangle the canvas was drawn for; empty = invalid
  QRect m_pictureRect;
  bool m_stretched = false;  // the canvas holds the picture unscaled and is stretched on paint
  Bitmap m_decoded;
  Bitmap m_working;       // the decoded picture rotated, 32 bits a pixel
  PixelBuffer m_pixels;   // the working copy's pixels, which m_picture wraps
  QImage m_picture;
};

}  // namespace mlf
