// CHtmlCtrl: the embedded browser as an ordinary child control. Every navigation whose
// address begins with "app:" (in any letter case) is cancelled and its rest handed to
// AppCommand; everything else navigates. CMlfHelpCtrl fills the main window's help bar with
// the help pages installed beside the program.
#pragma once

#include <QWebEngineView>

namespace mlf {

class CHtmlCtrl : public QWebEngineView {
  Q_OBJECT
 public:
  explicit CHtmlCtrl(QWidget* parent = nullptr);

  // The text after "app:" when the address is an application command, else a null text.
  static QString AppCommandOf(const QUrl& url);
  // Called with the rest of an "app:" address; the program has no such commands yet.
  virtual void AppCommand(const QString& command) {}
};

class CMlfHelpCtrl : public CHtmlCtrl {
  Q_OBJECT
 public:
  explicit CMlfHelpCtrl(QWidget* parent = nullptr);
  // "Help/hb_frameset.html" in the program's folder.
  static QString StartPage();
};

}  // namespace mlf
