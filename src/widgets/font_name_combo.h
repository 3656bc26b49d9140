// CFontNameCombo: the formatting bar's font faces, every installed family with the font
// picture. While the list is open, a small window beside it writes the highlighted face in
// that face. A face picked from the list or typed and confirmed with Enter goes to the target's
// selection.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "widgets/format_combo.h"

namespace mlf {

class CFontNameCombo : public CFormatCombo {
  Q_OBJECT
 public:
  explicit CFontNameCombo(QWidget* parent = nullptr);
  ~CFontNameCombo() override;

  // The installed families ordered by the bytes of their names, each once.
  static QStringList InstalledFamilies();

  // Shows the face when the list has it, else empty text.
  void ShowFamily(const QString& family);

  // The sample window while the list is open, or null.
  QLabel* SampleWindow() const { return m_sample; }

  void showPopup() override;
  void hidePopup() override;

 protected:
  void Apply(QTextEdit& target, const QString& text) override;

 private:
  void UpdateSample();

  QTimer m_sampleTimer;
  QPointer<QLabel> m_sample;
};

}  // namespace mlf
