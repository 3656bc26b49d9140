// The widgets tests need an application object and must never touch the user's settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "views/web_engine_setup.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  mlf::PrepareWebEngine();
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QTemporaryDir settingsHome;
  for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
    QSettings::setPath(format, QSettings::UserScope, settingsHome.path());
  return RUN_ALL_TESTS();
}
