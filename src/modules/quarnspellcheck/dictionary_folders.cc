#include "modules/quarnspellcheck/dictionary_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quarnspell {
namespace {

bool Readable(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly);
}

}  // namespace

QStringList DictionaryFolders(const QString& userDictionaryFolder) {
  QStringList folders{userDictionaryFolder};
#ifndef _WIN32
  // Debian's hunspell-* packages install here; older myspell packages into the other two.
  folders << "/usr/share/hunspell" << "/usr/share/myspell" << "/usr/share/myspell/dicts";
#endif
  return folders;
}

std::optional<DictionaryFiles> FindDictionary(const QString& language, const QStringList& folders, QString& error) {
  bool unreadable = false;
  for (const QString& folder : folders) {
    DictionaryFiles files{QDir(folder).filePath(language + ".aff"), QDir(folder).filePath(language + ".dic")};
    if (!QFileInfo::exists(files.affix) || !QFileInfo::exists(files.words)) continue;
    if (Readable(files.affix) && Readable(files.words)) return files;
    unreadable = true;
  }
  error = QString(unreadable ? "The dictionary for \"%1\" cannot be read; the folders searched: %2."
                             : "No dictionary for \"%1\" was found; the folders searched: %2.")
              .arg(language, folders.join(", "));
  return std::nullopt;
}

QStringList InstalledLanguages(const QStringList& folders) {
  QStringList languages;
  for (const QString& folder : folders) {
    QDir dir(folder);
    for (const QFileInfo& affix : dir.entryInfoList({"*.aff"}, QDir::Files | QDir::Readable)) {
      if (QFileInfo::exists(dir.filePath(affix.completeBaseName() + ".dic")))
        languages << affix.completeBaseName();
    }
  }
  languages.sort();
  languages.removeDuplicates();
  return languages;
}

}  // namespace quarnspell
