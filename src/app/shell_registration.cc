#include "app/shell_registration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>

#include "store/document.h"

namespace mlf {
namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Resource(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray DesktopEntry(const QString& executable) {
  QString quoted = executable;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
  return QStringLiteral(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=Quarn Marrowleaf\n"
             "Comment=Marrowleaf Document\n"
             "Exec=\"%1\" %f\n"
             "Icon=marrowleaf\n"
             "MimeType=%2;\n"
             "Categories=Office;\n")
      .arg(quoted, QLatin1String(kMimeType))
      .toUtf8();
}

// An empty note file, as a new document saves it.
QByteArray EmptyNoteFile() {
  QString temporary = QDir::temp().filePath(QStringLiteral("MLFtemplate-%1.mlf").arg(QCoreApplication::applicationPid()));
  CMarrowleafDoc document;
  document.OnNewDocument();
  if (!document.OnSaveDocument(temporary.toStdString())) return {};
  QByteArray bytes = Resource(temporary);
  QFile::remove(temporary);
  return bytes;
}

void RefreshDatabase(const char* tool, const QString& folder) {
  QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
  if (!program.isEmpty()) QProcess::execute(program, {folder});
}

}  // namespace

QString TemplatesFolder() {
  QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
  if (dirs.open(QIODevice::ReadOnly | QIODevice::Text)) {
    static const QRegularExpression line(QStringLiteral("^XDG_TEMPLATES_DIR=\"(.*)\"$"));
    QTextStream in(&dirs);
    while (!in.atEnd()) {
      QRegularExpressionMatch match = line.match(in.readLine().trimmed());
      if (match.hasMatch()) return match.captured(1).replace(QStringLiteral("$HOME"), QDir::homePath());
    }
  }
  return QDir::homePath() + QStringLiteral("/Templates");
}

QStringList RegisterShellNew(const QString& executable) {
  QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  QByteArray icon = Resource(QStringLiteral(":/art/marrowleaf.svg"));
  const std::pair<QString, QByteArray> files[] = {
      // The MIME type the package installs, glob and header magic.
      {data + QStringLiteral("/mime/packages/marrowleaf.xml"), Resource(QStringLiteral(":/packaging/marrowleaf.xml"))},
      {data + QStringLiteral("/applications/marrowleaf.desktop"), DesktopEntry(executable)},
      {data + QStringLiteral("/icons/hicolor/scalable/apps/marrowleaf.svg"), icon},
      {data + QStringLiteral("/icons/hicolor/scalable/mimetypes/application-x-marrowleaf.svg"), icon},
      {TemplatesFolder() + QLatin1Char('/') + QLatin1String(kTemplateName), EmptyNoteFile()},
  };
  QStringList written;
  for (const auto& [path, bytes] : files) {
    if (bytes.isEmpty() || !WriteFile(path, bytes)) break;
    written.push_back(path);
  }
  RefreshDatabase("update-mime-database", data + QStringLiteral("/mime"));
  RefreshDatabase("update-desktop-database", data + QStringLiteral("/applications"));
  return written;
}

}  // namespace mlf
