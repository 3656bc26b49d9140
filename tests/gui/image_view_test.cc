#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QImage>
#include <QScrollBar>
#include <QMouseEvent>
#include <set>

#include "app/app_settings.h"
#include "gui_fixture.h"
#include "views/mlf_scroll_view.h"

namespace mlf::test {
namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

std::string Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

QImage Filled(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

class ImageViewTest : public GuiFixture {
 protected:
  ImageViewTest() { AppZoomMode() = false; }
  // A view of the given size showing a picture, as the document window would open it.
  CMlfScrollView& Open(const QImage& picture, QSize size) {
    uint32_t id = Add(ntImage, "Picture", 0, Png(picture));
    view = std::make_unique<CMlfScrollView>();
    view->resize(size);
    view->show();
    EXPECT_TRUE(view->LoadImage(doc, id, false, SecureString()));
    return *view;
  }
  // What the view shows now.
  QImage Shown() const { return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // A press sent straight to the view: clicks in quick succession must not become double clicks.
  void Press(QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent press(QEvent::MouseButtonPress, point, view->viewport()->mapToGlobal(point), button, button, {});
    QApplication::sendEvent(view->viewport(), &press);
  }
  void ClickPictureCentre(Qt::MouseButton button = Qt::LeftButton) {
    Shown();  // paints, so that the picture rectangle is current
    Press(view->PictureRect().center() - QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()),
          button);
  }

  std::unique_ptr<CMlfScrollView> view;
};

TEST_F(ImageViewTest, SmallPictureIsCentredOnTheHatchAtItsOwnSize) {
  for (bool fit : {true, false}) {
    SCOPED_TRACE(fit ? "scale to fit" : "no scaling");
    AppSettings().imageScaleToFit = fit;
    Open(Filled(40, 20, kRed), {200, 100});
    QImage shown = Shown();
    EXPECT_EQ(view->PictureRect(), QRect(80, 40, 40, 20));
    EXPECT_EQ(shown.pixel(100, 50), kRed);
    EXPECT_EQ(shown.pixel(80, 40), kRed);
    EXPECT_NE(shown.pixel(79, 40), kRed);
    // The background is a cross-hatch of light grey on white.
    std::set<QRgb> background;
    for (int x = 0; x < 16; ++x)
      for (int y = 0; y < 16; ++y) background.insert(shown.pixel(x, y));
    EXPECT_EQ(background, (std::set<QRgb>{qRgb(192, 192, 192), qRgb(255, 255, 255)}));
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
  }
}

TEST_F(ImageViewTest, LargePictureFitsThenOneZoomStepDoublesItWithScrollBars) {
  Open(Filled(2000, 1000, kBlue), {500, 500});
  Shown();
  EXPECT_DOUBLE_EQ(view->Scale(), 0.25);
  EXPECT_EQ(view->PictureRect(), QRect(0, 125, 500, 250));
  EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);

  view->ToggleZoomMode();
  ClickPictureCentre();
  Shown();
  EXPECT_EQ(view->ZoomLevel(), 1u);
  EXPECT_DOUBLE_EQ(view->Scale(), 0.5);
  EXPECT_EQ(view->PictureRect().size(), QSize(1000, 500));
  QScrollBar* across = view->horizontalScrollBar();
  EXPECT_TRUE(across->isVisible());
  EXPECT_EQ(across->maximum(), 1000 - view->viewport()->width());
  // The clicked point, the picture's centre, is in the middle of the view.
  EXPECT_NEAR(across->value() + view->viewport()->width() / 2, 500, 2);

  // Zooming out at the same point brings the fitted picture back without scroll bars.
  ClickPictureCentre(Qt::RightButton);
  Shown();
  EXPECT_EQ(view->ZoomLevel(), 0u);
  EXPECT_EQ(view->PictureRect().size(), QSize(500, 250));
  EXPECT_FALSE(across->isVisible());
}

TEST_F(ImageViewTest, WithoutScaleToFitALargePictureIsDrawnAtFullSize) {
  AppSettings().imageScaleToFit = false;
  Open(Filled(2000, 1000, kBlue), {500, 500});
  QImage shown = Shown();
  EXPECT_DOUBLE_EQ(view->Scale(), 1.0);
  EXPECT_EQ(view->PictureRect(), QRect(0, 0, 2000, 1000));
  EXPECT_EQ(view->horizontalScrollBar()->maximum(), 2000 - view->viewport()->width());
  EXPECT_EQ(view->verticalScrollBar()->maximum(), 1000 - view->viewport()->height());
  EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1), kBlue);
}

