#include "dialogs/options_spelling_page.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "spell/spell_dll_handler.h"
#include "store/prompts.h"

namespace mlf {

COptionsPage_Spelling::COptionsPage_Spelling(QWidget* parent) : QWidget(parent) {
  auto* button = new QPushButton(QStringLiteral("Show Spelling Options"), this);
  button->setObjectName(QStringLiteral("ShowSpellingOptions"));
  connect(button, &QPushButton::clicked, this, &COptionsPage_Spelling::ShowSpellingOptions);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(button, 0, Qt::AlignLeft);
  layout->addStretch();
}

void COptionsPage_Spelling::ShowSpellingOptions() {
  // The module's dialog belongs to the sheet: the sheet's window id serves where the page's
  // own would make the page a native window for nothing.
  SpellOutcome outcome = AppSpell().ShowOptions(window()->winId());
  if (!outcome.ok)
    AppPrompts().Message(SpellOptionsFailedText(outcome.error), kAppCaption, MessageIcon::None, MessageButtons::Ok);
}

}  // namespace mlf
