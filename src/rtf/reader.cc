#include "rtf/reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>
#include <utility>

#include "platform/codepage.h"
#include "rtf/charset.h"
#include "rtf/control_words.h"
#include "rtf/field_instruction.h"
#include "rtf/tokenizer.h"

namespace mlf::rtf {
namespace {

enum class Destination : uint8_t {
  kBody, kFontTable, kColorTable, kFieldInstruction, kPicture, kOldNumbering, kListTable,
  kListOverrideTable, kIgnore,
};

// What has to happen when a group closes.
enum class Role : uint8_t { kNone, kField, kPicture, kOldNumbering, kFontTable, kKeepInHeader };

// Character properties as the reader tracks them: numbers into the document's tables, so that
// copying and comparing them is cheap.
struct CharState {
  int font = -1;  // a font number; -1: the default font
  int halfPoints = 24;
  bool bold = false, italic = false, strike = false, hidden = false;
  Underline underline = Underline::kNone;
  VerticalAlign vertical = VerticalAlign::kBaseline;
  int color = 0;
  int background = 0;
  int link = -1;  // into Reader::links_
  bool operator==(const CharState&) const = default;
};

struct ParaState {
  ParagraphFormat format;
  bool inTable = false;
  int listOverride = 0;  // \ls
  int listLevel = 0;     // \ilvl
  TabStop nextTab;       // kind and leader given before the \tx they belong to
};

struct GroupState {
  Destination destination = Destination::kBody;
  Role role = Role::kNone;
  bool inShapePicture = false;     // inside \shppict
  bool inNonShapePicture = false;  // inside \nonshppict
  bool inHeaderGroup = false;      // inside a group kept whole in the document's header
  int unicodeSkip = 1;             // \uc
  size_t start = 0;                // offset of the group's opening brace
  CharState chr;
  ParaState para;
};

struct Field {
  size_t start;
  std::string instruction;
  int link = -1;
  size_t paragraphsBefore;  // paragraphs ended before the field began
  size_t contentBefore;     // inline items of the paragraph before the field began
  bool keepWhole;           // the field's group holds nothing but the field
  int unicodeSkip;          // the \uc and font in effect around the field
  int font;
  CharFormat format;
};

struct ListLevel {
  ListFormat::Style style = ListFormat::Style::kDecimal;
  int start = 1;
};

// Font numbers are kept in a range where one more is still a number.
int FontNumber(int parameter) { return std::clamp(parameter, 0, 1 << 20); }

ListFormat::Style StyleOfNumberFormat(int nfc) {
  switch (nfc) {
    case 1: return ListFormat::Style::kUpperRoman;
    case 2: return ListFormat::Style::kLowerRoman;
    case 3: return ListFormat::Style::kUpperAlpha;
    case 4: return ListFormat::Style::kLowerAlpha;
    case 23: return ListFormat::Style::kBullet;
    case 255: return ListFormat::Style::kNone;
    default: return ListFormat::Style::kDecimal;
  }
}

class Reader {
 public:
  explicit Reader(std::string_view input) : tokens_(input) { stack_.emplace_back(); }

  Document Read();

 private:
  GroupState& State() { return stack_.back(); }
  size_t Depth() const { return stack_.size() - 1; }

  void GroupStart(size_t offset);
  void GroupEnd();
  void CloseGroupRole(const GroupState& closing);
  void Text(std::string_view bytes);
  void ByteChar(int byte);
  void ControlSymbol(const Token& token);
  // from: where the word starts, with the \* before it.
  void ControlWord(const Token& token, bool ignorable, size_t from);
  bool OpenDestination(Word word, bool ignorable, size_t from);
  void CharWord(Word word, const Token& token);
  void ParaWord(Word word, const Token& token);
  void FontWord(Word word, const Token& token);
  void PictureWord(Word word, const Token& token);
  void ListWord(Word word, const Token& token);
  void OldNumberingWord(Word word, const Token& token);

