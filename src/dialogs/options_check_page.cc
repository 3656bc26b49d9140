#include "dialogs/options_check_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace mlf {
namespace {

constexpr OptionCheck kGeneralChecks[] = {
    {"Confirmations", "Prompt before deleting", "PromptDelete", &MlfSettings::promptDelete},
    {nullptr, "Prompt before moving", "PromptMove", &MlfSettings::promptMove},
    {"Image Display", "Bilinear image resizing", "ResizeBilinear", &MlfSettings::resizeBilinear},
    {"Tree Navigation", "Single-click activation", "SingleClick", &MlfSettings::singleClick},
    {"Window Behaviour", "Minimize to system tray", "MinimizeToTray", &MlfSettings::minimizeToTray},
};

constexpr OptionCheck kStartupChecks[] = {
    {nullptr, "Load last used file", "ReloadLast", &MlfSettings::reloadLast},
    {nullptr, "Start in System Tray", "StartInTray", &MlfSettings::startInTray},
    {nullptr, "Show Splash Screen", "ShowSplash", &MlfSettings::showSplash},
};

}  // namespace

COptionsCheckPage::COptionsCheckPage(std::span<const OptionCheck> checks, const MlfSettings& settings, QWidget* parent)
    : QWidget(parent), m_checks(checks) {
  auto* layout = new QVBoxLayout(this);
  QVBoxLayout* group = layout;
  for (const OptionCheck& check : checks) {
    if (check.group) {
      auto* box = new QGroupBox(QString::fromLatin1(check.group), this);
      layout->addWidget(box);
      group = new QVBoxLayout(box);
    }
    auto* checkBox = new QCheckBox(QString::fromLatin1(check.text), this);
    checkBox->setObjectName(QString::fromLatin1(check.name));
    checkBox->setChecked(settings.*check.flag);
    group->addWidget(checkBox);
    m_boxes.push_back(checkBox);
  }
  layout->addStretch();
}

void COptionsCheckPage::CopyBack(MlfSettings& settings) const {
  for (qsizetype i = 0; i < m_boxes.size(); ++i) settings.*m_checks[i].flag = m_boxes[i]->isChecked();
}

COptionsPage_General::COptionsPage_General(const MlfSettings& settings, QWidget* parent)
    : COptionsCheckPage(kGeneralChecks, settings, parent) {}

COptionsPage_Startup::COptionsPage_Startup(const MlfSettings& settings, QWidget* parent)
    : COptionsCheckPage(kStartupChecks, settings, parent) {}

}  // namespace mlf
