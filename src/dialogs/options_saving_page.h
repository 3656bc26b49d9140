// The Saving page of the Options sheet: how many previous versions a save keeps beside the note
// file, and how often modified documents go to their recovery files. It works on copies until
// the sheet copies it back.
#pragma once

#include <QWidget>
#include <cstdint>

#include "settings/settings.h"

class QCheckBox;
class QSpinBox;

namespace mlf {

class COptionsPage_Saving : public QWidget {
  Q_OBJECT
 public:
  explicit COptionsPage_Saving(const MlfSettings& settings, QWidget* parent = nullptr);
  void CopyBack(MlfSettings& settings) const;

 private:
  QCheckBox* m_keepBackups;
  QSpinBox* m_backupCount;
  QSpinBox* m_autosaveMinutes;
  // The numbers as they were given: the spin boxes show them within their ranges, and a value
  // outside a range stays as it was unless the user changes it.
  uint32_t m_givenBackupCount;
  uint32_t m_givenAutosaveMinutes;
};

}  // namespace mlf
