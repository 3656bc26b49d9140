// Splits RTF bytes into tokens: group braces, control words with their parameter, control
// symbols, runs of literal text and the data of \bin. Never fails: whatever the bytes, it ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mlf::rtf {

struct Token {
  enum class Kind : uint8_t {
    kEnd,
    kGroupStart,
    kGroupEnd,
    kControlWord,    // name holds the letters
    kControlSymbol,  // symbol holds the character; for \'hh, parameter holds the byte (-1 if bad)
    kText,           // text holds bytes without CR, LF or other control characters
    kControlChar,    // a literal byte below 0x20 other than CR and LF (symbol holds it)
    kBinary,         // text holds the bytes of \binN
  };
  Kind kind = Kind::kEnd;
  char symbol = 0;
  bool hasParameter = false;
  int parameter = 0;
  std::string_view name;
  std::string_view text;
  size_t offset = 0;  // where the token starts in the input
};

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view input) : input_(input) {}

  Token Next();
  // Skips the rest of the group whose opening brace was the last group start read, up to and
  // including its closing brace; false when the input ended before it.
  bool SkipGroup();
  // Reads again from an offset a token started at.
  void Rewind(size_t offset) { pos_ = offset; }
  // The offset just after the last token read.
  size_t Position() const { return pos_; }
  std::string_view Input() const { return input_; }

 private:
  Token ReadControl(size_t start);

  std::string_view input_;
  size_t pos_ = 0;
};

}  // namespace mlf::rtf
