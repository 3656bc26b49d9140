#include "modules/quarnspellcheck/module_state.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include "modules/quarnspellcheck/dictionary_folders.h"
#include "modules/quarnspellcheck/typing_checker.h"

namespace quarnspell {
namespace {

constexpr const char* kSettingsFile = "quarnspellcheck.ini";
constexpr const char* kPersonalFile = "personal.dic";
constexpr const char* kDictionaryFolder = "dictionaries";

}  // namespace

ModuleState& ModuleState::Instance() {
  static ModuleState state;
  return state;
}

ModuleState::~ModuleState() = default;

QString ModuleState::UserFolder() const {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath("Quarn/quarnspellcheck");
}

QStringList ModuleState::SearchedFolders() const {
  return DictionaryFolders(QDir(UserFolder()).filePath(kDictionaryFolder));
}

void ModuleState::Start() {
  QSettings stored(QDir(UserFolder()).filePath(kSettingsFile), QSettings::IniFormat);
  SpellSettings defaults;
  m_settings.language = stored.value("Language", defaults.language).toString();
  m_settings.checkAsYouType = stored.value("CheckAsYouType", defaults.checkAsYouType).toBool();
  m_personal.Load(QDir(UserFolder()).filePath(kPersonalFile));
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) m_typing = std::make_unique<TypingWatcher>(*this);
  m_started = true;
}

void ModuleState::Stop() {
  m_typing.reset();
  for (const QuarnSpellChecker* checker : m_checkers) delete checker;
  m_checkers.clear();
  m_spellers.clear();
  m_ignored.clear();
  m_reportedLanguages.clear();
  m_started = false;
}

void ModuleState::SetSettings(const SpellSettings& settings) {
  m_settings = settings;
  QSettings stored(QDir(UserFolder()).filePath(kSettingsFile), QSettings::IniFormat);
  stored.setValue("Language", settings.language);
  stored.setValue("CheckAsYouType", settings.checkAsYouType);
  RefreshTyping();
}

Speller* ModuleState::SpellerFor(const QString& language, QString& error) {
  if (auto it = m_spellers.find(language); it != m_spellers.end()) return it->second.get();
  std::optional<DictionaryFiles> files = FindDictionary(language, SearchedFolders(), error);
  if (!files) return nullptr;
  auto speller = std::make_unique<Speller>(*files);
  for (const QString& word : m_personal.Words()) speller->Accept(word);
  return m_spellers.emplace(language, std::move(speller)).first->second.get();
}

bool ModuleState::IsMisspelt(Speller& speller, const QString& word) const {
  return !m_ignored.contains(word) && !speller.IsCorrect(word);
}

bool ModuleState::AddPersonalWord(const QString& word) {
  for (auto& [language, speller] : m_spellers) speller->Accept(word);
  RefreshTyping();
  return m_personal.Add(word);
}

bool ModuleState::RemovePersonalWord(const QString& word) {
  for (auto& [language, speller] : m_spellers) speller->Forget(word);
  RefreshTyping();
  return m_personal.Remove(word);
}

void ModuleState::Ignore(const QString& word) {
  m_ignored.insert(word);
  RefreshTyping();
}

void ModuleState::RefreshTyping() {
  if (m_typing) m_typing->RefreshAll();
}

void ModuleState::ReportMissingDictionary(const QString& language, const QString& error, QWidget* editor) {
  if (!m_typing || m_reportedLanguages.contains(language)) return;
  m_reportedLanguages.insert(language);
  // Not from within the marking, which runs while the editor lays itself out; and with the
  // watcher as context, so nothing of the module runs once it has shut down.
  QPointer<QWidget> window = editor ? editor->window() : nullptr;
  QTimer::singleShot(0, m_typing.get(), [window, error] {
    QMessageBox::information(window, "Spelling",
                             error + "\n\nWords are not checked as you type until the dictionary is installed "
                                     "or another language is chosen in the spelling options.");
  });
}

QuarnSpellChecker* ModuleState::OpenChecker() {
  auto* checker = new QuarnSpellChecker{m_settings.language, nullptr, {}};
  checker->speller = SpellerFor(checker->language, checker->error);
  m_checkers.insert(checker);
  return checker;
}

void ModuleState::CloseChecker(QuarnSpellChecker* checker) {
  if (m_checkers.erase(checker)) delete checker;
}

}  // namespace quarnspell
