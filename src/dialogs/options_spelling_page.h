// The Spelling page of the Options sheet: one button that opens the spell-check module's own
// options dialog. The module keeps those settings itself, so the page holds none.
#pragma once

#include <QWidget>

namespace mlf {

class COptionsPage_Spelling : public QWidget {
  Q_OBJECT
 public:
  explicit COptionsPage_Spelling(QWidget* parent = nullptr);

  // Opens the module's options dialog; tells the user when the module could not.
  void ShowSpellingOptions();
};

}  // namespace mlf
