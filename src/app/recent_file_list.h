// The four most recently used files, newest first, kept beside the settings in the section
// "Recent File List" as "File1" to "File4".
#pragma once

#include <QSettings>
#include <QStringList>

namespace mlf {

class RecentFileList {
 public:
  static constexpr int kSize = 4;

  void Load(QSettings& settings);
  void Save(QSettings& settings) const;
  // Moves the path to the front (a path already listed is not listed twice).
  void Add(const QString& path);
  const QStringList& Files() const { return m_files; }

 private:
  QStringList m_files;
};

}  // namespace mlf
