#include "views/html_ctrl.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>

#include "platform/app_folders.h"
#include "platform/env.h"
#include "platform/path.h"

namespace mlf {
namespace {

class AppCommandPage : public QWebEnginePage {
 public:
  AppCommandPage(CHtmlCtrl& control) : QWebEnginePage(&control), m_control(control) {}

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    QString command = CHtmlCtrl::AppCommandOf(url);
    if (command.isNull()) return true;
    m_control.AppCommand(command);
    return false;
  }

 private:
  CHtmlCtrl& m_control;
};

// Without a handler the browser drops "app:" addresses before it asks the page; with this
// one it asks, and whatever still reaches the handler (a picture's address) is refused.
class AppSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
  void requestStarted(QWebEngineUrlRequestJob* job) override { job->fail(QWebEngineUrlRequestJob::RequestDenied); }
};

}  // namespace

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QWebEngineView(parent) {
  auto* page = new AppCommandPage(*this);
  QWebEngineProfile* profile = page->profile();
  if (!profile->urlSchemeHandler("app")) profile->installUrlSchemeHandler("app", new AppSchemeHandler(profile));
  setPage(page);
}

QString CHtmlCtrl::AppCommandOf(const QUrl& url) {
  QString text = url.toString();
  if (!text.startsWith(QLatin1String("app:"), Qt::CaseInsensitive)) return QString();
  return text.mid(4);
}

CMlfHelpCtrl::CMlfHelpCtrl(QWidget* parent) : CHtmlCtrl(parent) {
  setAcceptDrops(false);
  load(QUrl::fromLocalFile(StartPage()));
}

QString CMlfHelpCtrl::StartPage() {
  return QString::fromStdString(JoinPath(JoinPath(LocateAppFolders(Env::Default()).data, "Help"), "hb_frameset.html"));
}

}  // namespace mlf
