#include "modules/quarnspellcheck/spelling_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

#include "modules/quarnspellcheck/misspelt_words.h"
#include "modules/quarnspellcheck/module_state.h"
#include "modules/quarnspellcheck/speller.h"

namespace quarnspell {
namespace {

constexpr const char* kCaption = "Spelling";

QPushButton* AddButton(QVBoxLayout& column, const QString& text, const char* name) {
  auto* button = new QPushButton(text);
  button->setObjectName(name);
  column.addWidget(button);
  return button;
}

}  // namespace

SpellingDialog::SpellingDialog(QTextEdit& editor, Speller& speller, ModuleState& state, QWidget* owner)
    : QDialog(owner ? owner : editor.window()),
      m_editor(&editor),
      m_speller(speller),
      m_state(state),
      m_notInDictionary(new QLineEdit),
      m_changeTo(new QLineEdit),
      m_suggestions(new QListWidget) {
  setWindowTitle(kCaption);
  setModal(true);
  m_notInDictionary->setObjectName("notInDictionary");
  m_notInDictionary->setReadOnly(true);
  m_changeTo->setObjectName("changeTo");
  m_suggestions->setObjectName("suggestions");

  auto* grid = new QGridLayout(this);
  auto* label = new QLabel("&Not in dictionary:");
  label->setBuddy(m_notInDictionary);
  grid->addWidget(label, 0, 0);
  grid->addWidget(m_notInDictionary, 1, 0);
  auto* changeLabel = new QLabel("C&hange to:");
  changeLabel->setBuddy(m_changeTo);
  grid->addWidget(changeLabel, 2, 0);
  grid->addWidget(m_changeTo, 3, 0);
  auto* suggestionsLabel = new QLabel("&Suggestions:");
  suggestionsLabel->setBuddy(m_suggestions);
  grid->addWidget(suggestionsLabel, 4, 0);
  grid->addWidget(m_suggestions, 5, 0);

  auto* buttons = new QVBoxLayout;
  QPushButton* ignore = AddButton(*buttons, "&Ignore Once", "ignore");
  QPushButton* ignoreAll = AddButton(*buttons, "I&gnore All", "ignoreAll");
  QPushButton* add = AddButton(*buttons, "&Add to Dictionary", "add");
  buttons->addSpacing(12);
  m_changeButton = AddButton(*buttons, "&Change", "change");
  m_changeAllButton = AddButton(*buttons, "Change A&ll", "changeAll");
  buttons->addStretch();
  QPushButton* cancel = AddButton(*buttons, "Cancel", "cancel");
  grid->addLayout(buttons, 1, 1, 5, 1);
  m_changeButton->setDefault(true);

  connect(ignore, &QPushButton::clicked, this, &SpellingDialog::IgnoreOnce);
  connect(ignoreAll, &QPushButton::clicked, this, &SpellingDialog::IgnoreAll);
  connect(add, &QPushButton::clicked, this, &SpellingDialog::AddToDictionary);
  connect(m_changeButton, &QPushButton::clicked, this, &SpellingDialog::Change);
  connect(m_changeAllButton, &QPushButton::clicked, this, &SpellingDialog::ChangeAll);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_suggestions, &QListWidget::currentTextChanged, m_changeTo, &QLineEdit::setText);
  connect(m_suggestions, &QListWidget::itemDoubleClicked, this, &SpellingDialog::Change);
  connect(m_changeTo, &QLineEdit::textChanged, this, [this](const QString& text) {
    m_changeButton->setEnabled(!text.isEmpty());
    m_changeAllButton->setEnabled(!text.isEmpty());
  });
}

void SpellingDialog::Run(int from) {
  ShowNextFrom(from);
  if (m_word.isNull()) return;
  show();
  KeepWordInSight();
  exec();
}

void SpellingDialog::KeepWordInSight() {
  QTextCursor start = m_word;
  start.setPosition(m_word.selectionStart());
  const QRect line = m_editor->cursorRect(start);
  const QRect word(m_editor->viewport()->mapToGlobal(line.topLeft()), line.size());
  const QRect dialog = frameGeometry();
  if (!dialog.intersects(QRect(dialog.left(), word.top(), dialog.width(), word.height()))) return;
  // Below the word's line when the screen has room there, else above it.
  const QRect screen = (m_editor->screen() ? m_editor->screen() : QGuiApplication::primaryScreen())->availableGeometry();
  constexpr int kGap = 8;
  int top = word.bottom() + kGap;
  if (top + dialog.height() > screen.bottom()) top = std::max(screen.top(), word.top() - kGap - dialog.height());
  move(x(), top);
}

void SpellingDialog::Change() { Replace(m_changeTo->text()); }

void SpellingDialog::ChangeAll() {
  m_changeAll.insert(m_word.selectedText(), m_changeTo->text());
  Replace(m_changeTo->text());
}

void SpellingDialog::IgnoreOnce() { ShowNextFrom(m_word.selectionEnd()); }

void SpellingDialog::IgnoreAll() {
  m_state.Ignore(m_word.selectedText());
  ShowNextFrom(m_word.selectionEnd());
}

void SpellingDialog::AddToDictionary() {
  if (!m_state.AddPersonalWord(m_word.selectedText()))
    QMessageBox::warning(this, kCaption, "The word could not be written to the personal dictionary.");
  ShowNextFrom(m_word.selectionEnd());
}

void SpellingDialog::Replace(const QString& replacement) {
  m_word.insertText(replacement);  // one undo step of the editor's document
  ShowNextFrom(m_word.position());
}

void SpellingDialog::ShowNextFrom(int from) {
  if (!m_editor) return reject();  // the editor went away under the dialog
  auto isMisspelt = [this](const QString& word) { return m_state.IsMisspelt(m_speller, word); };
  for (;;) {
    m_word = FindMisspeltWord(*m_editor->document(), from, isMisspelt);
    if (m_word.isNull()) return Complete();
    auto automatic = m_changeAll.constFind(m_word.selectedText());
    if (automatic == m_changeAll.constEnd()) break;
    m_word.insertText(*automatic);
    from = m_word.position();
  }
  m_editor->setTextCursor(m_word);
  m_editor->ensureCursorVisible();
  if (isVisible()) KeepWordInSight();
  const QString word = m_word.selectedText();
  const QStringList suggestions = m_speller.Suggestions(word);
  m_notInDictionary->setText(word);
  m_suggestions->clear();
  m_suggestions->addItems(suggestions);
  m_changeTo->setText(suggestions.isEmpty() ? word : suggestions.first());
  if (!suggestions.isEmpty()) m_suggestions->setCurrentRow(0);
  m_changeTo->setFocus();
}

void SpellingDialog::Complete() {
  hide();
  QMessageBox::information(parentWidget(), kCaption, "The spelling check is complete.");
  accept();
}

}  // namespace quarnspell
