#include "views/rich_text_objects.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>
#include <QTextFormat>
#include <QTextObjectInterface>

#include "views/rich_text_formats.h"

namespace mlf {
namespace {

constexpr double kLabelPadding = 3;

// The first control word of a group such as "{\*\shppict{..." or "{\object\objemb...".
std::string LeadingWord(const std::string& rtf) {
  size_t at = 0;
  while (at < rtf.size() && (rtf[at] == '{' || rtf[at] == '\\' || rtf[at] == '*' || rtf[at] == ' ')) ++at;
  size_t end = at;
  while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
  return rtf.substr(at, end - at);
}

QString FramedLabelText(const QTextFormat& format) {
  return PlaceholderLabel(format.property(kModelFragment).value<rtf::Fragment>());
}

class PlaceholderHandler : public QObject, public QTextObjectInterface {
  Q_OBJECT
  Q_INTERFACES(QTextObjectInterface)
 public:
  using QObject::QObject;

  QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override {
    QFontMetricsF metrics(format.toCharFormat().font());
    return {metrics.horizontalAdvance(FramedLabelText(format)) + 2 * kLabelPadding, metrics.height() + 2 * kLabelPadding};
  }

  void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat& format) override {
    painter->save();
    painter->setPen(QColor(128, 128, 128));
    painter->setBrush(QColor(240, 240, 240));
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->setPen(QColor(64, 64, 64));
    painter->setFont(format.toCharFormat().font());
    painter->drawText(rect, Qt::AlignCenter, FramedLabelText(format));
    painter->restore();
  }
};

}  // namespace

QImage DecodePicture(const rtf::Image& image) {
  QByteArray bytes(image.data.data(), qsizetype(image.data.size()));
  QImage decoded;
  switch (image.type) {
    case rtf::PictureType::kPng: decoded.loadFromData(bytes, "PNG"); break;
    case rtf::PictureType::kJpeg: decoded.loadFromData(bytes, "JPEG"); break;
    case rtf::PictureType::kDib: {
      // A device-independent bitmap is a BMP file without its 14-byte file header.
      if (bytes.size() < 40) break;
      auto le32 = [&](int at) { return quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8 |
                                       quint32(uchar(bytes[at + 2])) << 16 | quint32(uchar(bytes[at + 3])) << 24; };
      quint32 headerSize = le32(0);
      quint32 bitCount = quint32(uchar(bytes[14])) | quint32(uchar(bytes[15])) << 8;
      quint32 coloursUsed = le32(32);
      quint32 compression = le32(16);
      quint32 palette = bitCount <= 8 ? (coloursUsed ? coloursUsed : 1u << bitCount) * 4 : 0;
      // Colour masks follow a 40-byte header of a bit-field bitmap.
      quint32 masks = compression == 3 && headerSize == 40 ? 12 : 0;
      quint32 offset = 14 + headerSize + palette + masks;
      QByteArray file("BM");
      for (quint32 value : {quint32(bytes.size() + 14), 0u, offset})
        for (int shift = 0; shift < 32; shift += 8) file.append(char(value >> shift & 0xFF));
      file.append(bytes);
      decoded.loadFromData(file, "BMP");
      break;
    }
    default:
      // Metafiles and device bitmaps: only when the bytes happen to be a format Qt reads.
      decoded.loadFromData(bytes);
      break;
  }
  return decoded;
}

QSizeF PictureDisplaySize(const rtf::Image& image, const QImage& decoded) {
  double width = 0, height = 0;
  if (image.goalWidth > 0 && image.goalHeight > 0) {
    width = TwipsToPixels(image.goalWidth);
    height = TwipsToPixels(image.goalHeight);
  } else if (!decoded.isNull()) {
    width = decoded.width();
    height = decoded.height();
  } else if (image.width > 0 && image.height > 0) {
    bool metafile = image.type == rtf::PictureType::kEmf || image.type == rtf::PictureType::kWmf ||
                    image.type == rtf::PictureType::kMacPict || image.type == rtf::PictureType::kOs2Metafile;
    // Metafiles give their size in 0.01 mm.
    width = metafile ? image.width * 96 / 2540.0 : image.width;
    height = metafile ? image.height * 96 / 2540.0 : image.height;
  } else {
    width = height = 32;
  }
  return {width * image.scaleX / 100.0, height * image.scaleY / 100.0};
}

QImage UnshownPicture(QSizeF size) {
  QSize pixels = size.toSize().expandedTo({24, 16});
  QImage canvas(pixels, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(QColor(240, 240, 240));
  QPainter painter(&canvas);
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(QRectF(canvas.rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  painter.setPen(QColor(64, 64, 64));
  painter.drawText(canvas.rect(), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("[Picture]"));
  return canvas;
}

QString PlaceholderLabel(const rtf::Fragment& fragment) {
  static const struct {
    const char* word;
    const char* label;
  } kLabels[] = {
      {"object", "[Embedded object]"}, {"shp", "[Shape]"},     {"shpgrp", "[Shape]"},     {"do", "[Drawing]"},
      {"field", "[Field]"},             {"footnote", "[Note]"}, {"annotation", "[Comment]"}, {"header", "[Header]"},
      {"headerl", "[Header]"},          {"headerr", "[Header]"}, {"headerf", "[Header]"},     {"footer", "[Footer]"},
      {"footerl", "[Footer]"},          {"footerr", "[Footer]"}, {"footerf", "[Footer]"},
  };
  // A field shows its result, framed, so the reader still sees it.
  if (!fragment.text.empty()) return QStringLiteral("[%1]").arg(QString::fromStdString(fragment.text));
  std::string word = LeadingWord(fragment.rtf);
  for (const auto& entry : kLabels)
    if (word == entry.word) return QString::fromLatin1(entry.label);
  return QStringLiteral("[RTF]");
}

void RegisterPlaceholders(QTextDocument& document) {
  document.documentLayout()->registerHandler(kPlaceholderObjectType, new PlaceholderHandler(&document));
}

}  // namespace mlf

#include "rich_text_objects.moc"
