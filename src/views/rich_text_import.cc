#include "views/rich_text_import.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include "views/rich_text_formats.h"
#include "views/rich_text_objects.h"
#include "views/unused_block.h"

namespace mlf {
namespace {

// Run text as Qt takes it: no character that Qt would turn into a block or frame boundary.
QString RunText(const std::string& text) {
  QString qt = QString::fromStdString(text);
  for (QChar& c : qt)
    if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) c = QChar::LineSeparator;
  qt.remove(QChar(kObjectCharacter));
  qt.remove(QChar(0xFDD0));  // the beginning and the end of a frame
  qt.remove(QChar(0xFDD1));
  return qt;
}

class Builder {
 public:
  explicit Builder(QTextDocument& document) : m_document(document) {}

  // Fills the blocks of a frame or cell; cursor stands in its first, empty block.
  void AddParagraphs(QTextCursor cursor, const std::vector<rtf::Paragraph>& paragraphs) {
    bool used = false;
    QTextList* list = nullptr;
    for (const rtf::Paragraph& paragraph : paragraphs) AddParagraph(cursor, used, list, paragraph);
    if (!used) MarkUnusedBlock(cursor.block());
  }

  void AddBlocks(QTextCursor cursor, const std::vector<rtf::Block>& blocks) {
    bool used = false;
    QTextList* list = nullptr;
    for (const rtf::Block& block : blocks) {
      if (const auto* paragraph = std::get_if<rtf::Paragraph>(&block)) {
        AddParagraph(cursor, used, list, *paragraph);
        continue;
      }
      if (!used) MarkUnusedBlock(cursor.block());
      QTextTable* table = AddTable(cursor, std::get<rtf::Table>(block));
      cursor = table->lastCursorPosition();
      cursor.movePosition(QTextCursor::NextBlock);
      used = false;
      list = nullptr;
    }
    if (!used) MarkUnusedBlock(cursor.block());
  }

 private:
  void AddParagraph(QTextCursor& cursor, bool& used, QTextList*& list, const rtf::Paragraph& paragraph) {
    QTextBlockFormat blockFormat = ToQtFormat(paragraph.format);
    QTextCharFormat markFormat = ToQtFormat(paragraph.markFormat);
    if (used) {
      cursor.insertBlock(blockFormat, markFormat);
    } else {
      cursor.setBlockFormat(blockFormat);
      // Merged, not set: in a cell's first block this format also holds the cell's span.
      cursor.mergeBlockCharFormat(markFormat);
      used = true;
    }
    const rtf::ListFormat& wanted = paragraph.format.list;
    if (wanted.style == rtf::ListFormat::Style::kNone) {
      list = nullptr;
    } else if (list && ToModelList(list->format()) == wanted) {
      list->add(cursor.block());
    } else {
      list = cursor.createList(ToQtList(wanted));
    }
    for (const rtf::Inline& item : paragraph.content) AddInline(cursor, item);
  }

  void AddInline(QTextCursor& cursor, const rtf::Inline& item) {
    if (const auto* run = std::get_if<rtf::Run>(&item)) {
      cursor.insertText(RunText(run->text), ToQtFormat(run->format));
    } else if (const auto* image = std::get_if<rtf::Image>(&item)) {
      QImage decoded = DecodePicture(*image);
      QSizeF size = PictureDisplaySize(*image, decoded);
      QUrl name(QStringLiteral("mlf-picture:%1").arg(++m_pictures));
      m_document.addResource(QTextDocument::ImageResource, name, decoded.isNull() ? UnshownPicture(size) : decoded);
      QTextImageFormat format;
      format.merge(ToQtFormat(image->format));
      format.setName(name.toString());
      format.setWidth(size.width());
      format.setHeight(size.height());
      format.setProperty(kModelImage, QVariant::fromValue(*image));
      cursor.insertImage(format);
    } else {
      const auto& fragment = std::get<rtf::Fragment>(item);
      QTextCharFormat format = ToQtFormat(fragment.format);
      format.setObjectType(kPlaceholderObjectType);
      format.setProperty(kModelFragment, QVariant::fromValue(fragment));
      cursor.insertText(QString(QChar(kObjectCharacter)), format);
    }
  }

