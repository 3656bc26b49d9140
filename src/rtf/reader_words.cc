// The reader's handling of formatting words and of the font, colour and list tables.
#include "platform/codepage.h"
#include "rtf/charset.h"
#include "rtf/extra_words.h"
#include "rtf/list_numbers.h"
#include "rtf/reader_internal.h"
#include "rtf/utf8.h"

namespace mlf::rtf::detail {
namespace {

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

}  // namespace

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
    case Word::kCharExtra: SetExtraWord(chr.extra, token.name, token.hasParameter, p); break;
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
    case Word::kItap: para.inTable = p > 0; break;  // the table depth: 0 is the text outside tables
    case Word::kLs: para.listOverride = p; break;
    case Word::kIlvl: para.listLevel = std::clamp(p, 0, 8); break;
    case Word::kParaExtra: SetExtraWord(format.extra, token.name, token.hasParameter, p); break;
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
    case Word::kFprq: font_.pitch = std::max(p, 0); break;
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
      if (State().destination == Destination::kListOverrideTable) {
        if (overrideStartsAt_ && overrideLevel_ >= 0 && overrideLevel_ < 9)
          overrideBeingRead_.starts[overrideLevel_] = std::clamp(p, 0, kMaxListNumber);
      } else if (!listBeingRead_.empty()) {
        listBeingRead_.back().start = std::clamp(p, 0, kMaxListNumber);
      }
      break;
    case Word::kListoverride:
      overrideBeingRead_ = ListOverride();
      overrideLevel_ = -1;
      break;
    case Word::kLfolevel:  // the levels' overrides come in the levels' order
      ++overrideLevel_;
      overrideStartsAt_ = false;
      break;
    case Word::kListoverridestartat: overrideStartsAt_ = true; break;
    case Word::kLevelnorestart:
      if (!listBeingRead_.empty()) listBeingRead_.back().noRestart = !token.hasParameter || p != 0;
      break;
    case Word::kLeveltext:
      State().destination = Destination::kLevelText;
      State().role = Role::kLevelText;
      levelText_.clear();
      levelTextLength_ = -1;
      break;
    case Word::kListid:
      if (State().destination == Destination::kListTable) lists_[p] = listBeingRead_;
      else overrideBeingRead_.listId = p;
      break;
    case Word::kLs:
      if (State().destination == Destination::kListOverrideTable) listOverrides_[p] = overrideBeingRead_;
      break;
    default: break;
  }
}

void Reader::FinishLevelText() {
  if (listBeingRead_.empty()) return;
  // The length counts characters; what follows them (the ";") is no part of the text.
  size_t end = levelTextLength_ < 0 ? levelText_.find(';') : 0;
  for (int n = 0; n < levelTextLength_ && end < levelText_.size(); ++n) NextCodePoint(levelText_, end);
  listBeingRead_.back().text = levelText_.substr(0, end);
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
    case Word::kPnstart: oldNumbering_.start = std::clamp(p, 0, kMaxListNumber); break;
    case Word::kPntxtb: State().destination = Destination::kNumberBefore; break;
    case Word::kPntxta: State().destination = Destination::kNumberAfter; break;
    default: break;
  }
}

}  // namespace mlf::rtf::detail
