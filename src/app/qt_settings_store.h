// The settings store of the desktop program: QSettings in the platform's native format (the
// registry on Windows) under "Quarn Data Solutions" / "Quarn Marrowleaf", group "Settings".
#pragma once

#include <QSettings>

#include "settings/settings_store.h"

namespace mlf {

class QtSettingsStore : public SettingsStore {
 public:
  QtSettingsStore();

  std::optional<uint32_t> ReadNumber(const std::string& name) override;
  std::optional<std::string> ReadText(const std::string& name) override;
  std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override;
  void WriteNumber(const std::string& name, uint32_t value) override;
  void WriteText(const std::string& name, const std::string& value) override;
  void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) override;

  // Writes what was changed to the store now.
  void Flush() { m_settings.sync(); }

 private:
  QSettings m_settings;
};

inline constexpr const char* kOrganisationName = "Quarn Data Solutions";
inline constexpr const char* kApplicationName = "Quarn Marrowleaf";

// The program's key; its sections beside "Settings" hold the recent files and the bar layout.
QSettings ProgramSettings();

}  // namespace mlf
