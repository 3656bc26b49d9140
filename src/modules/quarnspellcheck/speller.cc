#include "modules/quarnspellcheck/speller.h"

#include <QFile>

#include <hunspell.hxx>

namespace quarnspell {
namespace {

// Hunspell's own limit on a word's length (MAXWORDLEN).
constexpr qsizetype kLongestWord = 100;

// The dictionary's encoding as Qt names it; UTF-8 when Qt does not know it.
QByteArray EncodingName(const Hunspell& hunspell) {
  QByteArray name = QByteArray::fromStdString(hunspell.get_dict_encoding());
  return QStringEncoder(name.constData()).isValid() ? name : QByteArray("UTF-8");
}

}  // namespace

Speller::Speller(const DictionaryFiles& files)
    : m_hunspell(std::make_unique<Hunspell>(QFile::encodeName(files.affix).constData(),
                                            QFile::encodeName(files.words).constData())),
      m_encoder(EncodingName(*m_hunspell).constData()),
      m_decoder(EncodingName(*m_hunspell).constData()) {}

Speller::~Speller() = default;

std::string Speller::Encode(const QString& word) {
  QByteArray bytes = m_encoder.encode(word);
  return bytes.toStdString();
}

bool Speller::IsCorrect(const QString& word) {
  if (word.size() > kLongestWord) return true;
  auto known = m_answers.constFind(word);
  if (known != m_answers.constEnd()) return *known;
  bool correct = m_hunspell->spell(Encode(word));
  m_answers.insert(word, correct);
  return correct;
}

QStringList Speller::Suggestions(const QString& word) {
  QStringList list;
  if (word.size() > kLongestWord) return list;
  for (const std::string& suggestion : m_hunspell->suggest(Encode(word)))
    list << m_decoder.decode(QByteArray::fromStdString(suggestion));
  return list;
}

void Speller::Accept(const QString& word) {
  m_hunspell->add(Encode(word));
  m_answers.remove(word);
}

void Speller::Forget(const QString& word) {
  m_hunspell->remove(Encode(word));
  m_answers.remove(word);
}

}  // namespace quarnspell