  QTextTable* AddTable(QTextCursor& cursor, const rtf::Table& model) {
    int rows = int(model.rows.size());
    int columns = 1;
    size_t widest = 0;
    for (size_t r = 0; r < model.rows.size(); ++r) {
      if (int(model.rows[r].cells.size()) > columns) {
        columns = int(model.rows[r].cells.size());
        widest = r;
      }
    }
    QTextTableFormat format;
    // The note keeps no cell borders; a light grid shows where the cells are.
    format.setBorder(1);
    format.setBorderBrush(QColor(200, 200, 200));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellPadding(0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setAlignment(Qt::AlignLeft);
    if (rows > 0) {
      const rtf::TableRow& row = model.rows[widest];
      format.setLeftMargin(TwipsToPixels(std::max(0, row.leftEdge)));
      QList<QTextLength> widths;
      int left = row.leftEdge;
      for (const rtf::TableCell& cell : row.cells) {
        widths.push_back(QTextLength(QTextLength::FixedLength, TwipsToPixels(std::max(cell.rightEdge - left, 1))));
        left = cell.rightEdge;
      }
      if (!widths.isEmpty()) format.setColumnWidthConstraints(widths);
    }
    QTextTable* table = cursor.insertTable(std::max(rows, 1), columns, format);
    for (int r = 0; r < rows; ++r) {
      const rtf::TableRow& row = model.rows[size_t(r)];
      int cells = int(row.cells.size());
      // A row with fewer cells than the widest ends in one cell that spans the rest.
      if (cells > 0 && cells < columns) table->mergeCells(r, cells - 1, 1, columns - cells + 1);
      for (int c = 0; c < cells; ++c) {
        QTextTableCell cell = table->cellAt(r, c);
        AddParagraphs(cell.firstCursorPosition(), row.cells[size_t(c)].paragraphs);
        // The cell's format is the character format of its first paragraph mark: the cell's
        // properties join the mark format set above.
        QTextTableCellFormat cellFormat = table->cellAt(r, c).format().toTableCellFormat();
        cellFormat.setProperty(kCellRightEdge, row.cells[size_t(c)].rightEdge);
        // The row's gap is the space left and right of each cell's text.
        cellFormat.setLeftPadding(TwipsToPixels(row.cellGap));
        cellFormat.setRightPadding(TwipsToPixels(row.cellGap));
        if (c == 0) {
          rtf::TableRow shape = row;
          shape.cells.clear();
          cellFormat.setProperty(kModelRow, QVariant::fromValue(shape));
        }
        table->cellAt(r, c).setFormat(cellFormat);
      }
    }
    return table;
  }

  QTextDocument& m_document;
  int m_pictures = 0;
};

QString DefaultFontName(const rtf::Document& model) {
  for (const rtf::Font& font : model.fonts)
    if (font.number == model.defaultFont) return QString::fromStdString(font.name);
  return {};
}

}  // namespace

void ImportRichText(const rtf::Document& model, QTextDocument& document) {
  bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  // The geometry of list items is in their margins, as in RTF.
  document.setIndentWidth(0);
  document.setDocumentMargin(4);
  QFont font = document.defaultFont();
  if (QString name = DefaultFontName(model); !name.isEmpty()) font.setFamilies({name});
  font.setPointSizeF(12);
  document.setDefaultFont(font);
  RegisterPlaceholders(document);
  // One edit: the layout runs once at its end, not after every insertion.
  QTextCursor edit(&document);
  edit.beginEditBlock();
  Builder(document).AddBlocks(QTextCursor(&document), model.blocks);
  edit.endEditBlock();
  document.setUndoRedoEnabled(undo);
  document.setModified(false);
}

}  // namespace mlf
