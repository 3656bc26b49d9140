#include "views/rich_text_formats.h"

#include <QBrush>
#include <QColor>
#include <QTextOption>
#include <cmath>

namespace mlf {
namespace {

constexpr double kPixelsPerInch = 96;
constexpr double kTwipsPerInch = 1440;

QColor ToQColor(rtf::Rgb rgb) { return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)); }

std::optional<rtf::Rgb> BrushColour(const QTextFormat& format, int property) {
  if (!format.hasProperty(property)) return std::nullopt;
  QBrush brush = format.brushProperty(property);
  if (brush.style() == Qt::NoBrush) return std::nullopt;
  QRgb rgb = brush.color().rgb();
  return rtf::Rgb(qRed(rgb)) << 16 | rtf::Rgb(qGreen(rgb)) << 8 | rtf::Rgb(qBlue(rgb));
}

QTextCharFormat::UnderlineStyle ToQtUnderline(rtf::Underline underline) {
  switch (underline) {
    case rtf::Underline::kNone: return QTextCharFormat::NoUnderline;
    case rtf::Underline::kDotted: return QTextCharFormat::DotLine;
    case rtf::Underline::kDash: return QTextCharFormat::DashUnderline;
    case rtf::Underline::kWave: return QTextCharFormat::WaveUnderline;
    // Qt draws one line for the rest; the model format keeps the exact kind.
    case rtf::Underline::kSingle:
    case rtf::Underline::kDouble:
    case rtf::Underline::kThick:
    case rtf::Underline::kWord: break;
  }
  return QTextCharFormat::SingleUnderline;
}

rtf::Underline ToModelUnderline(const QTextCharFormat& format) {
  if (!format.hasProperty(QTextFormat::TextUnderlineStyle))
    return format.boolProperty(QTextFormat::FontUnderline) ? rtf::Underline::kSingle : rtf::Underline::kNone;
  switch (format.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
    case QTextCharFormat::SpellCheckUnderline: return rtf::Underline::kNone;
    case QTextCharFormat::SingleUnderline: return rtf::Underline::kSingle;
    case QTextCharFormat::DotLine: return rtf::Underline::kDotted;
    case QTextCharFormat::WaveUnderline: return rtf::Underline::kWave;
    case QTextCharFormat::DashUnderline:
    case QTextCharFormat::DashDotLine:
    case QTextCharFormat::DashDotDotLine: return rtf::Underline::kDash;
  }
  return rtf::Underline::kSingle;
}

// The Qt format without the model format it keeps.
QTextCharFormat PlainQtFormat(const rtf::CharFormat& format) {
  QTextCharFormat qt;
  if (!format.font.empty()) qt.setFontFamilies({QString::fromStdString(format.font)});
  qt.setFontPointSize(format.halfPoints / 2.0);
  qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  qt.setFontItalic(format.italic);
  qt.setFontStrikeOut(format.strike);
  qt.setUnderlineStyle(ToQtUnderline(format.underline));
  if (format.vertical == rtf::VerticalAlign::kSuperscript) qt.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  if (format.vertical == rtf::VerticalAlign::kSubscript) qt.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  if (format.color) qt.setForeground(ToQColor(*format.color));
  if (format.background) qt.setBackground(ToQColor(*format.background));
  if (!format.link.empty()) {
    qt.setAnchor(true);
    qt.setAnchorHref(QString::fromStdString(format.link));
  }
  return qt;
}

// What the Qt properties alone say.
rtf::CharFormat ShownModelFormat(const QTextCharFormat& qt) {
  rtf::CharFormat format;
  QVariant families = qt.property(QTextFormat::FontFamilies);
  if (families.isValid() && !families.toStringList().isEmpty()) format.font = families.toStringList().first().toStdString();
  else if (qt.hasProperty(QTextFormat::FontFamily)) format.font = qt.stringProperty(QTextFormat::FontFamily).toStdString();
  if (qt.hasProperty(QTextFormat::FontPointSize)) format.halfPoints = int(std::lround(qt.fontPointSize() * 2));
  else if (qt.hasProperty(QTextFormat::FontPixelSize)) format.halfPoints = int(std::lround(qt.intProperty(QTextFormat::FontPixelSize) * 144 / kPixelsPerInch));
  format.bold = qt.fontWeight() >= QFont::DemiBold;
  format.italic = qt.fontItalic();
  format.strike = qt.fontStrikeOut();
  format.underline = ToModelUnderline(qt);
  if (qt.verticalAlignment() == QTextCharFormat::AlignSuperScript) format.vertical = rtf::VerticalAlign::kSuperscript;
  if (qt.verticalAlignment() == QTextCharFormat::AlignSubScript) format.vertical = rtf::VerticalAlign::kSubscript;
  format.color = BrushColour(qt, QTextFormat::ForegroundBrush);
  format.background = BrushColour(qt, QTextFormat::BackgroundBrush);
  if (qt.isAnchor()) format.link = qt.anchorHref().toStdString();
  return format;
}