  // A destination is the first word of its group, and never the document's own group.
  bool OpensGroup(size_t from) const;
  // Keeps the current group verbatim: in the header, in the font being read, or as a fragment
  // in the text. False, and nothing done, when "from" does not open the group.
  bool KeepGroup(bool inHeader, size_t from);
  bool SkipRestOfGroup(size_t from);
  std::string KeptField(size_t start, int unicodeSkip, int font) const;

  void FlushText();
  void AppendCodePoint(char32_t cp);
  void AppendUtf8Text(std::string_view utf8);
  void StartBody() { bodyStarted_ = true; }
  void AddInline(Inline item);
  CharFormat Format(const CharState& chr) const;
  // A font of the table with what its text is decoded by.
  struct FontEntry {
    size_t index;
    unsigned codePage;
    bool symbol;
  };
  const FontEntry* FindEntry(int number) const;
  const Font* FindFont(int number) const;
  unsigned CodePageOf(int fontNumber, bool& symbolFont) const;
  ParagraphFormat ResolvedFormat(const ParaState& para) const;
  Paragraph TakeParagraph();
  void EndParagraph();
  void EndCell();
  void EndRow();
  void CloseTable();
  void FlushFontName();
  void FinishFont();
  void EndField(const GroupState& closing);

  Tokenizer tokens_;
  std::vector<GroupState> stack_;
  Document doc_;
  unsigned documentCodePage_ = 1252;
  bool bodyStarted_ = false;
  int skip_ = 0;               // fallback characters still to skip after \u
  char32_t highSurrogate_ = 0;

  // Text bytes waiting to be decoded together, with where they go.
  std::string pending_;
  int pendingFont_ = -1;

  std::vector<std::string> links_;
  std::vector<Field> fields_;
  size_t paragraphsEnded_ = 0;

  // The paragraph being read and where it goes.
  std::vector<Inline> content_;
  bool canExtendRun_ = false;
  CharState lastRunState_;
  bool pageBreakPending_ = false;
  bool lastImageFromNonShape_ = false;

  // Tables.
  TableRow rowDefinition_;  // \trleft and \trgaph of the row being read
  std::vector<int> cellEdges_;
  bool rowOpen_ = false;
  TableRow row_;
  TableCell cell_;
  Table table_;

  // The font table by number, and the last font looked up: runs mostly stay in one font.
  std::unordered_map<int, FontEntry> fontEntries_;
  mutable int lastFontNumber_ = INT_MIN;
  mutable const FontEntry* lastFontEntry_ = nullptr;

  // Font table entry being read.
  Font font_;
  bool fontOpen_ = false;
  std::string fontName_;       // decoded so far
  std::string fontNameBytes_;  // waiting to be decoded

  // Colour table entry being read.
  int red_ = -1, green_ = -1, blue_ = -1;

  // Lists: \listid -> levels, \ls -> \listid.
  std::unordered_map<int, std::vector<ListLevel>> lists_;
  std::vector<ListLevel> listBeingRead_;
  std::unordered_map<int, int> listOverrides_;
  int overrideListId_ = 0;
  ListFormat oldNumbering_;
  bool oldNumberingHasStyle_ = false;

