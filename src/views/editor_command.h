// The commands the note editor carries out for the main window's menus and bars.
#pragma once

#include <utility>

#include "app/commands.h"

namespace mlf {

enum class EditorCommand {
  kUndo, kRedo, kCut, kCopy, kPaste, kSelectAll,
  kFind, kReplace, kFont, kParagraph,
  kBold, kItalic, kUnderline, kStrikethrough, kDoubleUnderline, kDottedUnderline,
  kAlignLeft, kAlignCenter, kAlignRight, kAlignJustify,
  kBullets, kIndentLess, kIndentMore,
  kCheckSpelling,
};

// The program's command of each editor command.
inline constexpr std::pair<CommandId, EditorCommand> kEditorCommands[] = {
    {CommandId::kUndo, EditorCommand::kUndo},
    {CommandId::kRedo, EditorCommand::kRedo},
    {CommandId::kCut, EditorCommand::kCut},
    {CommandId::kCopy, EditorCommand::kCopy},
    {CommandId::kPaste, EditorCommand::kPaste},
    {CommandId::kSelectAll, EditorCommand::kSelectAll},
    {CommandId::kFind, EditorCommand::kFind},
    {CommandId::kReplace, EditorCommand::kReplace},
    {CommandId::kFont, EditorCommand::kFont},
    {CommandId::kParagraph, EditorCommand::kParagraph},
    {CommandId::kBold, EditorCommand::kBold},
    {CommandId::kItalic, EditorCommand::kItalic},
    {CommandId::kUnderline, EditorCommand::kUnderline},
    {CommandId::kStrikethrough, EditorCommand::kStrikethrough},
    {CommandId::kDoubleUnderline, EditorCommand::kDoubleUnderline},
    {CommandId::kDottedUnderline, EditorCommand::kDottedUnderline},
    {CommandId::kAlignLeft, EditorCommand::kAlignLeft},
    {CommandId::kAlignCenter, EditorCommand::kAlignCenter},
    {CommandId::kAlignRight, EditorCommand::kAlignRight},
    {CommandId::kAlignJustify, EditorCommand::kAlignJustify},
    {CommandId::kBullets, EditorCommand::kBullets},
    {CommandId::kIndentLess, EditorCommand::kIndentLess},
    {CommandId::kIndentMore, EditorCommand::kIndentMore},
    {CommandId::kCheckSpelling, EditorCommand::kCheckSpelling},
};

struct CommandState {
  bool enabled = true;
  bool checked = false;
  bool operator==(const CommandState&) const = default;
};

}  // namespace mlf
