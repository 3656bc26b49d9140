#include "views/rich_text_export.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include "views/rich_text_formats.h"
#include "views/rich_text_import.h"
#include "views/unused_block.h"

namespace mlf {
namespace {

// A picture that came into the document some other way than from the note (pasted): as PNG.
rtf::Image NewPicture(const QTextDocument& document, const QTextImageFormat& format) {
  rtf::Image image;
  QImage picture = document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
  if (picture.isNull()) return image;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  image.type = rtf::PictureType::kPng;
  image.data.assign(png.constData(), size_t(png.size()));
  image.width = picture.width();
  image.height = picture.height();
  image.goalWidth = PixelsToTwips(format.width() > 0 ? format.width() : picture.width());
  image.goalHeight = PixelsToTwips(format.height() > 0 ? format.height() : picture.height());
  return image;
}

void AppendText(std::vector<rtf::Inline>& content, const QString& text, const rtf::CharFormat& format) {
  if (text.isEmpty()) return;
  std::string utf8 = text.toStdString();
  if (!content.empty())
    if (auto* last = std::get_if<rtf::Run>(&content.back()); last && last->format == format) {
      last->text += utf8;
      return;
    }
  content.push_back(rtf::Run{std::move(utf8), format});
}

rtf::Paragraph ToParagraph(const QTextDocument& document, const QTextBlock& block) {
  rtf::Paragraph paragraph;
  paragraph.format = ToModelFormat(block.blockFormat());
  if (QTextList* list = block.textList()) paragraph.format.list = ToModelList(list->format());
  else paragraph.format.list = {};
  paragraph.markFormat = ToModelFormat(block.charFormat());
  for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
    QTextFragment fragment = it.fragment();
    QTextCharFormat format = fragment.charFormat();
    QString text = fragment.text();
    if (format.isImageFormat() || format.objectType() == kPlaceholderObjectType) {
      // One object per object character; a fragment holds several alike ones in a row.
      for (QChar c : text) {
        if (c != QChar(kObjectCharacter)) continue;
        if (format.objectType() == kPlaceholderObjectType) {
          auto kept = format.property(kModelFragment).value<rtf::Fragment>();
          kept.format = ToModelFormat(format);
          paragraph.content.push_back(std::move(kept));
          continue;
        }
        QVariant model = format.property(kModelImage);
        rtf::Image image = model.canConvert<rtf::Image>() ? model.value<rtf::Image>() : NewPicture(document, format.toImageFormat());
        if (image.data.empty()) continue;
        image.format = ToModelFormat(format);
        paragraph.content.push_back(std::move(image));
      }
      continue;
    }
    text.remove(QChar(kObjectCharacter));
    AppendText(paragraph.content, text, ToModelFormat(format));
  }
  return paragraph;
}

class Exporter {
 public:
  explicit Exporter(const QTextDocument& document) : m_document(document) {}

  // The blocks of a frame; tables become tables only at the top level, inside a cell their
  // cells' paragraphs follow each other (the model has no nested tables).
  void AddFrame(const QTextFrame& frame, std::vector<rtf::Block>* blocks, std::vector<rtf::Paragraph>* paragraphs) {
    for (QTextFrame::iterator it = frame.begin(); !it.atEnd(); ++it) {
      if (QTextFrame* child = it.currentFrame()) {
        auto* table = qobject_cast<QTextTable*>(child);
        if (table && blocks) blocks->push_back(ToTable(*table));
        else if (table) AddCells(*table, *paragraphs);
        else AddFrame(*child, blocks, paragraphs);
        continue;
      }
      QTextBlock block = it.currentBlock();
      if (IsUnusedBlock(block)) continue;
      rtf::Paragraph paragraph = ToParagraph(m_document, block);
      if (blocks) blocks->emplace_back(std::in_place_type<rtf::Paragraph>, std::move(paragraph));
      else paragraphs->push_back(std::move(paragraph));
    }
  }

 private:
  void AddCellParagraphs(const QTextTableCell& cell, std::vector<rtf::Paragraph>& paragraphs) {
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
      if (QTextFrame* child = it.currentFrame()) {
        AddFrame(*child, nullptr, &paragraphs);
        continue;
      }
      if (!IsUnusedBlock(it.currentBlock())) paragraphs.push_back(ToParagraph(m_document, it.currentBlock()));
    }
  }

  void AddCells(const QTextTable& table, std::vector<rtf::Paragraph>& paragraphs) {
    for (int r = 0; r < table.rows(); ++r)
      for (int c = 0; c < table.columns(); ++c)
        if (QTextTableCell cell = table.cellAt(r, c); cell.row() == r && cell.column() == c) AddCellParagraphs(cell, paragraphs);
  }

  rtf::Table ToTable(const QTextTable& table) {
    rtf::Table model;
    QList<QTextLength> widths = table.format().columnWidthConstraints();
    for (int r = 0; r < table.rows(); ++r) {
      rtf::TableRow row;
      QTextTableCellFormat first = table.cellAt(r, 0).format().toTableCellFormat();
      if (QVariant shape = first.property(kModelRow); shape.canConvert<rtf::TableRow>()) row = shape.value<rtf::TableRow>();
      else row.cellGap = PixelsToTwips(first.leftPadding());
      int edge = row.leftEdge;
      for (int c = 0; c < table.columns();) {
        QTextTableCell cell = table.cellAt(r, c);
        int span = std::max(1, cell.column() + cell.columnSpan() - c);
        for (int spanned = c; spanned < c + span; ++spanned)
          edge += spanned < widths.size() ? PixelsToTwips(widths[spanned].rawValue()) : 1440;
        c += span;
        // A cell merged down from the row above belongs to that row.
        if (cell.row() != r) continue;
        rtf::TableCell modelCell;
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        modelCell.rightEdge = format.hasProperty(kCellRightEdge) ? format.intProperty(kCellRightEdge) : edge;
        AddCellParagraphs(cell, modelCell.paragraphs);
        row.cells.push_back(std::move(modelCell));
      }
      model.rows.push_back(std::move(row));
    }
    return model;
  }

  const QTextDocument& m_document;
};

}  // namespace

rtf::Document ExportRichText(const QTextDocument& document, const rtf::Document& shell) {
  rtf::Document model = shell;
  model.blocks.clear();
  Exporter(document).AddFrame(*document.rootFrame(), &model.blocks, nullptr);
  return model;
}

}  // namespace mlf
