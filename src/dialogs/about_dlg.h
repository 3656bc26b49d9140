// CAboutDlg: the product logo, the version and build, the encryption strength of the loaded
// module, the licence remark and a mail link to the maker's support.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace mlf {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  // The three lines of the version box.
  static QString VersionText();
};

}  // namespace mlf
