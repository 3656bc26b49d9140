#include "dialogs/options_saving_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace mlf {
namespace {

QSpinBox* NumberBox(const char* name, int minimum, int maximum, uint32_t value, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(minimum, maximum);
  spin->setValue(static_cast<int>(std::min<uint32_t>(value, static_cast<uint32_t>(maximum))));
  return spin;
}

// What the spin box says, or the given value when the box still shows what it was given.
uint32_t ValueOf(const QSpinBox* spin, uint32_t given) {
  const auto shown = static_cast<uint32_t>(std::clamp<int64_t>(given, spin->minimum(), spin->maximum()));
  return static_cast<uint32_t>(spin->value()) == shown ? given : static_cast<uint32_t>(spin->value());
}

}  // namespace

COptionsPage_Saving::COptionsPage_Saving(const MlfSettings& settings, QWidget* parent)
    : QWidget(parent),
      m_keepBackups(new QCheckBox(QStringLiteral("Keep backups of the previous versions"), this)),
      m_backupCount(NumberBox("BackupCount", 1, 99, settings.backupCount, this)),
      m_autosaveMinutes(NumberBox("AutosaveMinutes", 0, 120, settings.autosaveMinutes, this)),
      m_givenBackupCount(settings.backupCount),
      m_givenAutosaveMinutes(settings.autosaveMinutes) {
  m_keepBackups->setObjectName(QStringLiteral("KeepBackups"));
  m_keepBackups->setChecked(settings.keepBackups);
  m_autosaveMinutes->setSpecialValueText(QStringLiteral("Off"));
  m_autosaveMinutes->setSuffix(QStringLiteral(" minutes"));

  auto* backups = new QGroupBox(QStringLiteral("Backups"), this);
  auto* count = new QFormLayout;
  count->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  count->addRow(QStringLiteral("&Versions kept:"), m_backupCount);
  auto* backupLayout = new QVBoxLayout(backups);
  backupLayout->addWidget(m_keepBackups);
  backupLayout->addLayout(count);
  QWidget* countLabel = count->labelForField(m_backupCount);
  for (QWidget* control : {static_cast<QWidget*>(m_backupCount), countLabel}) {
    control->setEnabled(settings.keepBackups);
    connect(m_keepBackups, &QCheckBox::toggled, control, &QWidget::setEnabled);
  }

  auto* autosave = new QGroupBox(QStringLiteral("Autosave"), this);
  auto* every = new QFormLayout(autosave);
  every->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  every->addRow(QStringLiteral("&Autosave modified files every"), m_autosaveMinutes);

  auto* note = new QLabel(
      QStringLiteral("Backups lie beside the note file, name.mlf.bak1 the newest; autosave never writes over the note file."),
      this);
  note->setObjectName(QStringLiteral("SavingNote"));
  note->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(backups);
  layout->addWidget(autosave);
  layout->addWidget(note);
  layout->addStretch();
}

void COptionsPage_Saving::CopyBack(MlfSettings& settings) const {
  settings.keepBackups = m_keepBackups->isChecked();
  settings.backupCount = ValueOf(m_backupCount, m_givenBackupCount);
  settings.autosaveMinutes = ValueOf(m_autosaveMinutes, m_givenAutosaveMinutes);
}

}  // namespace mlf
