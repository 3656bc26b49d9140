// The words the user added ("Add" in the spelling dialog): a UTF-8 file of one word a line,
// which the options dialog lists and edits.
#pragma once

#include <QString>
#include <QStringList>

namespace quarnspell {

class PersonalDictionary {
 public:
  // Reads the file; a missing file is an empty dictionary.
  void Load(const QString& path);
  const QStringList& Words() const { return m_words; }
  bool Contains(const QString& word) const { return m_words.contains(word); }
  // Both write the file at once, so a crash loses no word; false when it cannot be written.
  bool Add(const QString& word);
  bool Remove(const QString& word);

 private:
  bool Save() const;

  QString m_path;
  QStringList m_words;
};

}  // namespace quarnspell
