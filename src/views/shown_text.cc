#include "views/shown_text.h"

#include <QTextBlock>
#include <QTextDocument>

#include "rtf/plain_text.h"
#include "views/rich_text_formats.h"
#include "views/rich_text_import.h"
#include "views/unused_block.h"

namespace mlf {
namespace {

// The editor's text holds neither placeholders nor list numbers (the list draws those).
void DropFragmentsAndNumbers(rtf::Paragraph& paragraph) {
  std::erase_if(paragraph.content, [](const rtf::Inline& item) { return std::holds_alternative<rtf::Fragment>(item); });
  paragraph.format.list = rtf::ListFormat();
}

}  // namespace

std::string ShownText(const QTextDocument& document) {
  QString text;
  bool first = true;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (IsUnusedBlock(block)) continue;
    if (!first) text += u'\n';
    first = false;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      if (ToModelFormat(fragment.charFormat()).hidden) continue;
      for (QChar c : fragment.text()) {
        if (c == QChar(kObjectCharacter)) continue;
        text += c == QChar::LineSeparator ? QChar(u'\n') : c;
      }
    }
  }
  return text.toStdString();
}

std::string ShownText(const rtf::Document& model) {
  rtf::Document copy = model;
  for (rtf::Block& block : copy.blocks) {
    if (auto* paragraph = std::get_if<rtf::Paragraph>(&block)) {
      DropFragmentsAndNumbers(*paragraph);
      continue;
    }
    for (rtf::TableRow& row : std::get<rtf::Table>(block).rows)
      for (rtf::TableCell& cell : row.cells)
        for (rtf::Paragraph& paragraph : cell.paragraphs) DropFragmentsAndNumbers(paragraph);
  }
  return rtf::PlainText(copy);
}

}  // namespace mlf
