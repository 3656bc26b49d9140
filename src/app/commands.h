// The program's commands as data: one row per command with its menu text, picture, status
// prompt, tool tip, key and whether it is a check item. CommandRegistry makes the actions from
// these rows; menus, toolbars and pop-up menus name commands by CommandId.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mlf {

enum class CommandId : uint16_t {
  // File
  kNew, kOpen, kClose, kSave, kSaveAs, kPrint, kPrintPreview, kPrintSetup, kFileProperties, kSendToTray, kExit,
  // Edit
  kUndo, kRedo, kCut, kCopy, kPaste, kSelectAll, kFind, kFindInNodes, kReplace, kInsertObject, kLinks,
  kObjectProperties,
  // View
  kStandardBar, kFormatBar, kImageBar, kStatusBar, kMainTree, kBookmarksList, kTaskBar, kAlwaysOnTop,
  // Format
  kFont, kParagraph, kBold, kItalic, kUnderline, kStrikethrough, kDoubleUnderline, kDottedUnderline,
  kAlignLeft, kAlignCenter, kAlignRight, kAlignJustify, kBullets, kIndentLess, kIndentMore,
  // Tree
  kRefresh, kCollapseAll, kExpandAll, kBatchExport,
  // Tools
  kCheckSpelling, kOptions,
  // Window
  kCascade, kTile, kArrangeIcons,
  // Help
  kHelpBar, kUpgrade, kBugReport, kHomePage, kAbout,
  // Image toolbar
  kRotateAnticlockwise, kRotateClockwise, kScaleToFit, kZoom,
  // Tray menu
  kRestore, kTrayExit,
  // The node tree's pop-up menu
  kNewNote, kNewFolder, kImportHtml, kImportImages, kImportNotes, kImportForeign, kExportNode, kCutNode,
  kCopyNode, kPasteNode, kDeleteNode, kRenameNode, kAddToBookmarks, kAddToTask, kAddToNewTask,
  kRemoveTaskAssociation, kNodeProperties,
  // The task list's pop-up menu
  kNewTask, kEditTask, kDeleteTask, kOpenAttachedNode,
  // Keys without a menu item
  kNextPane, kPreviousPane,

  kSeparator,  // not a command: a separator in a list of commands
};
inline constexpr size_t kCommandCount = size_t(CommandId::kSeparator);

struct CommandInfo {
  CommandId id;
  const char* text;              // menu text with its mnemonic
  const char* icon = nullptr;    // resource path of the picture
  const char* prompt = nullptr;  // status prompt, then "\n" and the tool tip when it differs
  const char* key = nullptr;     // portable key text ("Ctrl+N")
  bool checkable = false;
  // The key only shows in the menu: the focused editor handles it itself (so that, in a tree
  // label or a dialog, Ctrl+C copies there) or another command owns it.
  bool keyShownOnly = false;
};

const CommandInfo& FindCommand(CommandId id);

}  // namespace mlf
