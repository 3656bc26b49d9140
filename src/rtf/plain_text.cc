#include "rtf/plain_text.h"

#include "platform/codepage.h"
#include "rtf/list_numbers.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

namespace mlf::rtf {
namespace {

void AppendParagraph(std::string& out, const Paragraph& paragraph, bool& first, ListCounter& numbers) {
  if (!first) out += '\n';
  first = false;
  if (paragraph.format.list.style == ListFormat::Style::kNone) {
    numbers.Break();
  } else {
    out += MarkerText(paragraph.format.list, numbers.Next(paragraph.format.list));
    out += ' ';
  }
  for (const Inline& item : paragraph.content) {
    if (const Run* run = std::get_if<Run>(&item)) {
      if (run->format.hidden) continue;
      // U+2028, the line break, becomes a plain line feed.
      if (run->text.find('\xe2') == std::string::npos) {
        out += run->text;
        continue;
      }
      for (size_t pos = 0;;) {
        size_t brk = run->text.find("\xe2\x80\xa8", pos);
        out.append(run->text, pos, brk == std::string::npos ? std::string::npos : brk - pos);
        if (brk == std::string::npos) break;
        out += '\n';
        pos = brk + 3;
      }
    } else if (const Fragment* fragment = std::get_if<Fragment>(&item)) {
      if (!fragment->format.hidden) out += fragment->text;
    }
  }
}

}  // namespace

std::string PlainText(const Document& document) {
  std::string out;
  bool first = true;
  ListCounter numbers;
  ForEachParagraph(document, numbers, [&](const Paragraph& paragraph) { AppendParagraph(out, paragraph, first, numbers); });
  return out;
}

std::string RtfToPlainText(std::string_view rtf) {
  std::string text;
  RtfToPlainText(rtf, [&](std::string_view piece) { text += piece; });
  return text;
}

void RtfToPlainText(std::string_view rtf, const std::function<void(std::string_view)>& sink) {
  constexpr size_t kPiece = 64 * 1024;
  std::string out;
  bool first = true;
  ListCounter numbers;
  ReadRtfText(rtf, [&](const Block& block) {
    ForEachParagraphOf(block, numbers, [&](const Paragraph& paragraph) { AppendParagraph(out, paragraph, first, numbers); });
    if (out.size() < kPiece) return;
    sink(out);
    out.clear();
  });
  if (!out.empty()) sink(out);
}

std::string PlainTextToRtf(std::string_view text, std::string_view fontFace, int pointSize) {
  if (text.substr(0, 3) == "\xef\xbb\xbf") text.remove_prefix(3);
  std::string utf8 = StoredTextToUtf8(text);
  Document document;
  document.fonts.push_back(Font{0, std::string(fontFace), "nil", 0, 0, -1, {}});
  CharFormat format;
  format.font = std::string(fontFace);
  format.halfPoints = pointSize > 0 ? pointSize * 2 : 24;
  size_t pos = 0;
  for (;;) {
    size_t end = utf8.find_first_of("\r\n", pos);
    Paragraph paragraph;
    paragraph.markFormat = format;
    std::string line = utf8.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!line.empty()) paragraph.content.emplace_back(Run{std::move(line), format});
    document.blocks.emplace_back(std::move(paragraph));
    if (end == std::string::npos) break;
    pos = end + (utf8.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return WriteRtf(document);
}

}  // namespace mlf::rtf
