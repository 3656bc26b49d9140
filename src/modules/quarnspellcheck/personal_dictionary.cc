#include "modules/quarnspellcheck/personal_dictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quarnspell {

void PersonalDictionary::Load(const QString& path) {
  m_path = path;
  m_words.clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
    QString word = line.trimmed();
    if (!word.isEmpty() && !m_words.contains(word)) m_words << word;
  }
}

bool PersonalDictionary::Add(const QString& word) {
  if (word.isEmpty() || m_words.contains(word)) return true;
  m_words << word;
  return Save();
}

bool PersonalDictionary::Remove(const QString& word) {
  if (!m_words.removeOne(word)) return true;
  return Save();
}

bool PersonalDictionary::Save() const {
  QDir().mkpath(QFileInfo(m_path).absolutePath());
  QSaveFile file(m_path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  file.write((m_words.join('\n') + '\n').toUtf8());
  return file.commit();
}

}  // namespace quarnspell
