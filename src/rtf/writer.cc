#include "rtf/writer.h"

#include <algorithm>
#include <map>

#include "platform/codepage.h"
#include "rtf/charset.h"
#include "rtf/extra_words.h"
#include "rtf/field_instruction.h"
#include "rtf/list_numbers.h"
#include "rtf/utf8.h"

namespace mlf::rtf {
namespace {

// For text whose code page is not known where it is read back: every other character as \u.
constexpr unsigned kUnicodeOnly = ~0u;

class Writer {
 public:
  explicit Writer(const Document& doc) : doc_(doc) {}
  std::string Write();

 private:
  void CollectTables();
  void NoteFormat(const CharFormat& format);
  int FontNumber(const std::string& name) const;
  int UnusedFontNumber() const;
  int ColorIndex(const std::optional<Rgb>& color, bool background);
  void WriteFontTable();
  void WriteColorTable();
  void WriteBlocks();
  void WriteParagraph(const Paragraph& paragraph, bool inTable, const char* end);
  void WriteParagraphFormat(const ParagraphFormat& format, bool inTable);
  void WriteListText(const ListFormat& list);
  void WriteNumberText(std::string_view word, const std::string& text);
  void WriteContent(const std::vector<Inline>& content);
  void WriteInline(const Inline& item);
  void WriteImage(const Image& image);
  void WriteCharFormat(const CharFormat& to);
  void WriteExtraWords(const std::string& to);
  // What a reader's character format is at the start and after \plain, with font and size
  // marked unknown so that they are written out next.
  CharFormat StartFormat() const;
  unsigned CodePageOfFont(int number) const;
  void WriteText(std::string_view utf8, unsigned codePage);
  void WriteUnicode(char32_t cp);

  void Word(std::string_view word) {
    out_ += '\\';
    out_ += word;
    delimit_ = true;
  }
  void Word(std::string_view word, int parameter) {
    Word(word);
    out_ += std::to_string(parameter);
  }
  void Raw(std::string_view text) {
    out_ += text;
    delimit_ = false;
  }
  void Literal(char c) {
    if (delimit_) out_ += ' ';  // ends the control word before
    out_ += c;
    delimit_ = false;
  }

