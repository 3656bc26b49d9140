// What the module holds between calls: its settings, the loaded dictionaries, the user's
// personal words, the words ignored for this run, and the open checkers. One object for the
// process, used from the user-interface thread only.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <set>

#include "modules/quarnspellcheck/personal_dictionary.h"
#include "modules/quarnspellcheck/quarnspellcheck_abi.h"
#include "modules/quarnspellcheck/speller.h"

class QWidget;

// A checker of ordinal 20: the language it was opened for and its dictionary, or why there
// is none.
struct QuarnSpellChecker {
  QString language;
  quarnspell::Speller* speller = nullptr;
  QString error;
};

namespace quarnspell {

class TypingWatcher;

struct SpellSettings {
  QString language = "en_US";
  bool checkAsYouType = true;
};

class ModuleState {
 public:
  static ModuleState& Instance();
  ~ModuleState();

  // Reads the settings and the personal words from the user's folder; in a program with a
  // user interface, starts checking as you type.
  void Start();
  // Releases every checker and dictionary and takes the marks of checking as you type away.
  void Stop();
  bool IsStarted() const { return m_started; }

  // <user configuration folder>/Quarn/quarnspellcheck: settings, personal words and a
  // "dictionaries" folder searched before the system's.
  QString UserFolder() const;
  QStringList SearchedFolders() const;

  const SpellSettings& Settings() const { return m_settings; }
  void SetSettings(const SpellSettings& settings);

  // The language's dictionary with the personal words added, loaded once; null with the
  // reason in error when there is none.
  Speller* SpellerFor(const QString& language, QString& error);

  bool IsMisspelt(Speller& speller, const QString& word) const;
  const QStringList& PersonalWords() const { return m_personal.Words(); }
  bool AddPersonalWord(const QString& word);
  bool RemovePersonalWord(const QString& word);
  // "Ignore All": the word passes every check until the module shuts down.
  void Ignore(const QString& word);
  // Every editor checked as you type marks its words again.
  void RefreshTyping();
  // Checking as you type found no dictionary for the language: the text is checked against
  // none, and the user is told why once per run and language, over the editor's window.
  void ReportMissingDictionary(const QString& language, const QString& error, QWidget* editor);

  QuarnSpellChecker* OpenChecker();
  bool IsOpen(const QuarnSpellChecker* checker) const { return m_checkers.contains(checker); }
  void CloseChecker(QuarnSpellChecker* checker);

 private:
  bool m_started = false;
  SpellSettings m_settings;
  PersonalDictionary m_personal;
  QSet<QString> m_ignored;
  QSet<QString> m_reportedLanguages;
  std::map<QString, std::unique_ptr<Speller>> m_spellers;
  std::set<const QuarnSpellChecker*> m_checkers;
  std::unique_ptr<TypingWatcher> m_typing;
};

}  // namespace quarnspell
