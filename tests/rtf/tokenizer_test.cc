#include "rtf/tokenizer.h"

#include <gtest/gtest.h>

#include <string>

namespace mlf::rtf {
namespace {

// One letter per token kind, then what the token carries.
std::string Describe(std::string_view rtf) {
  Tokenizer tokenizer(rtf);
  std::string out;
  for (Token t = tokenizer.Next(); t.kind != Token::Kind::kEnd; t = tokenizer.Next()) {
    switch (t.kind) {
      case Token::Kind::kGroupStart: out += "{ "; break;
      case Token::Kind::kGroupEnd: out += "} "; break;
      case Token::Kind::kControlWord:
        out += "w:" + std::string(t.name) + (t.hasParameter ? std::to_string(t.parameter) : "") + " ";
        break;
      case Token::Kind::kControlSymbol:
        out += std::string("s:") + t.symbol + (t.symbol == '\'' ? std::to_string(t.parameter) : "") + " ";
        break;
      case Token::Kind::kText: out += "t:" + std::string(t.text) + " "; break;
      case Token::Kind::kControlChar: out += "c:" + std::to_string(t.symbol) + " "; break;
      case Token::Kind::kBinary: out += "b:" + std::string(t.text) + " "; break;
      case Token::Kind::kEnd: break;
    }
  }
  return out;
}

TEST(RtfTokenizerTest, SplitsTokens) {
  struct Case {
    std::string rtf, tokens;
  } cases[] = {
      {"{\\b bold}", "{ w:b t:bold } "},
      {"\\fs-24x", "w:fs-24 t:x "},
      {"\\li99999999999 x", "w:li2147483647 t:x "},
      {"\\'e9\\'4", "s:'233 s:'-1 t:4 "},
      {"a\r\nb\tc", "t:a t:b c:9 t:c "},
      {"\\bin3 {}\\x", "b:{}\\ t:x "},
      {"\\bin x", "b: t:x "},
      {"\\bin99 ab", "b:ab "},
      {"\\\\\\{\\}\\*\\~", "s:\\ s:{ s:} s:* s:~ "},
      {"\\", ""},
      {"\\-5", "s:- t:5 "},
  };
  for (const Case& c : cases) EXPECT_EQ(Describe(c.rtf), c.tokens) << c.rtf;
}

TEST(RtfTokenizerTest, SkipGroupHonoursEscapesAndBinaryData) {
  Tokenizer tokenizer("{\\*\\x a\\}{b}\\bin2 }}}tail");
  tokenizer.Next();  // {
  tokenizer.SkipGroup();
  Token next = tokenizer.Next();
  EXPECT_EQ(next.text, "tail");
}

}  // namespace
}  // namespace mlf::rtf
