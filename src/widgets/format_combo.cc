#include "widgets/format_combo.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace mlf {

CFormatCombo::CFormatCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  // Enter is taken before the combo sees it, so a typed text is applied once and never added.
  lineEdit()->installEventFilter(this);
  connect(this, &QComboBox::activated, this, [this](int index) { Choose(itemText(index)); });
}

void CFormatCombo::ShowText(const QString& text) {
  const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index == currentIndex() && currentText() == text) return;
  setCurrentIndex(index);
  if (index < 0) setEditText(text);
}

void CFormatCombo::showPopup() {
  constexpr int kListHeight = 250;
  if (count() > 0) setMaxVisibleItems(std::max(1, kListHeight / std::max(1, view()->sizeHintForRow(0))));
  QComboBox::showPopup();
}

bool CFormatCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Choose(lineEdit()->text());
      return true;
    }
  }
  return QComboBox::eventFilter(watched, event);
}

void CFormatCombo::Choose(const QString& text) {
  Q_EMIT TextChosen(text);
  if (m_target) Apply(*m_target, text);
}

}  // namespace mlf
