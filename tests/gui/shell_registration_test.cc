#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/shell_registration.h"
#include "store/document.h"
#include "support/scripted_prompts.h"

namespace mlf {
namespace {

// Points the home and the XDG folders into a temporary folder for one test.
class TemporaryHome {
 public:
  TemporaryHome() {
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) saved.push_back(qgetenv(name));
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
  }
  ~TemporaryHome() {
    int i = 0;
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) qputenv(name, saved[i++]);
  }
  QString Path(const char* relative) const { return home.path() + QLatin1Char('/') + QLatin1String(relative); }

  QTemporaryDir home;
  QList<QByteArray> saved;
};

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ShellRegistrationTest, WritesTheTypeTheEntryAndAnOpenableTemplate) {
  TemporaryHome home;
  QStringList written = RegisterShellNew(QStringLiteral("/opt/mlf/marrowleaf"));
  EXPECT_EQ(written.size(), 5);
  EXPECT_TRUE(Contents(home.Path("data/mime/packages/marrowleaf.xml")).contains("<glob pattern=\"*.mlf\"/>"));
  EXPECT_TRUE(Contents(home.Path("data/mime/packages/marrowleaf.xml")).contains("<magic"));
  QByteArray entry = Contents(home.Path("data/applications/marrowleaf.desktop"));
  EXPECT_TRUE(entry.contains("Exec=\"/opt/mlf/marrowleaf\" %f"));
  EXPECT_TRUE(entry.contains("MimeType=application/x-marrowleaf;"));
  EXPECT_FALSE(Contents(home.Path("data/icons/hicolor/scalable/apps/marrowleaf.svg")).isEmpty());

  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope(prompts);
  CMarrowleafDoc document;
  EXPECT_TRUE(document.OnOpenDocument(home.Path("Templates/marrowle.mlf").toStdString())) << "the template is a note file";
  EXPECT_EQ(document.Data_GetCount(), 0u);
}

TEST(ShellRegistrationTest, TheTemplatesFolderComesFromTheUserDirs) {
  TemporaryHome home;
  QDir().mkpath(home.Path("config"));
  QFile dirs(home.Path("config/user-dirs.dirs"));
  ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
  dirs.write("# written by xdg-user-dirs-update\nXDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n");
  dirs.close();
  EXPECT_EQ(TemplatesFolder(), home.Path("Vorlagen"));
}

}  // namespace
}  // namespace mlf
