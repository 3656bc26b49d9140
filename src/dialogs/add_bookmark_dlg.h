// CAddBookmarkDlg: asks for the name of a new bookmark (at most 128 characters).
#pragma once

#include <QDialog>

class QLineEdit;

namespace mlf {

class CAddBookmarkDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxName = 128;

  explicit CAddBookmarkDlg(QWidget* parent = nullptr);
  void SetName(const QString& name);
  QString Name() const;

 private:
  QLineEdit* m_name;
};

}  // namespace mlf