  Image picture_;
};

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
        doc_.codePage = documentCodePage_;
        if (!content_.empty()) EndParagraph();
        CloseTable();
        return std::move(doc_);
      case Token::Kind::kGroupStart:
        skip_ = 0;
        GroupStart(token.offset);
        break;
      case Token::Kind::kGroupEnd:
        skip_ = 0;
        if (Depth() == 0) break;  // a stray closing brace
        GroupEnd();
        if (Depth() == 0) {       // the document's group has ended: what follows is junk
          doc_.codePage = documentCodePage_;
          if (!content_.empty()) EndParagraph();
          CloseTable();
          return std::move(doc_);
        }
        break;
      case Token::Kind::kText:
        Text(token.text);
        break;
      case Token::Kind::kControlChar:
        if (token.symbol == '\t' && State().destination == Destination::kBody) {
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
          } else if (!KeepGroup(!bodyStarted_ && Depth() == 2, token.offset)) {  // "{\*" and no word
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

void Reader::GroupStart(size_t offset) {
  if (Depth() >= static_cast<size_t>(kMaxGroupDepth)) {
    tokens_.SkipGroup();
    return;
  }
  if (State().destination == Destination::kPicture) {
    // Groups inside a picture ({\*\picprop ...}, {\*\blipuid ...}) are kept as they stand.
    if (tokens_.SkipGroup()) picture_.extra.append(tokens_.Input().substr(offset, tokens_.Position() - offset));
    return;
  }
  GroupState next = State();
  next.role = Role::kNone;
  next.start = offset;
  stack_.push_back(std::move(next));
}

void Reader::GroupEnd() {
  GroupState closing = std::move(stack_.back());
  stack_.pop_back();
  CloseGroupRole(closing);
}

void Reader::CloseGroupRole(const GroupState& closing) {
  switch (closing.role) {
    case Role::kNone:
      if (closing.destination == Destination::kFontTable && fontOpen_) FinishFont();
      break;
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
      State().para.format.list = oldNumbering_;
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
      if (pending_.empty()) pendingFont_ = State().chr.font;
      pending_.append(bytes);
      break;
    case Destination::kPicture: {
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
  if (OpenDestination(word, ignorable, from)) return;
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
  const bool topLevel = Depth() == 2 && !bodyStarted_;
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
      // The document's tables are groups of the document itself, before its text.
      if (Depth() != 2 || bodyStarted_) return false;
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
      return SkipRestOfGroup(from);
    case Word::kPn:
      state.destination = Destination::kOldNumbering;
      state.role = Role::kOldNumbering;
      oldNumbering_ = ListFormat();
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
  return before.find_first_not_of("\r\n") == std::string_view::npos;
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

void Reader::CharWord(Word word, const Token& token) {
  CharState& chr = State().chr;
  const int p = token.parameter;
  const bool on = !token.hasParameter || p != 0;
  switch (word) {
    case Word::kPlain: {
      int link = chr.link;  // a field's link is not a character property
      chr = CharState();
      chr.link = link;
      break;
    }
    case Word::kF: chr.font = FontNumber(p); break;
    case Word::kFs: chr.halfPoints = p > 0 ? std::min(p, 3276) : 24; break;
    case Word::kB: chr.bold = on; break;
    case Word::kI: chr.italic = on; break;
    case Word::kStrike: chr.strike = on; break;
    case Word::kV: chr.hidden = on; break;
    case Word::kUl: chr.underline = on ? Underline::kSingle : Underline::kNone; break;
    case Word::kUld: chr.underline = on ? Underline::kDotted : Underline::kNone; break;
    case Word::kUldb: chr.underline = on ? Underline::kDouble : Underline::kNone; break;
    case Word::kUldash: chr.underline = on ? Underline::kDash : Underline::kNone; break;
    case Word::kUlwave: chr.underline = on ? Underline::kWave : Underline::kNone; break;
    case Word::kUlth: chr.underline = on ? Underline::kThick : Underline::kNone; break;
    case Word::kUlw: chr.underline = on ? Underline::kWord : Underline::kNone; break;
    case Word::kUlnone: chr.underline = Underline::kNone; break;
    case Word::kSuper: chr.vertical = VerticalAlign::kSuperscript; break;
    case Word::kSub: chr.vertical = VerticalAlign::kSubscript; break;
    case Word::kNosupersub: chr.vertical = VerticalAlign::kBaseline; break;
    case Word::kCf: chr.color = p; break;
    case Word::kCb: case Word::kHighlight: chr.background = p; break;
    default: break;
  }
}

void Reader::ParaWord(Word word, const Token& token) {
  ParaState& para = State().para;
  ParagraphFormat& format = para.format;
  const int p = token.parameter;
  switch (word) {
    case Word::kPard:
      para = ParaState();
      StartBody();  // what comes after belongs to the text, not to the document's header
      break;
    case Word::kQl: format.alignment = Alignment::kLeft; break;
    case Word::kQc: format.alignment = Alignment::kCenter; break;
    case Word::kQr: format.alignment = Alignment::kRight; break;
    case Word::kQj: format.alignment = Alignment::kJustify; break;
    case Word::kLi: format.leftIndent = p; break;
    case Word::kRi: format.rightIndent = p; break;
    case Word::kFi: format.firstLineIndent = p; break;
    case Word::kSb: format.spaceBefore = p; break;
    case Word::kSa: format.spaceAfter = p; break;
    case Word::kSl: format.lineSpacing = p; break;
    case Word::kSlmult: format.lineSpacingMultiple = p == 1; break;
    case Word::kPagebb: format.pageBreakBefore = !token.hasParameter || p != 0; break;
    case Word::kIntbl: para.inTable = !token.hasParameter || p != 0; break;
    case Word::kLs: para.listOverride = p; break;
    case Word::kIlvl: para.listLevel = std::clamp(p, 0, 8); break;
    case Word::kTqr: para.nextTab.kind = TabStop::Kind::kRight; break;
    case Word::kTqc: para.nextTab.kind = TabStop::Kind::kCenter; break;
    case Word::kTqdec: para.nextTab.kind = TabStop::Kind::kDecimal; break;
    case Word::kTldot: para.nextTab.leader = TabStop::Leader::kDots; break;
    case Word::kTlhyph: para.nextTab.leader = TabStop::Leader::kHyphens; break;
    case Word::kTlul: para.nextTab.leader = TabStop::Leader::kUnderline; break;
    case Word::kTlth: para.nextTab.leader = TabStop::Leader::kThickLine; break;
    case Word::kTleq: para.nextTab.leader = TabStop::Leader::kEqualSigns; break;
    case Word::kTx:
      para.nextTab.position = p;
      if (format.tabs.size() < 64) format.tabs.push_back(para.nextTab);
      para.nextTab = TabStop();
      break;
    default: break;
  }
}

void Reader::FontWord(Word word, const Token& token) {
  const int p = token.parameter;
  switch (word) {
    case Word::kF:
      if (fontOpen_) FinishFont();
      font_ = Font();
      font_.number = FontNumber(p);
      fontOpen_ = true;
      break;
    case Word::kFnil: case Word::kFroman: case Word::kFswiss: case Word::kFmodern:
    case Word::kFscript: case Word::kFdecor: case Word::kFtech: case Word::kFbidi:
      font_.family = std::string(token.name.substr(1));
      break;
    case Word::kFcharset: font_.charset = p; break;
    case Word::kCpg: font_.codePage = static_cast<int>(UsableCodePage(p)); break;
    case Word::kFprq: font_.pitch = p; break;
    case Word::kU:
      if (fontOpen_) {
        FlushFontName();
        char32_t cp = static_cast<char32_t>(p < 0 ? p + 65536 : p) & 0xFFFF;
        if (cp >= 0x20 && (cp < 0xD800 || cp >= 0xE000)) AppendUtf8(fontName_, cp);
      }
      skip_ = State().unicodeSkip;
      break;
    default: break;
  }
}

void Reader::FlushFontName() {
  // Control characters are no part of a name; a symbol font's name is itself ordinary text.
  std::erase_if(fontNameBytes_, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
  unsigned codePage = font_.codePage > 0 ? static_cast<unsigned>(font_.codePage)
                                         : CodePageOfCharset(font_.charset, documentCodePage_);
  AppendDecoded(fontName_, fontNameBytes_, codePage == kCodePageSymbol ? 1252 : codePage, false);
  fontNameBytes_.clear();
}

void Reader::FinishFont() {
  fontOpen_ = false;
  FlushFontName();
  std::string name = std::move(fontName_);
  fontName_.clear();
  size_t first = name.find_first_not_of(' ');
  size_t last = name.find_last_not_of(' ');
  font_.name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
  if (FindFont(font_.number) == nullptr) {
    FontEntry entry{doc_.fonts.size(), CodePageOfFont(font_, documentCodePage_), IsSymbolFont(font_)};
    fontEntries_.emplace(font_.number, entry);
    lastFontNumber_ = INT_MIN;
    doc_.fonts.push_back(std::move(font_));
  }
  font_ = Font();
}

void Reader::PictureWord(Word word, const Token& token) {
  const int p = token.parameter;
  Image& pic = picture_;
  switch (word) {
    case Word::kPngblip: pic.type = PictureType::kPng; pic.typeParameter = 0; return;
    case Word::kJpegblip: pic.type = PictureType::kJpeg; pic.typeParameter = 0; return;
    case Word::kEmfblip: pic.type = PictureType::kEmf; pic.typeParameter = 0; return;
    case Word::kMacpict: pic.type = PictureType::kMacPict; pic.typeParameter = 0; return;
    case Word::kWmetafile: pic.type = PictureType::kWmf; pic.typeParameter = p; return;
    case Word::kDibitmap: pic.type = PictureType::kDib; pic.typeParameter = p; return;
    case Word::kWbitmap: pic.type = PictureType::kBitmap; pic.typeParameter = p; return;
    case Word::kPmmetafile: pic.type = PictureType::kOs2Metafile; pic.typeParameter = p; return;
    case Word::kPicw: pic.width = p; return;
    case Word::kPich: pic.height = p; return;
    case Word::kPicwgoal: pic.goalWidth = p; return;
    case Word::kPichgoal: pic.goalHeight = p; return;
    case Word::kPicscalex: pic.scaleX = p; return;
    case Word::kPicscaley: pic.scaleY = p; return;
    case Word::kPiccropl: pic.cropLeft = p; return;
    case Word::kPiccropr: pic.cropRight = p; return;
    case Word::kPiccropt: pic.cropTop = p; return;
    case Word::kPiccropb: pic.cropBottom = p; return;
    default:
      pic.extra += '\\';
      pic.extra += token.name;
      if (token.hasParameter) pic.extra += std::to_string(p);
      return;
  }
}

void Reader::ListWord(Word word, const Token& token) {
  const int p = token.parameter;
  switch (word) {
    case Word::kList: listBeingRead_.clear(); break;
    case Word::kListlevel:
      if (listBeingRead_.size() < 9) listBeingRead_.emplace_back();
      break;
    case Word::kLevelnfc:
      if (!listBeingRead_.empty()) listBeingRead_.back().style = StyleOfNumberFormat(p);
      break;
    case Word::kLevelstartat:
      if (!listBeingRead_.empty()) listBeingRead_.back().start = p;
      break;
    case Word::kListid:
      if (State().destination == Destination::kListTable) lists_[p] = listBeingRead_;
      else overrideListId_ = p;
      break;
    case Word::kLs:
      if (State().destination == Destination::kListOverrideTable) listOverrides_[p] = overrideListId_;
      break;
    default: break;
  }
}

void Reader::OldNumberingWord(Word word, const Token& token) {
  const int p = token.parameter;
  auto setStyle = [&](ListFormat::Style style) {
    oldNumbering_.style = style;
    oldNumberingHasStyle_ = true;
  };
  switch (word) {
    case Word::kPnlvlblt: setStyle(ListFormat::Style::kBullet); break;
    case Word::kPnlvlbody: break;
    case Word::kPnlvlcont: setStyle(ListFormat::Style::kNone); break;
    case Word::kPnlvl: oldNumbering_.level = std::clamp(p - 1, 0, 8); break;
    case Word::kPndec: setStyle(ListFormat::Style::kDecimal); break;
    case Word::kPnucltr: setStyle(ListFormat::Style::kUpperAlpha); break;
    case Word::kPnlcltr: setStyle(ListFormat::Style::kLowerAlpha); break;
    case Word::kPnucrm: setStyle(ListFormat::Style::kUpperRoman); break;
    case Word::kPnlcrm: setStyle(ListFormat::Style::kLowerRoman); break;
    case Word::kPnstart: oldNumbering_.start = p; break;
    default: break;
  }
}

void Reader::FlushText() {
  if (pending_.empty()) return;
  std::string utf8;
  bool ascii = std::all_of(pending_.begin(), pending_.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  bool symbolFont = false;
  unsigned codePage = CodePageOf(pendingFont_, symbolFont);
  // A field's instruction is words, not symbols, whatever font it stands in.
  if (codePage == kCodePageSymbol && State().destination == Destination::kFieldInstruction) codePage = 1252;
  if (ascii && codePage != kCodePageSymbol) {
    AppendUtf8Text(pending_);
  } else {
    AppendDecoded(utf8, pending_, codePage, symbolFont);
    AppendUtf8Text(utf8);
  }
  pending_.clear();
}

void Reader::AppendCodePoint(char32_t cp) {
  FlushText();
  std::string utf8;
  AppendUtf8(utf8, cp);
  AppendUtf8Text(utf8);
}

void Reader::AppendUtf8Text(std::string_view utf8) {
  GroupState& state = State();
  if (state.destination == Destination::kFieldInstruction) {
    if (!fields_.empty() && fields_.back().instruction.size() < 4096) fields_.back().instruction.append(utf8);
    return;
  }
  if (state.destination != Destination::kBody) return;
  StartBody();
  if (canExtendRun_ && lastRunState_ == state.chr) {
    std::get<Run>(content_.back()).text.append(utf8);
    return;
  }
  content_.emplace_back(Run{std::string(utf8), Format(state.chr)});
  canExtendRun_ = true;
  lastRunState_ = state.chr;
}

void Reader::AddInline(Inline item) {
  content_.push_back(std::move(item));
  canExtendRun_ = false;
}

const Reader::FontEntry* Reader::FindEntry(int number) const {
  if (number != lastFontNumber_) {
    auto it = fontEntries_.find(number);
    lastFontEntry_ = it == fontEntries_.end() ? nullptr : &it->second;
    lastFontNumber_ = number;
  }
  return lastFontEntry_;
}

const Font* Reader::FindFont(int number) const {
  const FontEntry* entry = FindEntry(number);
  return entry ? &doc_.fonts[entry->index] : nullptr;
}

unsigned Reader::CodePageOf(int fontNumber, bool& symbolFont) const {
  const FontEntry* entry = FindEntry(fontNumber < 0 ? doc_.defaultFont : fontNumber);
  symbolFont = entry != nullptr && entry->symbol;
  return entry ? entry->codePage : documentCodePage_;
}

CharFormat Reader::Format(const CharState& chr) const {
  CharFormat format;
  const Font* font = FindFont(chr.font < 0 ? doc_.defaultFont : chr.font);
  if (font != nullptr) format.font = font->name;
  format.halfPoints = chr.halfPoints;
  format.bold = chr.bold;
  format.italic = chr.italic;
  format.strike = chr.strike;
  format.hidden = chr.hidden;
  format.underline = chr.underline;
  format.vertical = chr.vertical;
  auto color = [&](int index) -> std::optional<Rgb> {
    if (index < 0 || static_cast<size_t>(index) >= doc_.colors.size()) return std::nullopt;
    return doc_.colors[index];
  };
  format.color = color(chr.color);
  if (chr.background > 0) format.background = color(chr.background);
  if (chr.link >= 0) format.link = links_[chr.link];
  return format;
}

ParagraphFormat Reader::ResolvedFormat(const ParaState& para) const {
  ParagraphFormat format = para.format;
  if (para.listOverride > 0) {
    format.list = ListFormat{ListFormat::Style::kBullet, para.listLevel, 1};
    auto override = listOverrides_.find(para.listOverride);
    if (override != listOverrides_.end()) {
      auto list = lists_.find(override->second);
      if (list != lists_.end() && static_cast<size_t>(para.listLevel) < list->second.size()) {
        format.list.style = list->second[para.listLevel].style;
        format.list.start = list->second[para.listLevel].start;
      }
    }
  }
  if (format.list.style == ListFormat::Style::kNone) format.list = ListFormat();
  if (format.lineSpacing == 0) format.lineSpacingMultiple = false;  // single spacing either way
  if (pageBreakPending_) format.pageBreakBefore = true;
  return format;
}

Paragraph Reader::TakeParagraph() {
  StartBody();
  Paragraph paragraph;
  paragraph.format = ResolvedFormat(State().para);
  paragraph.markFormat = Format(State().chr);
  paragraph.markFormat.link.clear();
  // Neighbouring runs of one format are one run, however the RTF split them.
  size_t kept = 0;
  for (size_t i = 0; i < content_.size(); ++i) {
    Run* last = kept == 0 ? nullptr : std::get_if<Run>(&content_[kept - 1]);
    Run* run = std::get_if<Run>(&content_[i]);
    if (last && run && run->format == last->format) {
      last->text += run->text;
      continue;
    }
    if (kept != i) content_[kept] = std::move(content_[i]);
    ++kept;
  }
  content_.erase(content_.begin() + static_cast<ptrdiff_t>(kept), content_.end());
  paragraph.content = std::move(content_);
  content_.clear();
  canExtendRun_ = false;
  pageBreakPending_ = false;
  highSurrogate_ = 0;
  ++paragraphsEnded_;
  return paragraph;
}

void Reader::EndParagraph() {
  bool inCell = State().para.inTable || rowOpen_ || !cell_.paragraphs.empty() || !row_.cells.empty();
  Paragraph paragraph = TakeParagraph();
  if (inCell) {
    cell_.paragraphs.push_back(std::move(paragraph));
  } else {
    CloseTable();
    doc_.blocks.emplace_back(std::move(paragraph));
  }
}

void Reader::EndCell() {
  cell_.paragraphs.push_back(TakeParagraph());
  row_.cells.push_back(std::move(cell_));
  cell_ = TableCell();
}

void Reader::EndRow() {
  StartBody();
  if (!content_.empty() || !cell_.paragraphs.empty()) EndCell();
  rowOpen_ = false;
  if (row_.cells.empty()) return;
  row_.leftEdge = rowDefinition_.leftEdge;
  row_.cellGap = rowDefinition_.cellGap;
  for (size_t i = 0; i < row_.cells.size() && i < cellEdges_.size(); ++i)
    row_.cells[i].rightEdge = cellEdges_[i];
  table_.rows.push_back(std::move(row_));
  row_ = TableRow();
}

void Reader::CloseTable() {
  if (!cell_.paragraphs.empty() || !row_.cells.empty()) EndRow();
  rowOpen_ = false;
  if (table_.rows.empty()) return;
  doc_.blocks.emplace_back(std::move(table_));
  table_ = Table();
}

void Reader::EndField(const GroupState& closing) {
  if (fields_.empty()) return;
  Field field = std::move(fields_.back());
  fields_.pop_back();
  canExtendRun_ = false;
  // A field other than a link shows its result but is kept whole, so that writing the note
  // back keeps the field. Only the outermost field is kept, and only when its result stayed
  // inside one paragraph.
  if (field.link >= 0 || !fields_.empty() || !field.keepWhole || field.paragraphsBefore != paragraphsEnded_ ||
      field.contentBefore > content_.size())
    return;
  Fragment fragment;
  fragment.rtf = KeptField(field.start, field.unicodeSkip, field.font);
  fragment.format = field.format;
  for (size_t i = field.contentBefore; i < content_.size(); ++i) {
    if (const Run* run = std::get_if<Run>(&content_[i]); run && !run->format.hidden)
      fragment.text += run->text;
    else if (const Fragment* inner = std::get_if<Fragment>(&content_[i]))
      fragment.text += inner->text;
  }
  if (fragment.text.empty()) fragment.text = MacroButtonText(field.instruction);
  content_.resize(field.contentBefore);
  AddInline(std::move(fragment));
}

}  // namespace

Document ReadRtf(std::string_view rtf) { return Reader(rtf).Read(); }

}  // namespace mlf::rtf
