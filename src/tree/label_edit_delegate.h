// In-place renaming of list entries: the edit box takes at most a given number of characters,
// and an empty text is refused (the owner says so and opens the edit again).
#pragma once

#include <QStyledItemDelegate>

namespace mlf {

class LabelEditDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  LabelEditDelegate(int maxLength, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // Does not write the model: the owner applies the name (to the document first) or refuses it.
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

 Q_SIGNALS:
  void Renamed(const QModelIndex& index, const QString& text) const;
  void EmptyNameRefused(const QModelIndex& index) const;

 private:
  int m_maxLength;
};

}  // namespace mlf