// Every field of result that Qt shows as it showed the original's takes the original's value.
template <class Model, class... Fields>
void KeepUnchanged(Model& result, const Model& original, const Model& originalShown, Fields... fields) {
  ((result.*fields == originalShown.*fields ? void(result.*fields = original.*fields) : void()), ...);
}

Qt::Alignment ToQtAlignment(rtf::Alignment alignment) {
  switch (alignment) {
    case rtf::Alignment::kCenter: return Qt::AlignHCenter;
    case rtf::Alignment::kRight: return Qt::AlignRight;
    case rtf::Alignment::kJustify: return Qt::AlignJustify;
    case rtf::Alignment::kLeft: break;
  }
  return Qt::AlignLeft;
}

rtf::Alignment ToModelAlignment(Qt::Alignment alignment) {
  Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
  if (horizontal & Qt::AlignJustify) return rtf::Alignment::kJustify;
  if (horizontal & Qt::AlignHCenter) return rtf::Alignment::kCenter;
  if (horizontal & (Qt::AlignRight | Qt::AlignTrailing)) return rtf::Alignment::kRight;
  return rtf::Alignment::kLeft;
}

QTextOption::TabType ToQtTab(rtf::TabStop::Kind kind) {
  switch (kind) {
    case rtf::TabStop::Kind::kCenter: return QTextOption::CenterTab;
    case rtf::TabStop::Kind::kRight: return QTextOption::RightTab;
    case rtf::TabStop::Kind::kDecimal: return QTextOption::DelimiterTab;
    case rtf::TabStop::Kind::kLeft: break;
  }
  return QTextOption::LeftTab;
}

rtf::TabStop::Kind ToModelTab(QTextOption::TabType type) {
  switch (type) {
    case QTextOption::CenterTab: return rtf::TabStop::Kind::kCenter;
    case QTextOption::RightTab: return rtf::TabStop::Kind::kRight;
    case QTextOption::DelimiterTab: return rtf::TabStop::Kind::kDecimal;
    case QTextOption::LeftTab: break;
  }
  return rtf::TabStop::Kind::kLeft;
}

bool IsBulletList(const rtf::ListFormat& list) { return list.style != rtf::ListFormat::Style::kNone; }

QTextBlockFormat PlainQtFormat(const rtf::ParagraphFormat& format) {
  QTextBlockFormat qt;
  qt.setAlignment(ToQtAlignment(format.alignment));
  qt.setLeftMargin(TwipsToPixels(format.leftIndent));
  qt.setRightMargin(TwipsToPixels(format.rightIndent));
  // A list item's marker stands before its first line, so that line starts where the others do.
  qt.setTextIndent(IsBulletList(format.list) ? 0 : TwipsToPixels(format.firstLineIndent));
  qt.setTopMargin(TwipsToPixels(format.spaceBefore));
  qt.setBottomMargin(TwipsToPixels(format.spaceAfter));
  if (format.lineSpacingMultiple && format.lineSpacing > 0)
    qt.setLineHeight(format.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
  else if (!format.lineSpacingMultiple && format.lineSpacing > 0)
    qt.setLineHeight(TwipsToPixels(format.lineSpacing), QTextBlockFormat::MinimumHeight);
  else if (!format.lineSpacingMultiple && format.lineSpacing < 0)
    qt.setLineHeight(TwipsToPixels(-format.lineSpacing), QTextBlockFormat::FixedHeight);
  if (format.pageBreakBefore) qt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  QList<QTextOption::Tab> tabs;
  for (const rtf::TabStop& tab : format.tabs)
    tabs.push_back(QTextOption::Tab(TwipsToPixels(tab.position), ToQtTab(tab.kind), tab.kind == rtf::TabStop::Kind::kDecimal ? QLatin1Char('.') : QChar()));
  if (!tabs.isEmpty()) qt.setTabPositions(tabs);
  return qt;
}

rtf::ParagraphFormat ShownModelFormat(const QTextBlockFormat& qt) {
  rtf::ParagraphFormat format;
  format.alignment = ToModelAlignment(qt.alignment());
  format.leftIndent = PixelsToTwips(qt.leftMargin());
  format.rightIndent = PixelsToTwips(qt.rightMargin());
  format.firstLineIndent = PixelsToTwips(qt.textIndent());
  format.spaceBefore = PixelsToTwips(qt.topMargin());
  format.spaceAfter = PixelsToTwips(qt.bottomMargin());
  switch (qt.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
      format.lineSpacingMultiple = true;
      format.lineSpacing = int(std::lround(qt.lineHeight() * 240 / 100));
      break;
    case QTextBlockFormat::MinimumHeight: format.lineSpacing = PixelsToTwips(qt.lineHeight()); break;
    case QTextBlockFormat::FixedHeight: format.lineSpacing = -PixelsToTwips(qt.lineHeight()); break;
    default: break;
  }
  format.pageBreakBefore = qt.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
  for (const QTextOption::Tab& tab : qt.tabPositions())
    format.tabs.push_back({PixelsToTwips(tab.position), ToModelTab(tab.type), rtf::TabStop::Leader::kNone});
  return format;
}

// A Qt format that keeps the model format it was made from.
template <class Model>
auto KeepingModel(const Model& format, int property) {
  auto qt = PlainQtFormat(format);
  qt.setProperty(property, QVariant::fromValue(format));
  return qt;
}

// What a Qt format shows, and what it shows as it was made, from the model format it keeps.
template <class Model, class QtFormat, class... Fields>
Model ReadModel(const QtFormat& qt, int property, Fields... fields) {
  Model format = ShownModelFormat(qt);
  QVariant kept = qt.property(property);
  if (!kept.canConvert<Model>()) return format;
  auto original = kept.value<Model>();
  KeepUnchanged(format, original, ShownModelFormat(PlainQtFormat(original)), fields...);
  return format;
}

}  // namespace

