// The neutral rich-text model that RTF is read into and written from. It is shaped after what
// a rich-text editor holds: a flow of blocks (paragraphs and tables), each paragraph a block
// format plus inline items (text runs, pictures, opaque fragments) that carry a character
// format. Text is UTF-8. Lengths are in twips (1/1440 inch) unless a field says otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace mlf::rtf {

// 0xRRGGBB.
using Rgb = uint32_t;

enum class Underline : uint8_t { kNone, kSingle, kDouble, kDotted, kDash, kWave, kThick, kWord };
enum class VerticalAlign : uint8_t { kBaseline, kSuperscript, kSubscript };

struct CharFormat {
  std::string font;          // face name; empty: the document's default font
  int halfPoints = 24;       // font size in half points
  bool bold = false;
  bool italic = false;
  bool strike = false;
  bool hidden = false;
  Underline underline = Underline::kNone;
  VerticalAlign vertical = VerticalAlign::kBaseline;
  std::optional<Rgb> color;       // none: automatic
  std::optional<Rgb> background;  // highlight; none: transparent
  std::string link;               // hyperlink target; empty: not a link
  // Character-format control words the fields above do not cover (\lang1031\caps), as RTF,
  // one entry per word, in effect wherever this format is; written back verbatim.
  std::string extra;
  bool operator==(const CharFormat&) const = default;
};

enum class Alignment : uint8_t { kLeft, kCenter, kRight, kJustify };

struct TabStop {
  enum class Kind : uint8_t { kLeft, kCenter, kRight, kDecimal };
  enum class Leader : uint8_t { kNone, kDots, kHyphens, kUnderline, kThickLine, kEqualSigns };
  int position = 0;
  Kind kind = Kind::kLeft;
  Leader leader = Leader::kNone;
  bool operator==(const TabStop&) const = default;
};

// Bullets and numbering of one paragraph; consecutive paragraphs with equal list formats form
// one list.
struct ListFormat {
  enum class Style : uint8_t {
    kNone, kBullet, kDecimal, kLowerAlpha, kUpperAlpha, kLowerRoman, kUpperRoman
  };
  // Spelled out, so that {style, level, start} stays enough to write one.
  ListFormat(Style style = Style::kNone, int level = 0, int start = 1, std::string prefix = {},
             std::string suffix = ".")
      : style(style), level(level), start(start), prefix(std::move(prefix)), suffix(std::move(suffix)) {}
  Style style;
  int level;  // 0 is the outermost level
  int start;
  // Text around a number ("(" and ")", or "2." before the number of an item inside item 2);
  // bullets have none.
  std::string prefix;
  std::string suffix;
  bool operator==(const ListFormat&) const = default;
};

struct ParagraphFormat {
  Alignment alignment = Alignment::kLeft;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstLineIndent = 0;  // relative to leftIndent; negative for a hanging indent
  int spaceBefore = 0;
  int spaceAfter = 0;
  // 0: single. Positive: at least this much; negative: exactly this much. With
  // lineSpacingMultiple, a multiple of single spacing in 240ths.
  int lineSpacing = 0;
  bool lineSpacingMultiple = false;
  bool pageBreakBefore = false;
  std::vector<TabStop> tabs;
  ListFormat list;
  // Paragraph control words the fields above do not cover (\s2\keepn), as RTF, one entry
  // per word; written back verbatim after the paragraph's \pard.
  std::string extra;
  bool operator==(const ParagraphFormat&) const = default;
};

enum class PictureType : uint8_t {
  kPng, kJpeg, kEmf, kWmf, kDib, kBitmap, kMacPict, kOs2Metafile, kUnknown
};

struct Image {
  PictureType type = PictureType::kUnknown;
  int typeParameter = 0;     // the N of \wmetafileN, \dibitmapN, \wbitmapN, \pmmetafileN
  std::string data;          // the picture's bytes as stored (PNG file, JPEG file, metafile, ...)
  int width = 0;             // \picw: pixels, or 0.01 mm for metafiles
  int height = 0;            // \pich
  int goalWidth = 0;         // \picwgoal: intended size in twips; 0 when not given
  int goalHeight = 0;
  int scaleX = 100;          // percent
  int scaleY = 100;
  int cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;
  std::string extra;         // further picture properties, as RTF, written back verbatim
  CharFormat format;         // the character format in effect where the picture stands
  bool operator==(const Image&) const = default;
};

struct Run {
  std::string text;  // U+0009 tab, U+2028 line break; no paragraph breaks
  CharFormat format;
  bool operator==(const Run&) const = default;
};

// RTF the model cannot express (an embedded object, a shape, a non-link field, an unknown
// destination), kept as one balanced group and written back byte for byte.
struct Fragment {
  std::string rtf;
  std::string text;   // what a reader sees of it (a field's result); often empty
  CharFormat format;  // the character format in effect where it stands
  bool operator==(const Fragment&) const = default;
};

using Inline = std::variant<Run, Image, Fragment>;

struct Paragraph {
  ParagraphFormat format;
  CharFormat markFormat;  // the format of the paragraph mark: sets an empty line's height
  std::vector<Inline> content;
  bool operator==(const Paragraph&) const = default;
};

struct TableCell {
  int rightEdge = 0;  // \cellx, from the row's left edge as RTF counts it
  std::vector<Paragraph> paragraphs;
  bool operator==(const TableCell&) const = default;
};

struct TableRow {
  int leftEdge = 0;  // \trleft
  int cellGap = 0;   // \trgaph: half the space between cells
  std::vector<TableCell> cells;
  bool operator==(const TableRow&) const = default;
};

struct Table {
  std::vector<TableRow> rows;
  bool operator==(const Table&) const = default;
};

using Block = std::variant<Paragraph, Table>;

// One entry of the font table. RTF numbers fonts freely; the numbers are kept so that
// fragments that name fonts stay right.
struct Font {
  int number = 0;
  std::string name;
  std::string family = "nil";  // nil roman swiss modern script decor tech bidi
  int charset = -1;            // \fcharset; -1 when not given
  int codePage = 0;            // \cpg; 0 when not given
  int pitch = -1;              // \fprq; -1 when not given
  std::string extra;           // sub-groups such as {\*\panose ...}, verbatim
  bool operator==(const Font&) const = default;
};

struct Document {
  std::vector<Font> fonts;
  int defaultFont = 0;                     // \deff, a font number
  unsigned codePage = 1252;                // \ansicpg: text in no font, or in a font without a known \fcharset
  std::vector<std::optional<Rgb>> colors;  // the colour table; none: automatic
  // Document-level RTF kept verbatim and written back after the colour table: the
  // stylesheet, list tables, document information, page layout words.
  std::string header;
  std::vector<Block> blocks;
  bool operator==(const Document&) const = default;
};

}  // namespace mlf::rtf
