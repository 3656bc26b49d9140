#include "rtf/tokenizer.h"

#include <array>
#include <climits>

namespace mlf::rtf {
namespace {

// Bytes that end a run of literal text.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 0x20; ++c) table[c] = true;
  table['\\'] = table['{'] = table['}'] = true;
  return table;
}();

bool IsLetter(char c) { return static_cast<unsigned>((c | 0x20) - 'a') < 26u; }
bool IsDigit(char c) { return static_cast<unsigned>(c - '0') < 10u; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Token Tokenizer::Next() {
  const size_t size = input_.size();
  while (pos_ < size && (input_[pos_] == '\r' || input_[pos_] == '\n')) ++pos_;
  Token token;
  token.offset = pos_;
  if (pos_ >= size) return token;
  const unsigned char c = static_cast<unsigned char>(input_[pos_]);
  if (c == '{') {
    ++pos_;
    token.kind = Token::Kind::kGroupStart;
  } else if (c == '}') {
    ++pos_;
    token.kind = Token::Kind::kGroupEnd;
  } else if (c == '\\') {
    return ReadControl(pos_);
  } else if (c < 0x20) {
    ++pos_;
    token.kind = Token::Kind::kControlChar;
    token.symbol = static_cast<char>(c);
  } else {
    size_t end = pos_ + 1;
    auto special = [&](size_t at) { return kSpecial[static_cast<unsigned char>(input_[at])]; };
    while (end + 4 <= size && !(special(end) | special(end + 1) | special(end + 2) | special(end + 3))) end += 4;
    while (end < size && !special(end)) ++end;
    token.kind = Token::Kind::kText;
    token.text = input_.substr(pos_, end - pos_);
    pos_ = end;
  }
  return token;
}

Token Tokenizer::ReadControl(size_t start) {
  const size_t size = input_.size();
  Token token;
  token.offset = start;
  size_t p = start + 1;
  if (p >= size) {  // a lone backslash at the end
    pos_ = p;
    return token;
  }
  if (!IsLetter(input_[p])) {
    token.kind = Token::Kind::kControlSymbol;
    token.symbol = input_[p++];
    if (token.symbol == '\'') {
      int high = p < size ? HexValue(input_[p]) : -1;
      int low = p + 1 < size ? HexValue(input_[p + 1]) : -1;
      if (high >= 0 && low >= 0) {
        token.parameter = high * 16 + low;
        p += 2;
      } else {
        token.parameter = -1;
      }
    }
    pos_ = p;
    return token;
  }
  size_t nameStart = p;
  while (p < size && IsLetter(input_[p])) ++p;
  token.kind = Token::Kind::kControlWord;
  token.name = std::string_view(input_.data() + nameStart, p - nameStart);
  bool negative = p < size && input_[p] == '-' && p + 1 < size && IsDigit(input_[p + 1]);
  if (negative) ++p;
  if (p < size && IsDigit(input_[p])) {
    long long value = 0;
    while (p < size && IsDigit(input_[p])) {
      if (value <= INT_MAX) value = value * 10 + (input_[p] - '0');
      ++p;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    token.hasParameter = true;
    token.parameter = static_cast<int>(value);
  }
  if (p < size && input_[p] == ' ') ++p;  // the delimiting space belongs to the word
  pos_ = p;
  if (token.name == "bin") {
    // \binN: N raw bytes follow; without a count there are none.
    size_t count = token.hasParameter && token.parameter > 0 ? static_cast<size_t>(token.parameter) : 0;
    if (count > size - pos_) count = size - pos_;
    token.kind = Token::Kind::kBinary;
    token.text = input_.substr(pos_, count);
    pos_ += count;
  }
  return token;
}

bool Tokenizer::SkipGroup() {
  int depth = 1;
  const size_t size = input_.size();
  while (pos_ < size) {
    char c = input_[pos_];
    if (c == '{') {
      ++depth;
      ++pos_;
    } else if (c == '}') {
      ++pos_;
      if (--depth == 0) return true;
    } else if (c == '\\') {
      Next();  // a control word or symbol, with the data of \bin
    } else {
      ++pos_;
    }
  }
  return false;
}

}  // namespace mlf::rtf
