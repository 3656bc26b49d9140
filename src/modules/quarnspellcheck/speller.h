// One language's Hunspell dictionary, spoken to in QString: Hunspell wants words in the
// dictionary's own encoding.
#pragma once

#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <memory>

#include "modules/quarnspellcheck/dictionary_folders.h"

class Hunspell;

namespace quarnspell {

class Speller {
 public:
  explicit Speller(const DictionaryFiles& files);
  ~Speller();
  Speller(const Speller&) = delete;
  Speller& operator=(const Speller&) = delete;

  // Words longer than Hunspell can take are not checked: they count as correct.
  bool IsCorrect(const QString& word);
  QStringList Suggestions(const QString& word);
  // Accepts the word for the life of this object (the personal dictionary keeps it beyond).
  void Accept(const QString& word);
  void Forget(const QString& word);

 private:
  std::string Encode(const QString& word);

  std::unique_ptr<Hunspell> m_hunspell;
  QStringEncoder m_encoder;
  QStringDecoder m_decoder;
  // Answers given so far: checking as you type asks about the same words again and again.
  QHash<QString, bool> m_answers;
};

}  // namespace quarnspell
