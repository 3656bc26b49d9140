#include "app/qt_settings_store.h"

namespace mlf {
namespace {

QString Key(const std::string& name) { return QString::fromStdString(name); }

}  // namespace

QSettings ProgramSettings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kOrganisationName),
                   QString::fromLatin1(kApplicationName));
}

QtSettingsStore::QtSettingsStore() : m_settings(ProgramSettings()) {
  m_settings.beginGroup(QStringLiteral("Settings"));
}

// Text formats keep no types: a number comes back as its digits, so a value reads as a number
// when it is not binary and its text is an unsigned 32-bit number.
std::optional<uint32_t> QtSettingsStore::ReadNumber(const std::string& name) {
  QVariant value = m_settings.value(Key(name));
  if (!value.isValid() || value.typeId() == QMetaType::QByteArray) return std::nullopt;
  bool ok = false;
  uint32_t number = value.toUInt(&ok);
  if (!ok) return std::nullopt;
  return number;
}

std::optional<std::string> QtSettingsStore::ReadText(const std::string& name) {
  QVariant value = m_settings.value(Key(name));
  if (!value.isValid() || value.typeId() == QMetaType::QByteArray) return std::nullopt;
  return value.toString().toStdString();
}

std::optional<std::vector<uint8_t>> QtSettingsStore::ReadBinary(const std::string& name) {
  QVariant value = m_settings.value(Key(name));
  if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
  QByteArray bytes = value.toByteArray();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void QtSettingsStore::WriteNumber(const std::string& name, uint32_t value) { m_settings.setValue(Key(name), value); }

void QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
  m_settings.setValue(Key(name), QString::fromStdString(value));
}

void QtSettingsStore::WriteBinary(const std::string& name, const std::vector<uint8_t>& value) {
  m_settings.setValue(Key(name), QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
}

}  // namespace mlf
