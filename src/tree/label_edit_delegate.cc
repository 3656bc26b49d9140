#include "tree/label_edit_delegate.h"

#include <QLineEdit>

namespace mlf {

LabelEditDelegate::LabelEditDelegate(int maxLength, QObject* parent)
    : QStyledItemDelegate(parent), m_maxLength(maxLength) {}

QWidget* LabelEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setMaxLength(m_maxLength);
  editor->setFrame(true);
  return editor;
}

void LabelEditDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  QString text = static_cast<QLineEdit*>(editor)->text();
  if (text.isEmpty()) Q_EMIT EmptyNameRefused(index);
  else Q_EMIT Renamed(index, text);
}

}  // namespace mlf
