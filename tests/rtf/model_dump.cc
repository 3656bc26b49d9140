#include "model_dump.h"

#include <sstream>

namespace mlf::rtf {
namespace {

void DumpFormat(std::ostream& out, const CharFormat& f) {
  out << "[" << f.font << " " << f.halfPoints;
  if (f.bold) out << " b";
  if (f.italic) out << " i";
  if (f.strike) out << " s";
  if (f.hidden) out << " v";
  if (f.underline != Underline::kNone) out << " ul" << static_cast<int>(f.underline);
  if (f.vertical != VerticalAlign::kBaseline) out << " va" << static_cast<int>(f.vertical);
  if (f.color) out << " cf" << std::hex << *f.color << std::dec;
  if (f.background) out << " bg" << std::hex << *f.background << std::dec;
  if (!f.link.empty()) out << " link=" << f.link;
  if (!f.extra.empty()) out << " " << f.extra;
  out << "]";
}

void DumpParagraph(std::ostream& out, const Paragraph& p, const char* indent) {
  const ParagraphFormat& f = p.format;
  out << indent << "P al" << static_cast<int>(f.alignment) << " li" << f.leftIndent << " ri"
      << f.rightIndent << " fi" << f.firstLineIndent << " sb" << f.spaceBefore << " sa"
      << f.spaceAfter << " sl" << f.lineSpacing << (f.lineSpacingMultiple ? "m" : "")
      << (f.pageBreakBefore ? " pagebb" : "") << " " << f.extra << " tabs";
  for (const TabStop& t : f.tabs)
    out << " " << t.position << "/" << static_cast<int>(t.kind) << "/" << static_cast<int>(t.leader);
  out << " list"
      << static_cast<int>(f.list.style) << "/" << f.list.level << "/" << f.list.start << "/\"" << f.list.prefix
      << "\"/\"" << f.list.suffix << "\" mark";
  DumpFormat(out, p.markFormat);
  out << "\n";
  for (const Inline& item : p.content) {
    out << indent << "  ";
    if (const Run* run = std::get_if<Run>(&item)) {
      out << "run ";
      DumpFormat(out, run->format);
      out << " \"" << run->text << "\"\n";
    } else if (const Image* image = std::get_if<Image>(&item)) {
      out << "image type" << static_cast<int>(image->type) << " " << image->data.size() << " bytes "
          << image->width << "x" << image->height << " goal " << image->goalWidth << "x"
          << image->goalHeight << " scale " << image->scaleX << "x" << image->scaleY << " crop "
          << image->cropLeft << "," << image->cropTop << "," << image->cropRight << ","
          << image->cropBottom << " param " << image->typeParameter << " extra " << image->extra << " ";
      DumpFormat(out, image->format);
      out << "\n";
    } else {
      const Fragment& fragment = std::get<Fragment>(item);
      out << "fragment \"" << fragment.text << "\" " << fragment.rtf << " ";
      DumpFormat(out, fragment.format);
      out << "\n";
    }
  }
}

}  // namespace

std::string DumpDocument(const Document& d) {
  std::ostringstream out;
  out << "deff " << d.defaultFont << " cpg " << d.codePage << "\n";
  for (const Font& f : d.fonts)
    out << "font " << f.number << " " << f.name << " " << f.family << " cs" << f.charset << " cpg"
        << f.codePage << " prq" << f.pitch << " " << f.extra << "\n";
  out << "colors";
  for (const auto& c : d.colors) {
    if (c) out << " " << std::hex << *c << std::dec;
    else out << " auto";
  }
  out << "\nheader " << d.header << "\n";
  for (const Block& block : d.blocks) {
    if (const Paragraph* p = std::get_if<Paragraph>(&block)) {
      DumpParagraph(out, *p, "");
      continue;
    }
    out << "table\n";
    for (const TableRow& row : std::get<Table>(block).rows) {
      out << "  row left" << row.leftEdge << " gap" << row.cellGap << "\n";
      for (const TableCell& cell : row.cells) {
        out << "    cell " << cell.rightEdge << "\n";
        for (const Paragraph& p : cell.paragraphs) DumpParagraph(out, p, "      ");
      }
    }
  }
  return out.str();
}

}  // namespace mlf::rtf
