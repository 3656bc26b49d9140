#include "widgets/font_size_combo.h"

#include "widgets/selection_format.h"

namespace mlf {

CFontSizeCombo::CFontSizeCombo(QWidget* parent) : CFormatCombo(parent) {
  setAccessibleName(QStringLiteral("Font Size"));
  for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) addItem(QString::number(size));
  setCurrentIndex(-1);
}

int CFontSizeCombo::PointsOf(const QString& text) {
  int points = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') break;
    points = std::min(points * 10 + (c.unicode() - u'0'), kMaxPoints + 1);
  }
  return std::min(points, kMaxPoints);
}

void CFontSizeCombo::Apply(QTextEdit& target, const QString& text) {
  // Text without leading digits gives no size; a size of 0 would make the text vanish.
  const int points = PointsOf(text);
  if (points > 0) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    ApplySelectionFormat(target, format);
  } else {
    target.setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace mlf
