#include "rtf/reader.h"

#include <array>

#include "platform/codepage.h"
#include "rtf/charset.h"
#include "rtf/field_instruction.h"
#include "rtf/reader_internal.h"

namespace mlf::rtf {
namespace detail {

Document Reader::Read() {
  for (;;) {
    Token token = tokens_.Next();
    if (token.kind != Token::Kind::kText && token.kind != Token::Kind::kControlSymbol)
      FlushText();
    else if (token.kind == Token::Kind::kControlSymbol && token.symbol != '\'')
      FlushText();
    switch (token.kind) {
      case Token::Kind::kEnd:
        FlushText();
        return Finish();
      case Token::Kind::kGroupStart:
        skip_ = 0;
        GroupStart(token.offset);
        break;
      case Token::Kind::kGroupEnd:
        skip_ = 0;
        if (Depth() == 0) break;  // a stray closing brace
        GroupEnd();
        if (Depth() == 0) return Finish();  // the document's group has ended: what follows is junk
        break;
      case Token::Kind::kText:
        if (!IsLayout(token)) Text(token.text);
        break;
      case Token::Kind::kControlChar:
        if (token.symbol == '\t' && State().destination == Destination::kBody && !IsLayout(token)) {
          if (skip_ > 0) { --skip_; break; }
          AppendCodePoint('\t');
        }
        break;
      case Token::Kind::kBinary:
        if (skip_ > 0) { --skip_; break; }
        if (State().destination == Destination::kPicture) picture_.data.append(token.text);
        break;
      case Token::Kind::kControlSymbol:
        if (token.symbol == '*') {
          Token next = tokens_.Next();
          if (next.kind == Token::Kind::kControlWord) {
            ControlWord(next, /*ignorable=*/true, token.offset);
          } else if (!KeepGroup(!bodyStarted_ && HeaderDepth() == 2, token.offset)) {  // "{\*" and no word
            tokens_.Rewind(next.offset);  // a stray \*: what follows is read as it is
          }
        } else {
          ControlSymbol(token);
        }
        break;
      case Token::Kind::kControlWord:
        ControlWord(token, /*ignorable=*/false, token.offset);
        break;
    }
  }
}

Document Reader::Finish() {
  doc_.codePage = documentCodePage_;
  if (!content_.empty()) EndParagraph();
  CloseTable();
  if (!blockSink_) NumberLists();  // else each block was numbered as it went out
  return std::move(doc_);
}

void Reader::GroupStart(size_t offset) {
  if (Depth() >= static_cast<size_t>(kMaxGroupDepth) || (State().skipsAnsiPart && !IsUnicodePart(offset))) {
    tokens_.SkipGroup();
    return;
  }
  if (State().destination == Destination::kPicture) {
    // Groups inside a picture ({\*\picprop ...}, {\*\blipuid ...}) are kept as they stand.
    if (tokens_.SkipGroup()) picture_.extra.append(tokens_.Input().substr(offset, tokens_.Position() - offset));
    return;
  }
  stack_.push_back(stack_.back());  // copied in place: a group starts with its parent's state
  GroupState& next = State();
  next.role = Role::kNone;
  next.start = offset;
  next.skipsAnsiPart = false;
}

void Reader::GroupEnd() {
  if (State().role == Role::kNone) {  // most groups: nothing to do but drop the state
    bool fontEnds = State().destination == Destination::kFontTable && fontOpen_;
    stack_.pop_back();
    if (fontEnds) FinishFont();
    return;
  }
  GroupState closing = std::move(stack_.back());
  stack_.pop_back();
  CloseGroupRole(closing);
}

void Reader::CloseGroupRole(const GroupState& closing) {
  switch (closing.role) {
    case Role::kNone: break;
    case Role::kKeepInHeader:
      doc_.header.append(tokens_.Input().substr(closing.start, tokens_.Position() - closing.start));
      break;
    case Role::kFontTable:
      if (fontOpen_) FinishFont();
      break;
    case Role::kPicture: {
      picture_.format = Format(closing.chr);
      StartBody();
      bool replacesFallback = closing.inShapePicture && lastImageFromNonShape_ &&
                              !content_.empty() && std::holds_alternative<Image>(content_.back());
      if (replacesFallback) content_.pop_back();
      AddInline(std::move(picture_));
      lastImageFromNonShape_ = closing.inNonShapePicture;
      picture_ = Image();
      break;
    }
    case Role::kOldNumbering:
      if (!oldNumberingHasStyle_ && oldNumbering_.style == ListFormat::Style::kNone)
        oldNumbering_.style = ListFormat::Style::kDecimal;
      if (oldNumbering_.style == ListFormat::Style::kBullet) {  // the bullet is the text before
        oldNumbering_.prefix.clear();
        oldNumbering_.suffix = ListFormat().suffix;
      }
      State().para.format.list = oldNumbering_;
      break;
    case Role::kLevelText:
      FinishLevelText();
      break;
    case Role::kField:
      EndField(closing);
      break;
  }
}

void Reader::Text(std::string_view bytes) {
  if (skip_ > 0) {
    size_t n = std::min(bytes.size(), static_cast<size_t>(skip_));
    skip_ -= static_cast<int>(n);
    bytes.remove_prefix(n);
    if (bytes.empty()) return;
  }
  switch (State().destination) {
    case Destination::kBody:
    case Destination::kFieldInstruction:
      if (pending_.empty()) {
        // ASCII reads the same in every code page but a symbol font's, and cannot finish a
        // double-byte character when no byte waits: most text goes straight to its run.
        bool symbolFont = false;
        if (IsAscii(bytes) && (CodePageOf(State().chr.font, symbolFont) != kCodePageSymbol ||
                               State().destination == Destination::kFieldInstruction)) {
          AppendUtf8Text(bytes);
          break;
        }
        pendingFont_ = State().chr.font;
      }
      pending_.append(bytes);
      break;
    case Destination::kPicture: {
      if (textOnly_) break;
      static constexpr std::array<int8_t, 256> kHex = [] {
        std::array<int8_t, 256> table{};
        table.fill(-1);
        for (int c = 0; c < 10; ++c) table['0' + c] = static_cast<int8_t>(c);
        for (int c = 0; c < 6; ++c) table['a' + c] = table['A' + c] = static_cast<int8_t>(10 + c);
        return table;
      }();
      // Pairs of hex digits; white space between them is allowed, an odd digit is dropped.
      std::string& data = picture_.data;
      int high = -1;
      for (unsigned char c : bytes) {
        int v = kHex[c];
        if (v < 0) continue;
        if (high < 0) {
          high = v;
        } else {
          data += static_cast<char>(high * 16 + v);
          high = -1;
        }
      }
      break;
    }
    case Destination::kFontTable:
      for (char c : bytes) {
        if (c == ';') {
          if (fontOpen_) FinishFont();
        } else if (fontOpen_) {
          fontNameBytes_ += c;
        }
      }
      break;
    case Destination::kLevelText:
    case Destination::kNumberBefore:
    case Destination::kNumberAfter: {
      std::string& text = NumberTextBeingRead();
      if (text.size() < kMaxNumberText) AppendDecoded(text, bytes.substr(0, kMaxNumberText), documentCodePage_, false);
      break;
    }
    case Destination::kColorTable:
      for (char c : bytes) {
        if (c != ';') continue;
        if (red_ < 0 && green_ < 0 && blue_ < 0) {
          doc_.colors.push_back(std::nullopt);
        } else {
          auto channel = [](int v) { return static_cast<Rgb>(std::clamp(v, 0, 255)); };
          doc_.colors.push_back(channel(red_) << 16 | channel(green_) << 8 | channel(blue_));
        }
        red_ = green_ = blue_ = -1;
      }
      break;
    default:
      break;
  }
}

void Reader::ByteChar(int byte) {
  if (byte < 0) return;
  if (skip_ > 0) {
    --skip_;
    return;
  }
  if (State().destination == Destination::kLevelText && (byte < 0x20 || levelTextLength_ < 0)) {
    // The text's length, then the places of the levels' numbers.
    if (levelTextLength_ < 0) levelTextLength_ = byte;
    else if (levelText_.size() < kMaxNumberText) levelText_ += static_cast<char>(byte);
    return;
  }
  if (byte < 0x20) {  // control characters are no text; a tab is a tab
    if (byte == '\t') AppendCodePoint('\t');
    return;
  }
  char c = static_cast<char>(byte);
  Text(std::string_view(&c, 1));
}

void Reader::ControlSymbol(const Token& token) {
  if (token.symbol == '\'') {
    ByteChar(token.parameter);
    return;
  }
  if (skip_ > 0 && token.symbol != '\\' && token.symbol != '{' && token.symbol != '}') {
    --skip_;
    return;
  }
  switch (token.symbol) {
    case '\\': case '{': case '}':
      if (skip_ > 0) { --skip_; return; }
      Text(std::string_view(&token.symbol, 1));
      break;
    case '~': AppendCodePoint(0x00A0); break;
    case '-': AppendCodePoint(0x00AD); break;
    case '_': AppendCodePoint(0x2011); break;
    case '\r': case '\n':
      if (State().destination == Destination::kBody) EndParagraph();
      break;
    default: break;  // \| \: and unknown symbols
  }
}

void Reader::ControlWord(const Token& token, bool ignorable, size_t from) {
  Word word = LookUpWord(token.name);
  if ((ignorable || IsDestination(word)) && OpenDestination(word, ignorable, from)) return;
  if (skip_ > 0 && word != Word::kU) {
    --skip_;
    return;
  }
  const int p = token.parameter;
  switch (State().destination) {
    case Destination::kFontTable: FontWord(word, token); return;
    case Destination::kColorTable:
      if (word == Word::kRed) red_ = p;
      if (word == Word::kGreen) green_ = p;
      if (word == Word::kBlue) blue_ = p;
      return;
    case Destination::kPicture: PictureWord(word, token); return;
    case Destination::kListTable:
    case Destination::kListOverrideTable: ListWord(word, token); return;
    case Destination::kOldNumbering: OldNumberingWord(word, token); return;
    case Destination::kLevelText:
    case Destination::kNumberBefore:
    case Destination::kNumberAfter:
      if (word == Word::kU) {
        skip_ = State().unicodeSkip;
        char32_t cp = static_cast<char32_t>(p < 0 ? p + 65536 : p) & 0xFFFF;
        std::string& text = NumberTextBeingRead();
        if (cp >= 0x20 && (cp < 0xD800 || cp >= 0xE000) && text.size() < kMaxNumberText) AppendUtf8(text, cp);
      }
      return;
    case Destination::kIgnore: return;
    case Destination::kBody:
    case Destination::kFieldInstruction: break;
  }
  switch (word) {
    case Word::kAnsi: case Word::kMac: case Word::kPc: case Word::kPca: case Word::kAnsicpg:
    case Word::kDeff:
      if (bodyStarted_) return;  // document properties belong before the text
      break;
    default: break;
  }
  switch (word) {
    case Word::kAnsi: documentCodePage_ = 1252; return;
    case Word::kMac: documentCodePage_ = 10000; return;
    case Word::kPc: documentCodePage_ = 437; return;
    case Word::kPca: documentCodePage_ = 850; return;
    case Word::kAnsicpg:
      if (p > 0) documentCodePage_ = UsableCodePage(p);
      return;
    case Word::kDeff: doc_.defaultFont = FontNumber(p); return;
    case Word::kU: {
      char32_t cp = static_cast<char32_t>(p < 0 ? p + 65536 : p) & 0xFFFF;
      skip_ = State().unicodeSkip;
      if (cp >= 0xD800 && cp < 0xDC00) {
        highSurrogate_ = cp;
        return;
      }
      if (cp >= 0xDC00 && cp < 0xE000) {
        if (highSurrogate_ == 0) return;  // a low half alone means nothing
        cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
      }
      highSurrogate_ = 0;
      if (cp < 0x20 && cp != '\t') return;
      bool symbolFont = false;
      if (cp >= 0xF020 && cp <= 0xF0FF && CodePageOf(State().chr.font, symbolFont) == kCodePageSymbol)
        cp = SymbolToUnicode(static_cast<unsigned char>(cp - 0xF000), symbolFont);
      AppendCodePoint(cp);
      return;
    }
    case Word::kUc: State().unicodeSkip = std::clamp(p, 0, 16); return;
    case Word::kLayout:
      if (!bodyStarted_) {
        doc_.header += '\\';
        doc_.header += token.name;
        if (token.hasParameter) doc_.header += std::to_string(p);
      }
      return;
    default: break;
  }
  if (State().destination != Destination::kBody) return;
  switch (word) {
    case Word::kCell: case Word::kNestcell: case Word::kNestrow: case Word::kRow:
    case Word::kTrowd: case Word::kCellx: case Word::kTrleft: case Word::kTrgaph:
      if (!fields_.empty()) return;  // a field's result is text, never part of a table's frame
      break;
    default: break;
  }
  switch (word) {
    case Word::kPar: EndParagraph(); return;
    case Word::kSect:
      if (!content_.empty()) EndParagraph();
      return;
    case Word::kLine: AppendCodePoint(0x2028); return;
    case Word::kTab: AppendCodePoint('\t'); return;
    case Word::kPage:
      if (!content_.empty()) EndParagraph();
      pageBreakPending_ = true;
      StartBody();
      return;
    case Word::kEmdash: AppendCodePoint(0x2014); return;
    case Word::kEndash: AppendCodePoint(0x2013); return;
    case Word::kEmspace: AppendCodePoint(0x2003); return;
    case Word::kEnspace: AppendCodePoint(0x2002); return;
    case Word::kQmspace: AppendCodePoint(0x2005); return;
    case Word::kBullet: AppendCodePoint(0x2022); return;
    case Word::kLquote: AppendCodePoint(0x2018); return;
    case Word::kRquote: AppendCodePoint(0x2019); return;
    case Word::kLdblquote: AppendCodePoint(0x201C); return;
    case Word::kRdblquote: AppendCodePoint(0x201D); return;
    case Word::kZwj: AppendCodePoint(0x200D); return;
    case Word::kZwnj: AppendCodePoint(0x200C); return;
    case Word::kLtrmark: AppendCodePoint(0x200E); return;
    case Word::kRtlmark: AppendCodePoint(0x200F); return;
    case Word::kCell: EndCell(); return;
    case Word::kNestcell: EndParagraph(); return;
    case Word::kNestrow: if (!content_.empty()) EndParagraph(); return;
    case Word::kRow: EndRow(); return;
    case Word::kTrowd:
      rowDefinition_ = TableRow();
      cellEdges_.clear();
      rowOpen_ = true;
      return;
    case Word::kCellx: cellEdges_.push_back(p); return;
    case Word::kTrleft: rowDefinition_.leftEdge = p; return;
    case Word::kTrgaph: rowDefinition_.cellGap = p; return;
    default: break;
  }
  CharWord(word, token);
  ParaWord(word, token);
}

// Handles the words that open a destination; false for every other word.
bool Reader::OpenDestination(Word word, bool ignorable, size_t from) {
  GroupState& state = State();
  const bool topLevel = HeaderDepth() == 2 && !bodyStarted_;
  switch (word) {
    case Word::kFonttbl: case Word::kColortbl: case Word::kField: case Word::kFldrslt:
    case Word::kPict: case Word::kShppict: case Word::kNonshppict: case Word::kOpaqueGroup:
    case Word::kPntext: case Word::kListtext: case Word::kPn:
      // Inside a table or another destination these mean nothing.
      if (state.destination != Destination::kBody) return false;
      break;
    default: break;
  }
  switch (word) {
    case Word::kFonttbl:
    case Word::kColortbl:
      // The document's tables are groups of the document itself, before its text; elsewhere
      // they are skipped, never text.
      if (!topLevel) return SkipRestOfGroup(from);
      break;
    default: break;
  }
  switch (word) {
    case Word::kFonttbl:
      state.destination = Destination::kFontTable;
      state.role = Role::kFontTable;
      return true;
    case Word::kColortbl:
      state.destination = Destination::kColorTable;
      return true;
    case Word::kHeaderGroup:
      return KeepGroup(topLevel, from);
    case Word::kListtable:
    case Word::kListoverridetable:
      // Read for the numbering styles, and kept with the document as it stands.
      if (!OpensGroup(from)) return false;
      state.destination =
          word == Word::kListtable ? Destination::kListTable : Destination::kListOverrideTable;
      // Kept once, by the outermost; a field keeps what it holds itself.
      if (!state.inHeaderGroup && fields_.empty()) state.role = Role::kKeepInHeader;
      state.inHeaderGroup = true;
      return true;
    case Word::kField: {
      StartBody();
      state.role = Role::kField;
      FlushText();
      Field field;
      field.start = state.start;
      field.paragraphsBefore = paragraphsEnded_;
      field.contentBefore = content_.size();
      field.keepWhole = OpensGroup(from);
      field.unicodeSkip = state.unicodeSkip;
      field.font = state.chr.font;
      field.format = Format(state.chr);
      fields_.push_back(std::move(field));
      canExtendRun_ = false;
      return true;
    }
    case Word::kFldinst:
      state.destination = fields_.empty() ? Destination::kIgnore : Destination::kFieldInstruction;
      return true;
    case Word::kFldrslt:
      state.destination = Destination::kBody;
      if (!fields_.empty()) {
        Field& field = fields_.back();
        std::string target = HyperlinkTarget(field.instruction);
        if (!target.empty()) {
          links_.push_back(std::move(target));
          field.link = static_cast<int>(links_.size() - 1);
          state.chr.link = field.link;
        }
      }
      return true;
    case Word::kPict:
      state.destination = Destination::kPicture;
      state.role = Role::kPicture;
      picture_ = Image();
      return true;
    case Word::kShppict:
      state.inShapePicture = true;
      return true;
    case Word::kNonshppict:
      if (!content_.empty() && std::holds_alternative<Image>(content_.back()) && !lastImageFromNonShape_) {
        SkipRestOfGroup(from);  // the picture already read from \shppict is preferred
      } else {
        state.inNonShapePicture = true;
      }
      return true;
    case Word::kOpaqueGroup:
      return KeepGroup(false, from);
    case Word::kPntext:
    case Word::kListtext:
      // The visible number or bullet, which the list format reproduces.
      return SkipRestOfGroup(from);
    case Word::kNesttableprops:
      // The frame of a table inside a table cell: the model keeps the inner table's cells as
      // paragraphs of the outer cell.
    case Word::kNonesttables:
      // What readers without nested tables show instead of them.
      return SkipRestOfGroup(from);
    case Word::kUpr:
    case Word::kUd:
      // {\upr{ANSI form}{\*\ud{Unicode form}}}: one form is read, the Unicode one when it is
      // there, as if it stood where the pair stands.
      if (!OpensGroup(from)) return false;
      ++state.wrappers;
      if (word == Word::kUpr) state.skipsAnsiPart = HasUnicodePart();
      return true;
    case Word::kPn:
      state.destination = Destination::kOldNumbering;
      state.role = Role::kOldNumbering;
      oldNumbering_ = ListFormat();
      oldNumbering_.suffix.clear();  // no text after the number unless \pntxta gives one
      oldNumberingHasStyle_ = false;
      return true;
    default:
      if (ignorable) {
        return KeepGroup(topLevel, from);
      }
      return false;
  }
}

bool Reader::OpensGroup(size_t from) const {
  if (Depth() < 2) return false;
  size_t start = stack_.back().start;
  std::string_view before = tokens_.Input().substr(start + 1, from - start - 1);
  return before.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool Reader::IsLayout(const Token& token) const {
  if (token.kind == Token::Kind::kText && token.text.find_first_not_of(' ') != std::string_view::npos) return false;
  if (!bodyStarted_ && pending_.empty() && State().destination == Destination::kBody) return true;
  if (Depth() < 2 || !OpensGroup(token.offset)) return false;
  Tokenizer peek = tokens_;
  Token next = peek.Next();
  while ((next.kind == Token::Kind::kText && next.text.find_first_not_of(' ') == std::string_view::npos) ||
         (next.kind == Token::Kind::kControlChar && next.symbol == '\t'))
    next = peek.Next();
  if (next.kind == Token::Kind::kControlSymbol) return next.symbol == '*';
  return next.kind == Token::Kind::kControlWord && IsDestination(LookUpWord(next.name));
}

// Whether the group of an \upr has a \ud part among its own groups.
bool Reader::HasUnicodePart() const {
  Tokenizer scan = tokens_;
  for (;;) {
    Token token = scan.Next();
    if (token.kind == Token::Kind::kEnd || token.kind == Token::Kind::kGroupEnd) return false;
    if (token.kind != Token::Kind::kGroupStart) continue;
    if (IsUnicodePart(token.offset)) return true;
    scan.SkipGroup();
  }
}

bool Reader::IsUnicodePart(size_t groupStart) const {
  Tokenizer peek(tokens_.Input());
  peek.Rewind(groupStart + 1);
  Token token = peek.Next();
  while (token.kind == Token::Kind::kText && token.text.find_first_not_of(' ') == std::string_view::npos)
    token = peek.Next();
  if (token.kind == Token::Kind::kControlSymbol && token.symbol == '*') token = peek.Next();
  return token.kind == Token::Kind::kControlWord && token.name == "ud";
}

std::string& Reader::NumberTextBeingRead() {
  switch (State().destination) {
    case Destination::kNumberBefore: return oldNumbering_.prefix;
    case Destination::kNumberAfter: return oldNumbering_.suffix;
    default: return levelText_;
  }
}

// The input from start to here, a field's group. It is written back where \uc1 and the font
// of its format are in effect. A field read under another \uc, or in another font of the same
// name, is wrapped in a group that says what it was read in, so that its result reads the same.
std::string Reader::KeptField(size_t start, int unicodeSkip, int font) const {
  std::string_view group = tokens_.Input().substr(start, tokens_.Position() - start);
  std::string context;
  if (unicodeSkip != 1 && group.find("\\u") != std::string_view::npos)
    context = "\\uc" + std::to_string(unicodeSkip);
  bool hasBytes = group.find("\\'") != std::string_view::npos ||
                  std::any_of(group.begin(), group.end(), [](char c) { return c & 0x80; });
  if (font < 0) font = doc_.defaultFont;
  if (hasBytes && FindFont(font) != nullptr) context += "\\f" + std::to_string(font);
  if (context.empty()) return std::string(group);
  return "{" + context + " " + std::string(group) + "}";
}

bool Reader::SkipRestOfGroup(size_t from) {
  if (!OpensGroup(from)) return false;
  stack_.pop_back();
  tokens_.SkipGroup();
  return true;
}

bool Reader::KeepGroup(bool inHeader, size_t from) {
  if (!OpensGroup(from)) return false;
  inHeader = inHeader && fields_.empty();  // a field keeps what it holds itself
  size_t start = State().start;
  GroupState closing = std::move(stack_.back());
  stack_.pop_back();
  if (!tokens_.SkipGroup()) return true;  // cut off by the end of the input: not worth keeping
  std::string rtf(tokens_.Input().substr(start, tokens_.Position() - start));
  switch (State().destination) {
    case Destination::kBody:
      if (inHeader) {
        doc_.header.append(rtf);
      } else {
        StartBody();
        AddInline(Fragment{std::move(rtf), std::string(), Format(closing.chr)});
      }
      break;
    case Destination::kPicture: picture_.extra.append(rtf); break;
    case Destination::kFontTable:
      if (fontOpen_) font_.extra.append(rtf);
      break;
    default: break;
  }
  return true;
}

}  // namespace detail

Document ReadRtf(std::string_view rtf) { return detail::Reader(rtf).Read(); }

Document ReadRtfText(std::string_view rtf) { return detail::Reader(rtf, /*textOnly=*/true).Read(); }

void ReadRtfText(std::string_view rtf, const std::function<void(const Block&)>& each) {
  detail::Reader(rtf, /*textOnly=*/true, &each).Read();
}

}  // namespace mlf::rtf
