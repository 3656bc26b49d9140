#include "views/web_engine_setup.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>
#include <QtGlobal>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace mlf {

void PrepareWebEngine() {
#ifndef _WIN32
  if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // The browser asks before it follows an address of a scheme it knows; "app:" addresses are
  // the program's own commands, which the help pages use.
  QWebEngineUrlScheme app("app");
  app.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  app.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
  QWebEngineUrlScheme::registerScheme(app);
}

}  // namespace mlf