double TwipsToPixels(int twips) { return twips * kPixelsPerInch / kTwipsPerInch; }
int PixelsToTwips(double pixels) { return int(std::lround(pixels * kTwipsPerInch / kPixelsPerInch)); }

QTextCharFormat ToQtFormat(const rtf::CharFormat& format) { return KeepingModel(format, kModelCharFormat); }

rtf::CharFormat ToModelFormat(const QTextCharFormat& qt) {
  using F = rtf::CharFormat;
  return ReadModel<F>(qt, kModelCharFormat, &F::font, &F::halfPoints, &F::bold, &F::italic, &F::strike, &F::hidden,
                      &F::underline, &F::vertical, &F::color, &F::background, &F::link, &F::extra);
}

QTextBlockFormat ToQtFormat(const rtf::ParagraphFormat& format) { return KeepingModel(format, kModelParagraphFormat); }

rtf::ParagraphFormat ToModelFormat(const QTextBlockFormat& qt) {
  using F = rtf::ParagraphFormat;
  return ReadModel<F>(qt, kModelParagraphFormat, &F::alignment, &F::leftIndent, &F::rightIndent,
                      &F::firstLineIndent, &F::spaceBefore, &F::spaceAfter, &F::lineSpacing,
                      &F::lineSpacingMultiple, &F::pageBreakBefore, &F::tabs, &F::extra);
}

QTextListFormat ToQtList(const rtf::ListFormat& list) {
  QTextListFormat qt;
  switch (list.style) {
    case rtf::ListFormat::Style::kDecimal: qt.setStyle(QTextListFormat::ListDecimal); break;
    case rtf::ListFormat::Style::kLowerAlpha: qt.setStyle(QTextListFormat::ListLowerAlpha); break;
    case rtf::ListFormat::Style::kUpperAlpha: qt.setStyle(QTextListFormat::ListUpperAlpha); break;
    case rtf::ListFormat::Style::kLowerRoman: qt.setStyle(QTextListFormat::ListLowerRoman); break;
    case rtf::ListFormat::Style::kUpperRoman: qt.setStyle(QTextListFormat::ListUpperRoman); break;
    default: qt.setStyle(QTextListFormat::ListDisc); break;
  }
  qt.setIndent(list.level + 1);
  qt.setProperty(kListStart, list.start);
  if (list.style != rtf::ListFormat::Style::kBullet) {
    qt.setNumberPrefix(QString::fromStdString(list.prefix));
    qt.setNumberSuffix(QString::fromStdString(list.suffix));
  }
  return qt;
}

rtf::ListFormat ToModelList(const QTextListFormat& qt) {
  rtf::ListFormat list;
  switch (qt.style()) {
    case QTextListFormat::ListDecimal: list.style = rtf::ListFormat::Style::kDecimal; break;
    case QTextListFormat::ListLowerAlpha: list.style = rtf::ListFormat::Style::kLowerAlpha; break;
    case QTextListFormat::ListUpperAlpha: list.style = rtf::ListFormat::Style::kUpperAlpha; break;
    case QTextListFormat::ListLowerRoman: list.style = rtf::ListFormat::Style::kLowerRoman; break;
    case QTextListFormat::ListUpperRoman: list.style = rtf::ListFormat::Style::kUpperRoman; break;
    default: list.style = rtf::ListFormat::Style::kBullet; break;
  }
  list.level = std::max(0, qt.indent() - 1);
  if (qt.hasProperty(kListStart)) list.start = qt.intProperty(kListStart);
  if (list.style != rtf::ListFormat::Style::kBullet) {
    if (qt.hasProperty(QTextFormat::ListNumberPrefix)) list.prefix = qt.numberPrefix().toStdString();
    if (qt.hasProperty(QTextFormat::ListNumberSuffix)) list.suffix = qt.numberSuffix().toStdString();
  }
  return list;
}

}  // namespace mlf
