// The reader's working state, shared by the files that make up the reader (reader.cc: groups,
// destinations and the token loop; reader_words.cc: formatting words and tables of the
// header; reader_content.cc: text, paragraphs, tables and fields of the body).
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rtf/control_words.h"
#include "rtf/document.h"
#include "rtf/list_numbers.h"
#include "rtf/tokenizer.h"

namespace mlf::rtf::detail {

enum class Destination : uint8_t {
  kBody, kFontTable, kColorTable, kFieldInstruction, kPicture, kOldNumbering, kListTable,
  kListOverrideTable, kLevelText, kNumberBefore, kNumberAfter, kIgnore,
};

// What has to happen when a group closes.
enum class Role : uint8_t { kNone, kField, kPicture, kOldNumbering, kLevelText, kFontTable, kKeepInHeader };

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
  std::string extra;  // as CharFormat::extra
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
  bool skipsAnsiPart = false;      // an \upr group whose \ud part is read instead
  uint8_t wrappers = 0;            // \upr and \ud groups around: their parts count as standing alone
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
  bool noRestart = false;  // \levelnorestart: goes on counting after an item of a higher level
  // \leveltext as UTF-8, each level's number marked by a byte 0..8; empty: the number and "."
  std::string text;
};

// A list as a paragraph names it (\lsN): its list and, by level, the starts it sets instead of
// the list's own.
struct ListOverride {
  int listId = 0;
  std::array<std::optional<int>, 9> starts;
};

// The numbers given so far in one list (\lsN), by level.
using ListNumbers = std::array<std::optional<int>, 9>;

// Bounds the texts around list numbers, whatever the input.
constexpr size_t kMaxNumberText = 64;

// Font numbers are kept in a range where one more is still a number.
inline int FontNumber(int parameter) { return std::clamp(parameter, 0, 1 << 20); }

class Reader {
 public:
  // textOnly: for plain text, formats hold only what decides visibility and pictures no data.
  // blockSink: when given, each block goes there as it ends instead of into the document.
  explicit Reader(std::string_view input, bool textOnly = false,
                  const std::function<void(const Block&)>* blockSink = nullptr)
      : tokens_(input), textOnly_(textOnly), blockSink_(blockSink) {
    stack_.emplace_back();
  }

  Document Read();

 private:
  Document Finish();
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
  // Whether a text of spaces or a tab only lays out the RTF rather than being text: before the
  // text begins, and at the start of a group whose first word is a destination.
  bool IsLayout(const Token& token) const;
  // The depth the document's tables and header groups stand at, not counting \upr and \ud
  // groups around them.
  size_t HeaderDepth() const { return Depth() - State().wrappers; }
  const GroupState& State() const { return stack_.back(); }
  bool HasUnicodePart() const;
  bool IsUnicodePart(size_t groupStart) const;
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
  ParagraphFormat ResolvedFormat(const ParaState& para);
  ListFormat ListItem(int listOverride, int level);
  std::string RenderedLevelText(std::string_view text, const std::vector<ListLevel>& levels,
                                const ListNumbers& numbers) const;
  void FinishLevelText();
  // The text of a list number being read: \leveltext, \pntxtb or \pntxta.
  std::string& NumberTextBeingRead();
  void NumberLists();
  void NumberBlock(Block& block);
  void NumberParagraph(Paragraph& paragraph);
  // A paragraph or a table that has ended, into the document or out to the block sink.
  template <typename Part>
  void AddBlock(Part&& part);
  Paragraph TakeParagraph();
  void EndParagraph();
  void EndCell();
  void EndRow();
  void CloseTable();
  void FlushFontName();
  void FinishFont();
  void EndField(const GroupState& closing);

  Tokenizer tokens_;
  bool textOnly_;
  const std::function<void(const Block&)>* blockSink_;
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

  // Lists: \listid -> levels, \ls -> \listid and the starts it sets.
  std::unordered_map<int, std::vector<ListLevel>> lists_;
  std::vector<ListLevel> listBeingRead_;
  std::unordered_map<int, ListOverride> listOverrides_;
  ListOverride overrideBeingRead_;
  int overrideLevel_ = -1;         // the \lfolevel being read
  bool overrideStartsAt_ = false;  // it has \listoverridestartat
  ListFormat oldNumbering_;
  bool oldNumberingHasStyle_ = false;
  std::string levelText_;       // \leveltext being read, after its length
  int levelTextLength_ = -1;    // its first byte; -1 before it
  std::unordered_map<int, ListNumbers> listNumbers_;  // by \ls
  // Paragraphs (counted as paragraphsEnded_ counts them) whose list start holds the item's
  // own number, which NumberLists turns into the start of the list it continues.
  std::vector<size_t> numberedItems_;
  // How far the numbering has come: paragraphs numbered, the first of numberedItems_ not
  // reached yet, and the lists counted so far.
  size_t paragraphsNumbered_ = 0;
  size_t nextNumberedItem_ = 0;
  ListCounter numbering_;

  Image picture_;
};

}  // namespace mlf::rtf::detail
