// CFormatCombo: the base of the formatting bar's font combos. An editable combo whose choice,
// picked from the list or typed and confirmed with Enter, goes to a target editor's selection.
#pragma once

#include <QComboBox>
#include <QPointer>
#include <QTextEdit>

namespace mlf {

class CFormatCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit CFormatCombo(QWidget* parent = nullptr);

  // Null: there is no editor, and choices only emit TextChosen.
  void SetTarget(QTextEdit* target) { m_target = target; }
  QTextEdit* Target() const { return m_target; }

  // Shows text (with its item's picture when the list has it); does nothing when it is shown.
  void ShowText(const QString& text);

  // The list drops about 250 pixels.
  void showPopup() override;

 Q_SIGNALS:
  void TextChosen(const QString& text);

 protected:
  // Applies a chosen text to the target's selection and gives the target the focus.
  virtual void Apply(QTextEdit& target, const QString& text) = 0;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Choose(const QString& text);

  QPointer<QTextEdit> m_target;
};

}  // namespace mlf
