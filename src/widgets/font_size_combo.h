// CFontSizeCombo: the formatting bar's font sizes. A size picked from the list or typed and
// confirmed with Enter sets the size of the target's selection.
#pragma once

#include "widgets/format_combo.h"

namespace mlf {

class CFontSizeCombo : public CFormatCombo {
  Q_OBJECT
 public:
  explicit CFontSizeCombo(QWidget* parent = nullptr);

  // The number the leading digits of text make, in points (0 for other text), never above the
  // largest height a character can have.
  static int PointsOf(const QString& text);
  static constexpr int kMaxPoints = 1638;

 protected:
  void Apply(QTextEdit& target, const QString& text) override;
};

}  // namespace mlf
