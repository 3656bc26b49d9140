#include "app/recent_file_list.h"

namespace mlf {
namespace {

const QString kSection = QStringLiteral("Recent File List");

}  // namespace

void RecentFileList::Load(QSettings& settings) {
  m_files.clear();
  settings.beginGroup(kSection);
  for (int i = 1; i <= kSize; ++i) {
    QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!file.isEmpty()) m_files.push_back(file);
  }
  settings.endGroup();
}

void RecentFileList::Save(QSettings& settings) const {
  settings.beginGroup(kSection);
  settings.remove(QString());
  for (int i = 0; i < m_files.size(); ++i) settings.setValue(QStringLiteral("File%1").arg(i + 1), m_files[i]);
  settings.endGroup();
}

void RecentFileList::Add(const QString& path) {
  m_files.removeAll(path);
  m_files.push_front(path);
  while (m_files.size() > kSize) m_files.pop_back();
}

}  // namespace mlf
