#include "dialogs/options_editor_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace mlf {
namespace {

// The widget font dialog offers underline, strikeout and a writing system; the options keep
// only a face and a size, so those choices are not shown. The sample, which shared its row
// with the effects and takes only the height it is given, keeps room for a line of text.
void HideEffectsAndScripts(QFontDialog& dialog) {
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
    if (!group->findChildren<QCheckBox*>().isEmpty()) group->hide();
    for (QLineEdit* sample : group->findChildren<QLineEdit*>()) sample->setMinimumHeight(3 * sample->fontMetrics().height());
  }
  for (QComboBox* scripts : dialog.findChildren<QComboBox*>()) {
    scripts->hide();
    for (QLabel* label : dialog.findChildren<QLabel*>())
      if (label->buddy() == scripts) label->hide();
  }
}

}  // namespace

QString FontLabelText(const FontChoice& font) {
  return QStringLiteral("%1, %2 pt").arg(QString::fromStdString(font.name)).arg(font.size);
}

FontChoice ChosenFont(const QFont& font) {
  const auto tenths = static_cast<long>(std::lround(font.pointSizeF() * 10));
  return {font.family().toStdString(), static_cast<uint32_t>(std::max(tenths / 10, 1L))};
}

COptionsPage_Editor::COptionsPage_Editor(const MlfSettings& settings, QWidget* parent)
    : QWidget(parent),
      m_defaultFont{settings.defaultFontName, settings.defaultFontSize},
      m_importFont{settings.importFontName, settings.importFontSize},
      m_wordWrap(new QCheckBox(QStringLiteral("Wrap text to window"), this)),
      m_autoWordSelection(new QCheckBox(QStringLiteral("Automatic Word Selection"), this)) {
  m_wordWrap->setObjectName(QStringLiteral("WordWrap"));
  m_wordWrap->setChecked(settings.wordWrap);
  m_autoWordSelection->setObjectName(QStringLiteral("AutoWordSelection"));
  m_autoWordSelection->setChecked(settings.autoWordSelection);
  auto* miscellaneous = new QGroupBox(QStringLiteral("Miscellaneous"), this);
  (new QVBoxLayout(miscellaneous))->addWidget(m_autoWordSelection);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FontGroup("Default Editor Font", "DefaultFont", m_defaultFont));
  layout->addWidget(FontGroup("Text Import Font", "ImportFont", m_importFont));
  layout->addWidget(m_wordWrap);
  layout->addWidget(miscellaneous);
  layout->addStretch();
}

QWidget* COptionsPage_Editor::FontGroup(const char* title, const char* name, FontChoice& font) {
  auto* group = new QGroupBox(QString::fromLatin1(title), this);
  auto* label = new QLabel(FontLabelText(font), group);
  label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
  label->setFrameShape(QFrame::StyledPanel);
  label->setFrameShadow(QFrame::Sunken);
  label->setAccessibleName(QString::fromLatin1(title));
  auto* change = new QPushButton(QStringLiteral("Change..."), group);
  change->setObjectName(QStringLiteral("Change") + QString::fromLatin1(name));
  // Both buttons read "Change...": a screen reader says which font each one changes.
  change->setAccessibleName(QStringLiteral("Change %1").arg(QString::fromLatin1(title)));
  connect(change, &QPushButton::clicked, this, [this, &font, label] { ChangeFont(font, label); });
  auto* row = new QHBoxLayout(group);
  row->addWidget(label, 1);
  row->addWidget(change);
  return group;
}

void COptionsPage_Editor::ChangeFont(FontChoice& font, QLabel* label) {
  QFontDialog dialog(this);
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  QFont current(QString::fromStdString(font.name));
  current.setPointSize(static_cast<int>(font.size));
  dialog.setCurrentFont(current);
  HideEffectsAndScripts(dialog);
  if (dialog.exec() != QDialog::Accepted) return;
  font = ChosenFont(dialog.selectedFont());
  label->setText(FontLabelText(font));
}

void COptionsPage_Editor::CopyBack(MlfSettings& settings) const {
  settings.defaultFontName = m_defaultFont.name;
  settings.defaultFontSize = m_defaultFont.size;
  settings.importFontName = m_importFont.name;
  settings.importFontSize = m_importFont.size;
  settings.wordWrap = m_wordWrap->isChecked();
  settings.autoWordSelection = m_autoWordSelection->isChecked();
}

}  // namespace mlf