TEST_F(ImageViewTest, QuarterTurnsRotateTheViewOnly) {
  QImage picture = Filled(2000, 1000, kBlue);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) picture.setPixel(x, y, kRed);  // a red top-left corner
  Open(picture, {600, 400});
  EXPECT_DOUBLE_EQ(view->CurrentFitScale(), 0.3);

  view->RotateClockwise();
  ASSERT_EQ(view->Picture().size(), QSize(1000, 2000));
  EXPECT_EQ(view->Picture().pixel(999, 0), kRed);  // the corner went to the top right
  EXPECT_EQ(view->Picture().pixel(0, 0), kBlue);
  // The fit follows the turned picture: 400 / 2000.
  EXPECT_DOUBLE_EQ(view->CurrentFitScale(), 0.2);
  Shown();
  EXPECT_EQ(view->PictureRect(), QRect(200, 0, 200, 400));

  view->RotateAnticlockwise();
  EXPECT_EQ(view->Rotation(), 0);
  EXPECT_EQ(view->Picture().pixel(0, 0), kRed);
  for (int turn = 0; turn < 4; ++turn) view->RotateClockwise();
  EXPECT_EQ(view->Rotation(), 0);
  EXPECT_EQ(view->Picture().size(), QSize(2000, 1000));
  EXPECT_EQ(view->Picture().pixel(0, 0), kRed);
  EXPECT_DOUBLE_EQ(view->CurrentFitScale(), 0.3);
}

TEST_F(ImageViewTest, ZoomStopsAtLevelFiveAndOnlyInZoomMode) {
  Open(Filled(2000, 1000, kBlue), {500, 500});
  ClickPictureCentre();
  EXPECT_EQ(view->ZoomLevel(), 0u);  // zoom mode is off at start-up

  view->ToggleZoomMode();
  EXPECT_TRUE(AppZoomMode());
  for (int click = 0; click < 6; ++click) ClickPictureCentre();
  EXPECT_EQ(view->ZoomLevel(), 5u);
  EXPECT_DOUBLE_EQ(view->Scale(), 0.25 * 32);
  // Enlarged past the window both ways, the shown part is the picture alone.
  QImage shown = Shown();
  EXPECT_EQ(shown.pixel(0, 0), kBlue);

  // Clicks outside the picture do not zoom.
  for (int click = 0; click < 5; ++click) ClickPictureCentre(Qt::RightButton);
  EXPECT_EQ(view->ZoomLevel(), 0u);
  Shown();
  Press({250, 10});  // above the fitted picture
  EXPECT_EQ(view->ZoomLevel(), 0u);
}

TEST_F(ImageViewTest, BilinearFilteringOnlyWhenShrinking) {
  // One-pixel stripes: shrunk to a quarter, the nearest pixel keeps pure black and white,
  // the bilinear filter mixes them.
  QImage stripes(800, 100, QImage::Format_RGB32);
  for (int x = 0; x < stripes.width(); ++x)
    for (int y = 0; y < stripes.height(); ++y) stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  auto grey = [](const QImage& shown, const QRect& area) {
    int count = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      QRgb pixel = shown.pixel(x, area.center().y());
      count += qRed(pixel) > 10 && qRed(pixel) < 245;
    }
    return count;
  };
  Open(stripes, {200, 200});
  EXPECT_DOUBLE_EQ(view->Scale(), 0.25);
  EXPECT_EQ(grey(Shown(), view->PictureRect()), 0);
  AppSettings().resizeBilinear = true;
  EXPECT_EQ(grey(Shown(), view->PictureRect()), 0);  // the cached canvas is reused
  view->OnOptionsChanged();
  EXPECT_GT(grey(Shown(), view->PictureRect()), view->PictureRect().width() / 2);

  // Enlarged, every pixel stays pure with the filter on.
  AppSettings().imageScaleToFit = false;
  Open(stripes.copy(0, 0, 50, 50), {400, 400});
  view->ToggleZoomMode();
  ClickPictureCentre();
  EXPECT_EQ(view->ZoomLevel(), 1u);
  EXPECT_EQ(grey(Shown(), view->PictureRect()), 0);
}

TEST_F(ImageViewTest, TheDocumentWindowOpensPicturesInTheImageView) {
  uint32_t picture = Add(ntImage, "Picture", 0, Png(Filled(30, 30, kRed)));
  uint32_t broken = Add(ntImage, "Broken", 0, "not a picture at all");
  uint32_t empty = Add(ntImage, "Empty", 0, "");
  Show();
  for (uint32_t unreadable : {broken, empty}) {
    SCOPED_TRACE(unreadable);
    prompts.messages.clear();
    EXPECT_TRUE(frame->ActivateNode(true, picture));
    ASSERT_NE(frame->ImageView(), nullptr);
    EXPECT_EQ(frame->ImageView()->Picture().size(), QSize(30, 30));
    EXPECT_FALSE(frame->ActivateNode(true, unreadable));
    EXPECT_EQ(frame->ImageView(), nullptr);
    EXPECT_NE(frame->BlankView(), nullptr);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Warning: Could not load node data."});
  }
}

TEST_F(ImageViewTest, PrintingMakesOnePage) {
  Open(Filled(2000, 1000, kBlue), {500, 500});
  QTemporaryDir folder;
  QString pdf = folder.filePath(QStringLiteral("print.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  view->Print(printer);
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray bytes = file.readAll();
  EXPECT_EQ(bytes.count("/Type /Page\n"), 1);
}

}  // namespace
}  // namespace mlf::test
