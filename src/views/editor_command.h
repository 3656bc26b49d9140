// The commands the note editor carries out for the main window's menus and bars.
#pragma once

namespace mlf {

enum class EditorCommand {
  kUndo, kRedo, kCut, kCopy, kPaste, kSelectAll,
  kFind, kReplace, kFont, kParagraph,
  kBold, kItalic, kUnderline, kStrikethrough, kDoubleUnderline, kDottedUnderline,
  kAlignLeft, kAlignCenter, kAlignRight, kAlignJustify,
  kBullets, kIndentLess, kIndentMore,
};

struct CommandState {
  bool enabled = true;
  bool checked = false;
  bool operator==(const CommandState&) const = default;
};

}  // namespace mlf
