// Where the module finds Hunspell dictionaries (a language's .aff and .dic file pair): the
// user's own folder first, then the folders the system's dictionary packages install into.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quarnspell {

struct DictionaryFiles {
  QString affix;
  QString words;
};

// The folders searched, in order.
QStringList DictionaryFolders(const QString& userDictionaryFolder);

// The first folder holding both files of the language, both readable; or the reason why none
// was found, naming the language and the folders searched.
std::optional<DictionaryFiles> FindDictionary(const QString& language, const QStringList& folders, QString& error);

// Every language with both files in one of the folders, sorted, each once.
QStringList InstalledLanguages(const QStringList& folders);

}  // namespace quarnspell
