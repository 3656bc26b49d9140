// The reader's assembly of the body: decoded text into runs, paragraphs, table cells and rows,
// fields kept whole.
#include "platform/codepage.h"
#include "rtf/charset.h"
#include "rtf/field_instruction.h"
#include "rtf/list_numbers.h"
#include "rtf/reader_internal.h"
#include "rtf/utf8.h"

namespace mlf::rtf::detail {

void Reader::FlushText() {
  if (pending_.empty()) return;
  std::string utf8;
  bool ascii = IsAscii(pending_);
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
  if (cp == '\t' && State().destination != Destination::kBody) return;  // as \tab there
  char utf8[4];
  AppendUtf8Text(std::string_view(utf8, EncodeUtf8(cp, utf8)));
}

void Reader::AppendUtf8Text(std::string_view utf8) {
  GroupState& state = State();
  if (state.destination == Destination::kFieldInstruction) {
    if (!fields_.empty() && fields_.back().instruction.size() < 4096) fields_.back().instruction.append(utf8);
    return;
  }
  if (state.destination != Destination::kBody) return;
  StartBody();
  // For plain text a run's format holds only whether it is hidden.
  if (canExtendRun_ && (textOnly_ ? lastRunState_.hidden == state.chr.hidden : lastRunState_ == state.chr)) {
    std::get<Run>(content_.back()).text.append(utf8);
    return;
  }
  content_.emplace_back(std::in_place_type<Run>, std::string(utf8), Format(state.chr));
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
  if (textOnly_) {
    format.hidden = chr.hidden;
    return format;
  }
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
  format.extra = chr.extra;
  return format;
}

ParagraphFormat Reader::ResolvedFormat(const ParaState& para) {
  ParagraphFormat format = para.format;
  if (para.listOverride > 0) format.list = ListItem(para.listOverride, para.listLevel);
  if (format.list.style == ListFormat::Style::kNone) format.list = ListFormat();
  if (format.lineSpacing == 0) format.lineSpacingMultiple = false;  // single spacing either way
  if (pageBreakPending_) format.pageBreakBefore = true;
  return format;
}

// The list format of an item of list \lsN at a level, from the list table. A numbered item
// gets its own number as its start (NumberLists makes that the start of its run), and the
// level text around it, with the numbers of the levels above where the text shows them.
ListFormat Reader::ListItem(int listOverride, int level) {
  ListFormat list(ListFormat::Style::kBullet, level);
  auto override = listOverrides_.find(listOverride);
  if (override == listOverrides_.end()) return list;
  auto found = lists_.find(override->second.listId);
  if (found == lists_.end() || static_cast<size_t>(level) >= found->second.size()) return list;
  const std::vector<ListLevel>& levels = found->second;
  const ListLevel& own = levels[level];
  list.style = own.style;
  if (list.style == ListFormat::Style::kBullet || list.style == ListFormat::Style::kNone) return list;
  ListNumbers& numbers = listNumbers_[listOverride];
  numbers[level] = numbers[level] ? *numbers[level] + 1 : override->second.starts[level].value_or(own.start);
  for (size_t deeper = level + 1; deeper < numbers.size(); ++deeper)
    if (deeper >= levels.size() || !levels[deeper].noRestart) numbers[deeper].reset();
  list.start = *numbers[level];
  if (!own.text.empty()) {
    size_t place = own.text.find(static_cast<char>(level));
    if (place == std::string::npos) place = own.text.size();
    list.prefix = RenderedLevelText(std::string_view(own.text).substr(0, place), levels, numbers);
    list.suffix = place < own.text.size() ? RenderedLevelText(std::string_view(own.text).substr(place + 1), levels, numbers)
                                         : std::string();
  }
  numberedItems_.push_back(paragraphsEnded_);
  return list;
}

std::string Reader::RenderedLevelText(std::string_view text, const std::vector<ListLevel>& levels,
                                      const ListNumbers& numbers) const {
  std::string out;
  for (char c : text) {
    size_t level = static_cast<unsigned char>(c);
    if (level >= numbers.size()) {
      out += c;
    } else if (level < levels.size()) {
      out += NumberText(levels[level].style, numbers[level].value_or(levels[level].start));
    }
  }
  return out;
}

// Turns the numbers ListItem gave into starts: an item whose number follows on from the item
// before it in the same run keeps that run's start, so the list reads on as one. Paragraphs
// are numbered in order, the whole document at its end or each block as it goes out.
void Reader::NumberParagraph(Paragraph& paragraph) {
  ListFormat& list = paragraph.format.list;
  bool numbered = nextNumberedItem_ < numberedItems_.size() && numberedItems_[nextNumberedItem_] == paragraphsNumbered_;
  nextNumberedItem_ += numbered;
  ++paragraphsNumbered_;
  if (list.style == ListFormat::Style::kNone) {
    numbering_.Break();
    return;
  }
  if (numbered) {
    ListFormat continued = list;
    continued.start = numbering_.RunStart();
    ListCounter trial = numbering_;
    if (trial.Next(continued) == list.start) list.start = continued.start;
  }
  numbering_.Next(list);
}

void Reader::NumberLists() {
  if (numberedItems_.empty()) return;
  ForEachParagraph(doc_, numbering_, [&](Paragraph& paragraph) { NumberParagraph(paragraph); });
}

void Reader::NumberBlock(Block& block) {
  ForEachParagraphOf(block, numbering_, [&](Paragraph& paragraph) { NumberParagraph(paragraph); });
  // The items numbered so far are done with.
  numberedItems_.erase(numberedItems_.begin(), numberedItems_.begin() + static_cast<ptrdiff_t>(nextNumberedItem_));
  nextNumberedItem_ = 0;
}

template <typename Part>
void Reader::AddBlock(Part&& part) {
  if (!blockSink_) {
    doc_.blocks.emplace_back(std::forward<Part>(part));
    return;
  }
  Block block(std::forward<Part>(part));
  NumberBlock(block);
  (*blockSink_)(block);
}

Paragraph Reader::TakeParagraph() {
  StartBody();
  Paragraph paragraph;
  paragraph.format = ResolvedFormat(State().para);
  paragraph.markFormat = Format(State().chr);
  paragraph.markFormat.link.clear();
  // Neighbouring runs of one format are one run, however the RTF split them.
  const size_t items = content_.size();
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
  content_.reserve(items);  // the next paragraph is likely much the same
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
    AddBlock(std::move(paragraph));
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
  AddBlock(std::move(table_));
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

}  // namespace mlf::rtf::detail