  const Document& doc_;
  std::string out_;
  bool delimit_ = false;
  std::vector<Font> fonts_;
  std::map<std::string, int> fontNumbers_;  // the first font of each name
  std::vector<std::optional<Rgb>> colors_;
  CharFormat current_;  // the character format in effect at the end of out_
  const ParagraphFormat* lastFormat_ = nullptr;
  ListCounter listNumbers_;  // what WriteListText counts
};

std::string Writer::Write() {
  CollectTables();
  out_.reserve(256);
  Raw("{");
  Word("rtf", 1);
  Word("ansi");
  Word("ansicpg", static_cast<int>(doc_.codePage));
  Word("deff", doc_.defaultFont);
  Word("deflang", 1033);
  WriteFontTable();
  Raw("\r\n");
  WriteColorTable();
  Raw(doc_.header);
  Word("viewkind", 4);
  Word("uc", 1);
  // Font and size are written out at the start, as the rich-edit control does.
  current_ = StartFormat();
  WriteBlocks();
  Raw("}");
  Raw("\r\n");
  return std::move(out_);
}

CharFormat Writer::StartFormat() const {
  CharFormat format;
  format.font.assign(1, '\x01');  // no face has this name
  format.halfPoints = 0;
  // A reader starts in colour 0, which is a real colour when the table's first entry is one.
  if (!colors_.empty() && colors_[0]) format.color = colors_[0];
  return format;
}

void Writer::NoteFormat(const CharFormat& format) {
  if (!format.font.empty() && !fontNumbers_.count(format.font)) {
    int number = UnusedFontNumber();
    Font font;
    font.number = number;
    font.name = format.font;
    font.charset = CharsetOfCodePage(doc_.codePage);
    fonts_.push_back(font);
    fontNumbers_[font.name] = number;
  }
  ColorIndex(format.color, false);
  ColorIndex(format.background, true);
}

void Writer::CollectTables() {
  fonts_ = doc_.fonts;
  for (const Font& font : fonts_)
    if (!font.name.empty()) fontNumbers_.emplace(font.name, font.number);
  colors_ = doc_.colors;
  auto noteParagraph = [this](const Paragraph& paragraph) {
    NoteFormat(paragraph.markFormat);
    for (const Inline& item : paragraph.content)
      std::visit([this](const auto& x) { NoteFormat(x.format); }, item);
  };
  for (const Block& block : doc_.blocks) {
    if (const Paragraph* paragraph = std::get_if<Paragraph>(&block)) {
      noteParagraph(*paragraph);
    } else {
      for (const TableRow& row : std::get<Table>(block).rows)
        for (const TableCell& cell : row.cells)
          for (const Paragraph& p : cell.paragraphs) noteParagraph(p);
    }
  }
}

// Text with no font named is in no font of the table; a number the table lacks says so.
int Writer::FontNumber(const std::string& name) const {
  auto it = fontNumbers_.find(name);
  if (it != fontNumbers_.end()) return it->second;
  return UnusedFontNumber();
}

int Writer::UnusedFontNumber() const {
  for (int number = 0;; ++number)
    if (std::none_of(fonts_.begin(), fonts_.end(), [&](const Font& f) { return f.number == number; }))
      return number;
}

// The index of the colour in the table, added when missing. \cf0 is the automatic colour only
// when entry 0 is empty, and \highlight0 always means none.
int Writer::ColorIndex(const std::optional<Rgb>& color, bool background) {
  if (background && !color) return 0;
  if (!color && (colors_.empty() || !colors_[0])) return 0;
  for (size_t i = background ? 1 : 0; i < colors_.size(); ++i)
    if (colors_[i] == color) return static_cast<int>(i);
  if (colors_.empty()) colors_.push_back(std::nullopt);
  colors_.push_back(color);
  return static_cast<int>(colors_.size() - 1);
}

void Writer::WriteFontTable() {
  Raw("{");
  Word("fonttbl");
  for (const Font& font : fonts_) {
    Raw("{");
    Word("f", font.number);
    Word("f" + font.family);
    if (font.pitch >= 0) Word("fprq", font.pitch);
    if (font.charset >= 0) Word("fcharset", font.charset);
    if (font.codePage > 0) Word("cpg", font.codePage);
    Raw(font.extra);
    delimit_ = true;
    unsigned codePage = CodePageOfFont(font.number);
    WriteText(font.name, codePage == kCodePageSymbol ? 1252 : codePage);  // a name is plain text
    Raw(";}");
  }
  Raw("}");
}

void Writer::WriteColorTable() {
  if (colors_.empty()) return;
  Raw("{");
  Word("colortbl");
  for (const std::optional<Rgb>& color : colors_) {
    if (color) {
      Word("red", static_cast<int>(*color >> 16 & 0xFF));
      Word("green", static_cast<int>(*color >> 8 & 0xFF));
      Word("blue", static_cast<int>(*color & 0xFF));
      Raw(";");
    } else {
      Literal(';');
    }
  }
  Raw("}\r\n");
}

void Writer::WriteBlocks() {
  for (const Block& block : doc_.blocks) {
    if (const Paragraph* paragraph = std::get_if<Paragraph>(&block)) {
      WriteParagraph(*paragraph, false, "par");
      continue;
    }
    for (const TableRow& row : std::get<Table>(block).rows) {
      Word("trowd");
      Word("trgaph", row.cellGap);
      Word("trleft", row.leftEdge);
      for (const TableCell& cell : row.cells) Word("cellx", cell.rightEdge);
      for (const TableCell& cell : row.cells) {
        listNumbers_.Break();
        for (size_t i = 0; i < cell.paragraphs.size(); ++i)
          WriteParagraph(cell.paragraphs[i], true, i + 1 < cell.paragraphs.size() ? "par" : "cell");
        if (cell.paragraphs.empty()) Word("cell");
      }
      Word("row");
      Raw("\r\n");
    }
    lastFormat_ = nullptr;  // the next paragraph must leave the table
    listNumbers_.Break();
  }
}

void Writer::WriteParagraph(const Paragraph& paragraph, bool inTable, const char* end) {
  const ParagraphFormat& format = paragraph.format;
  if (inTable || lastFormat_ == nullptr || !(*lastFormat_ == format)) {
    Word("pard");
    WriteParagraphFormat(format, inTable);
  }
  lastFormat_ = &format;
  if (format.list.style != ListFormat::Style::kNone) WriteListText(format.list);
  else listNumbers_.Break();
  WriteContent(paragraph.content);
  WriteCharFormat(paragraph.markFormat);
  Word(end);
  if (!inTable) Raw("\r\n");
}

void Writer::WriteParagraphFormat(const ParagraphFormat& format, bool inTable) {
  if (inTable) Word("intbl");
  if (!format.extra.empty()) {
    Raw(format.extra);
    delimit_ = true;
  }
  switch (format.alignment) {
    case Alignment::kLeft: break;
    case Alignment::kCenter: Word("qc"); break;
    case Alignment::kRight: Word("qr"); break;
    case Alignment::kJustify: Word("qj"); break;
  }
  if (format.pageBreakBefore) Word("pagebb");
  if (format.list.style != ListFormat::Style::kNone) {
    const ListFormat& list = format.list;
    Raw("{");
    Word("*");
    Word("pn");
    if (list.level > 0) Word("pnlvl", list.level + 1);
    switch (list.style) {
      case ListFormat::Style::kBullet:
        Word("pnlvlblt");
        WriteNumberText("pntxtb", MarkerText(list, 1));
        break;
      case ListFormat::Style::kDecimal: Word(list.level > 0 ? "pndec" : "pnlvlbody"); break;
      case ListFormat::Style::kLowerAlpha: Word("pnlcltr"); break;
      case ListFormat::Style::kUpperAlpha: Word("pnucltr"); break;
      case ListFormat::Style::kLowerRoman: Word("pnlcrm"); break;
      case ListFormat::Style::kUpperRoman: Word("pnucrm"); break;
      case ListFormat::Style::kNone: break;
    }
    if (list.start != 1 || list.style != ListFormat::Style::kBullet) Word("pnstart", list.start);
    if (list.style != ListFormat::Style::kBullet) {
      if (list.level == 0 && list.style == ListFormat::Style::kDecimal) Word("pndec");
      WriteNumberText("pntxtb", list.prefix);
      WriteNumberText("pntxta", list.suffix);
    }
    Raw("}");
  }
  if (format.firstLineIndent != 0) Word("fi", format.firstLineIndent);
  if (format.leftIndent != 0) Word("li", format.leftIndent);
  if (format.rightIndent != 0) Word("ri", format.rightIndent);
  if (format.spaceBefore != 0) Word("sb", format.spaceBefore);
  if (format.spaceAfter != 0) Word("sa", format.spaceAfter);
  if (format.lineSpacing != 0) {
    Word("sl", format.lineSpacing);
    Word("slmult", format.lineSpacingMultiple ? 1 : 0);
  }
  for (const TabStop& tab : format.tabs) {
    switch (tab.kind) {
      case TabStop::Kind::kLeft: break;
      case TabStop::Kind::kCenter: Word("tqc"); break;
      case TabStop::Kind::kRight: Word("tqr"); break;
      case TabStop::Kind::kDecimal: Word("tqdec"); break;
    }
    switch (tab.leader) {
      case TabStop::Leader::kNone: break;
      case TabStop::Leader::kDots: Word("tldot"); break;
      case TabStop::Leader::kHyphens: Word("tlhyph"); break;
      case TabStop::Leader::kUnderline: Word("tlul"); break;
      case TabStop::Leader::kThickLine: Word("tlth"); break;
      case TabStop::Leader::kEqualSigns: Word("tleq"); break;
    }
    Word("tx", tab.position);
  }
}

// The number or bullet as text, for readers that do not number paragraphs themselves; the
// reader here skips it.
void Writer::WriteListText(const ListFormat& list) {
  Raw("{");
  Word("pntext");
  WriteText(MarkerText(list, listNumbers_.Next(list)), kUnicodeOnly);
  Word("tab");
  Raw("}");
}

// The text before or after a number (\pntxtb, \pntxta), when there is one.
void Writer::WriteNumberText(std::string_view word, const std::string& text) {
  if (text.empty()) return;
  Raw("{");
  Word(word);
  WriteText(text, kUnicodeOnly);
  Raw("}");
}

void Writer::WriteContent(const std::vector<Inline>& content) {
  for (size_t i = 0; i < content.size();) {
    const std::string& link = std::visit([](const auto& x) -> const std::string& { return x.format.link; }, content[i]);
    if (link.empty()) {
      WriteInline(content[i++]);
      continue;
    }
    // One field for all the neighbouring items with the same link.
    Raw("{");
    Word("field");
    Raw("{");
    Word("*");
    Word("fldinst");
    Raw("{");
    WriteText(HyperlinkInstruction(link), kUnicodeOnly);
    Raw("}}{");
    Word("fldrslt");
    Raw("{");
    CharFormat outside = current_;
    while (i < content.size() &&
           std::visit([](const auto& x) -> const std::string& { return x.format.link; }, content[i]) == link)
      WriteInline(content[i++]);
    Raw("}}}");
    current_ = outside;
  }
}

void Writer::WriteInline(const Inline& item) {
  if (const Run* run = std::get_if<Run>(&item)) {
    WriteCharFormat(run->format);
    WriteText(run->text, CodePageOfFont(FontNumber(run->format.font)));
  } else if (const Image* image = std::get_if<Image>(&item)) {
    WriteCharFormat(image->format);
    WriteImage(*image);
  } else {
    const Fragment& fragment = std::get<Fragment>(item);
    WriteCharFormat(fragment.format);
    Raw(fragment.rtf);
  }
}

void Writer::WriteImage(const Image& image) {
  Raw("{");
  Word("pict");
  switch (image.type) {
    case PictureType::kPng: Word("pngblip"); break;
    case PictureType::kJpeg: Word("jpegblip"); break;
    case PictureType::kEmf: Word("emfblip"); break;
    case PictureType::kWmf: Word("wmetafile", image.typeParameter); break;
    case PictureType::kDib: Word("dibitmap", image.typeParameter); break;
    case PictureType::kBitmap: Word("wbitmap", image.typeParameter); break;
    case PictureType::kMacPict: Word("macpict"); break;
    case PictureType::kOs2Metafile: Word("pmmetafile", image.typeParameter); break;
    case PictureType::kUnknown: break;
  }
  Raw(image.extra);
  Word("picw", image.width);
  Word("pich", image.height);
  if (image.goalWidth != 0) Word("picwgoal", image.goalWidth);
  if (image.goalHeight != 0) Word("pichgoal", image.goalHeight);
  if (image.scaleX != 100) Word("picscalex", image.scaleX);
  if (image.scaleY != 100) Word("picscaley", image.scaleY);
  if (image.cropLeft != 0) Word("piccropl", image.cropLeft);
  if (image.cropTop != 0) Word("piccropt", image.cropTop);
  if (image.cropRight != 0) Word("piccropr", image.cropRight);
  if (image.cropBottom != 0) Word("piccropb", image.cropBottom);
  static constexpr char kHex[] = "0123456789abcdef";
  const std::string& data = image.data;
  out_.reserve(out_.size() + data.size() * 2 + data.size() / 32 + 8);
  for (size_t i = 0; i < data.size(); ++i) {
    if (i % 64 == 0) out_ += "\r\n";
    unsigned char byte = static_cast<unsigned char>(data[i]);
    out_ += kHex[byte >> 4];
    out_ += kHex[byte & 15];
  }
  Raw("\r\n}");
}

void Writer::WriteCharFormat(const CharFormat& to) {
  if (current_.extra != to.extra) WriteExtraWords(to.extra);
  CharFormat& from = current_;
  if (from.font != to.font) Word("f", FontNumber(to.font));
  if (from.halfPoints != to.halfPoints) Word("fs", to.halfPoints);
  auto flag = [this](bool was, bool is, const char* word) {
    if (was == is) return;
    if (is) Word(word);
    else Word(word, 0);
  };
  flag(from.bold, to.bold, "b");
  flag(from.italic, to.italic, "i");
  flag(from.strike, to.strike, "strike");
  flag(from.hidden, to.hidden, "v");
  if (from.underline != to.underline) {
    static constexpr const char* kUnderline[] = {"ulnone", "ul", "uldb", "uld", "uldash", "ulwave", "ulth", "ulw"};
    Word(kUnderline[static_cast<int>(to.underline)]);
  }
  if (from.vertical != to.vertical) {
    static constexpr const char* kVertical[] = {"nosupersub", "super", "sub"};
    Word(kVertical[static_cast<int>(to.vertical)]);
  }
  if (from.color != to.color) Word("cf", ColorIndex(to.color, false));
  if (from.background != to.background) Word("highlight", ColorIndex(to.background, true));
  std::string link = std::move(from.link);
  from = to;
  from.link = std::move(link);
}

// A word the new format lacks can only be turned off by \plain, after which everything else
// is written again; words it adds or changes are written as they stand.
void Writer::WriteExtraWords(const std::string& to) {
  std::vector<std::string_view> wanted = ExtraEntries(to);
  std::vector<std::string_view> present = ExtraEntries(current_.extra);
  bool dropsWord = std::any_of(present.begin(), present.end(), [&](std::string_view entry) {
    return std::none_of(wanted.begin(), wanted.end(), [&](std::string_view w) {
      return ExtraEntryName(w) == ExtraEntryName(entry);
    });
  });
  if (dropsWord) {
    Word("plain");
    std::string link = std::move(current_.link);
    current_ = StartFormat();
    current_.link = std::move(link);
    present.clear();
  }
  for (std::string_view entry : wanted) {
    if (std::find(present.begin(), present.end(), entry) != present.end()) continue;
    Raw(entry);
    delimit_ = true;
  }
  current_.extra = to;
}

void Writer::WriteUnicode(char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    WriteUnicode(0xD800 + (cp >> 10));
    WriteUnicode(0xDC00 + (cp & 0x3FF));
    return;
  }
  Raw("\\u");
  out_ += std::to_string(cp < 0x8000 ? static_cast<int>(cp) : static_cast<int>(cp) - 65536);
  out_ += '?';
}

unsigned Writer::CodePageOfFont(int number) const {
  for (const Font& font : fonts_)
    if (font.number == number) return rtf::CodePageOfFont(font, doc_.codePage);
  return doc_.codePage;
}

void Writer::WriteText(std::string_view utf8, unsigned codePage) {
  size_t pos = 0;
  std::string bytes;
  while (pos < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[pos]);
    // In a symbol font a byte stands for a symbol, so only the space stays a byte there.
    if (c >= 0x20 && c < 0x80 && (codePage != kCodePageSymbol || c == ' ')) {
      if (c == '\\' || c == '{' || c == '}') {
        Raw("\\");
        out_ += static_cast<char>(c);
      } else {
        Literal(static_cast<char>(c));
      }
      ++pos;
      continue;
    }
    size_t start = pos;
    char32_t cp = NextCodePoint(utf8, pos);
    switch (cp) {
      case '\t': Word("tab"); continue;
      case '\n': case 0x2028: Word("line"); continue;
      default: break;
    }
    if (cp < 0x20) continue;
    // A character of the font's code page is written as its bytes, the rest as \u.
    if (codePage != kCodePageSymbol && codePage != kUnicodeOnly &&
        Utf8ToCodePage(codePage, utf8.substr(start, pos - start), bytes) &&
        !bytes.empty()) {
      for (unsigned char b : bytes) {
        static constexpr char kHex[] = "0123456789abcdef";
        Raw("\\'");
        out_ += kHex[b >> 4];
        out_ += kHex[b & 15];
      }
    } else {
      WriteUnicode(cp);
    }
  }
}

}  // namespace

std::string WriteRtf(const Document& document) { return Writer(document).Write(); }

}  // namespace mlf::rtf
