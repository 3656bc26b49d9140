// The numbers and bullets of list paragraphs, counted the one way the writer, the plain text
// and the reader agree on: consecutive paragraphs of one table cell (or of the text outside
// tables) with equal list formats count up from the format's start.
#pragma once

#include <string>
#include <variant>

#include "rtf/document.h"

namespace mlf::rtf {

// The largest start a list level can have in RTF; the reader keeps starts to it.
constexpr int kMaxListNumber = 32767;

// A number in a list style: "7", "g", "VII"; empty for bullets and no list.
std::string NumberText(ListFormat::Style style, int number);

// What a reader sees before the paragraph's text: "•" for a bullet, else prefix, number and
// suffix ("3.", "(c)").
std::string MarkerText(const ListFormat& list, int number);

class ListCounter {
 public:
  // The number of the next paragraph, which has this list format.
  int Next(const ListFormat& list) {
    number_ = counting_ && list == run_ ? number_ + 1 : list.start;
    counting_ = true;
    run_ = list;
    return number_;
  }
  // A paragraph outside lists, or a cell or table boundary: the next list starts anew.
  void Break() { counting_ = false; }
  // The start of the list format the last number counted in.
  int RunStart() const { return run_.start; }

 private:
  ListFormat run_;
  int number_ = 0;
  bool counting_ = false;
};

// Calls visit(paragraph) for the block's paragraph or the paragraphs of its table cells in
// order, and breaks the counter where a list cannot go on: at the start of each cell and after
// a table.
template <typename BlockT, typename Visit>
void ForEachParagraphOf(BlockT& block, ListCounter& counter, Visit&& visit) {
  if (auto* paragraph = std::get_if<Paragraph>(&block)) {
    visit(*paragraph);
    return;
  }
  for (auto& row : std::get<Table>(block).rows)
    for (auto& cell : row.cells) {
      counter.Break();
      for (auto& paragraph : cell.paragraphs) visit(paragraph);
    }
  counter.Break();
}

// The same for every block of the document.
template <typename DocumentT, typename Visit>
void ForEachParagraph(DocumentT& document, ListCounter& counter, Visit visit) {
  for (auto& block : document.blocks) ForEachParagraphOf(block, counter, visit);
}

}  // namespace mlf::rtf
