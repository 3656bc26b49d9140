#include "modules/quarnspellcheck/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "modules/quarnspellcheck/dictionary_folders.h"
#include "modules/quarnspellcheck/module_state.h"

namespace quarnspell {

OptionsDialog::OptionsDialog(ModuleState& state, QWidget* owner)
    : QDialog(owner),
      m_state(state),
      m_language(new QComboBox),
      m_words(new QListWidget),
      m_checkAsYouType(new QCheckBox("Check spelling as you &type")) {
  setWindowTitle("Spelling Options");
  m_language->setObjectName("language");
  m_words->setObjectName("personalWords");
  m_checkAsYouType->setObjectName("checkAsYouType");

  const SpellSettings& settings = state.Settings();
  QStringList languages = InstalledLanguages(state.SearchedFolders());
  if (!languages.contains(settings.language)) languages.prepend(settings.language);
  m_language->addItems(languages);
  m_language->setCurrentText(settings.language);
  m_words->addItems(state.PersonalWords());
  m_words->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_checkAsYouType->setChecked(settings.checkAsYouType);

  auto* remove = new QPushButton("&Remove");
  remove->setObjectName("removeWord");
  connect(remove, &QPushButton::clicked, this, [this] {
    for (QListWidgetItem* item : m_words->selectedItems()) {
      m_removed << item->text();
      delete item;
    }
  });

  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow("&Dictionary language:", m_language);
  layout->addLayout(form);
  auto* wordsLabel = new QLabel("&Personal dictionary:");
  wordsLabel->setBuddy(m_words);
  layout->addWidget(wordsLabel);
  auto* wordsRow = new QHBoxLayout;
  wordsRow->addWidget(m_words);
  wordsRow->addWidget(remove, 0, Qt::AlignTop);
  layout->addLayout(wordsRow);
  layout->addWidget(m_checkAsYouType);
  if (QString error; !FindDictionary(settings.language, state.SearchedFolders(), error)) {
    auto* missing = new QLabel(error);
    missing->setWordWrap(true);
    layout->addWidget(missing);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Apply();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void OptionsDialog::Apply() {
  bool written = true;
  for (const QString& word : m_removed) written = m_state.RemovePersonalWord(word) && written;
  m_state.SetSettings({m_language->currentText(), m_checkAsYouType->isChecked()});
  if (!written) QMessageBox::warning(this, windowTitle(), "The personal dictionary could not be written.");
}

}  // namespace quarnspell
