#include "app/commands.h"

#include <array>

namespace mlf {
namespace {

using C = CommandId;

constexpr bool kCheck = true;
constexpr bool kShownOnly = true;

// In the order of CommandId.
constexpr CommandInfo kCommands[] = {
    {C::kNew, "&New", ":/toolbar/new.svg", "Create a new document\nNew", "Ctrl+N"},
    {C::kOpen, "&Open...", ":/toolbar/open.svg", "Open an existing document\nOpen", "Ctrl+O"},
    {C::kClose, "&Close", nullptr, "Close the active document\nClose"},
    {C::kSave, "&Save", ":/toolbar/save.svg", "Save the active document\nSave", "Ctrl+S"},
    {C::kSaveAs, "Save &As...", nullptr, "Save the active document with a new name\nSave As"},
    {C::kPrint, "&Print...", ":/toolbar/print.svg", "Print the active document\nPrint", "Ctrl+P"},
    {C::kPrintPreview, "Print Pre&view", nullptr, "Display full pages\nPrint Preview"},
    {C::kPrintSetup, "P&rint Setup...", nullptr, "Change the printer and printing options\nPrint Setup"},
    {C::kFileProperties, "Properties", nullptr, nullptr, "Alt+Return"},
    {C::kSendToTray, "Send To &Tray", nullptr, "Minimize the application to the system tray\nSend To Tray"},
    {C::kExit, "E&xit", nullptr, "Quit the application; prompts to save documents\nExit"},

    {C::kUndo, "&Undo", ":/toolbar/undo.svg", "Undo the last action\nUndo", "Ctrl+Z", false, kShownOnly},
    {C::kRedo, "Redo", ":/toolbar/redo.svg", "Redo the previously undone action\nRedo", "Ctrl+Y"},
    {C::kCut, "Cu&t", ":/toolbar/cut.svg", "Cut the selection and put it on the Clipboard\nCut", "Ctrl+X", false,
     kShownOnly},
    {C::kCopy, "&Copy", ":/toolbar/copy.svg", "Copy the selection and put it on the Clipboard\nCopy", "Ctrl+C", false,
     kShownOnly},
    {C::kPaste, "&Paste", ":/toolbar/paste.svg", "Insert Clipboard contents\nPaste", "Ctrl+V", false, kShownOnly},
    {C::kSelectAll, "Select A&ll", nullptr, nullptr, "Ctrl+A", false, kShownOnly},
    {C::kFind, "&Find...", ":/toolbar/find.svg", "Find the specified text\nFind", "Ctrl+F"},
    {C::kFindInNodes, "Find in Nodes...", nullptr, "Searches for a string in multiple nodes", "Ctrl+Shift+F"},
    {C::kReplace, "&Replace...", nullptr, nullptr, "Ctrl+H"},
    {C::kInsertObject, "Insert &New Object..."},
    {C::kLinks, "Lin&ks..."},
    {C::kObjectProperties, "Object P&roperties", nullptr, nullptr, "Alt+Return", false, kShownOnly},

    {C::kStandardBar, "&Standard", nullptr, "Show or hide the Standard toolbar.\nToggle Standard toolbar", nullptr,
     kCheck},
    {C::kFormatBar, "&Formatting", nullptr, "Show or hide the Formatting toolbar.\nToggle Formatting toolbar",
     nullptr, kCheck},
    {C::kImageBar, "&Image", nullptr, "Show or hide the Image toolbar.\nToggle Image toolbar", nullptr, kCheck},
    {C::kStatusBar, "&Status Bar", nullptr, "Show or hide the status bar\nToggle StatusBar", nullptr, kCheck},
    {C::kMainTree, "Main Tree", nullptr, nullptr, "Alt+1", kCheck},
    {C::kBookmarksList, "Bookmarks List", nullptr, nullptr, "Alt+2", kCheck},
    {C::kTaskBar, "Task Bar", ":/toolbar/taskbar.svg", "Show or hide the task bar\nToggle Task Bar", nullptr, kCheck},
    {C::kAlwaysOnTop, "&Always On Top", nullptr, nullptr, nullptr, kCheck},

    {C::kFont, "&Font..."},
    {C::kParagraph, "&Paragraph..."},
    {C::kBold, "&Bold", ":/toolbar/bold.svg", nullptr, "Ctrl+B", kCheck},
    {C::kItalic, "&Italic", ":/toolbar/italic.svg", nullptr, "Ctrl+I", kCheck},
    {C::kUnderline, "&Underline", ":/toolbar/underline.svg", nullptr, "Ctrl+U", kCheck},
    {C::kStrikethrough, "&Strikethrough", ":/toolbar/strikethrough.svg", nullptr, nullptr, kCheck},
    {C::kDoubleUnderline, "&Double Underline"},
    {C::kDottedUnderline, "D&otted Underline"},
    {C::kAlignLeft, "Align &Left", ":/toolbar/align_left.svg", nullptr, "Ctrl+L", kCheck},
    {C::kAlignCenter, "&Center", ":/toolbar/align_center.svg", nullptr, "Ctrl+E", kCheck},
    {C::kAlignRight, "Align &Right", ":/toolbar/align_right.svg", nullptr, "Ctrl+R", kCheck},
    {C::kAlignJustify, "&Justify", ":/toolbar/align_justify.svg", nullptr, "Ctrl+J", kCheck},
    {C::kBullets, "Bu&llets", ":/toolbar/bullets.svg", nullptr, nullptr, kCheck},
    {C::kIndentLess, "Indent L&ess", ":/toolbar/indent_less.svg", nullptr},
    {C::kIndentMore, "Indent &More", ":/toolbar/indent_more.svg", nullptr},

    {C::kRefresh, "&Refresh", ":/toolbar/refresh.svg", "Rebuild the tree from the document\nRefresh", "F5"},
    {C::kCollapseAll, "C&ollapse All"},
    {C::kExpandAll, "E&xpand All"},
    {C::kBatchExport, "&Batch Export...", nullptr, "Show batch export window\nBatch Export"},

    {C::kCheckSpelling, "&Check Spelling", nullptr, nullptr, "F7"},
    {C::kOptions, "&Options...", nullptr, "Set general options"},

    {C::kCascade, "&Cascade", nullptr, "Arrange windows so they overlap\nCascade Windows"},
    {C::kTile, "&Tile", nullptr, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {C::kArrangeIcons, "&Arrange Icons", nullptr, "Arrange icons at the bottom of the window\nArrange Icons"},

    {C::kHelpBar, "&Help Bar", ":/toolbar/helpbar.svg", "Show or hide the Help Bar.\nToggle Help Bar", "F1", kCheck},
    {C::kUpgrade, "Check for &Upgrade", nullptr, "Checks for available upgrades on the Internet"},
    {C::kBugReport, "Submit &Bug Report", nullptr, "Opens the bug report web page"},
    {C::kHomePage, "Quarn &Home Page", nullptr, "Opens the Quarn home page"},
    {C::kAbout, "&About Quarn Marrowleaf...", nullptr, "Display program information, version number and copyright\nAbout"},

    {C::kRotateAnticlockwise, "Rotate Anticlockwise", ":/toolbar/rotate_ccw.svg", "Rotate Anticlockwise"},
    {C::kRotateClockwise, "Rotate Clockwise", ":/toolbar/rotate_cw.svg", "Rotate Clockwise"},
    {C::kScaleToFit, "Scale images to fit window", ":/toolbar/fit.svg", "Scale images to fit window", nullptr, kCheck},
    {C::kZoom, "Zoom", ":/toolbar/zoom.svg", "Zoom", nullptr, kCheck},

    {C::kRestore, "&Restore Marrowleaf", nullptr, "Restores the application\nRestore"},
    {C::kTrayExit, "&Exit Marrowleaf", nullptr, "Quit the application; prompts to save documents\nExit"},

    {C::kNewNote, "&Note", ":/tree/02_note.svg"},
    {C::kNewFolder, "&Folder", ":/tree/03_folder.svg"},
    {C::kImportHtml, "&HTML..."},
    {C::kImportImages, "&Image(s)..."},
    {C::kImportNotes, "Note(s)..."},
    {C::kImportForeign, "Foreign Data..."},
    {C::kExportNode, "&Export..."},
    // The tree takes these keys itself while it has the focus; the editor keeps its own.
    {C::kCutNode, "Cu&t", ":/toolbar/cut.svg", nullptr, "Ctrl+X", false, kShownOnly},
    {C::kCopyNode, "&Copy", ":/toolbar/copy.svg", nullptr, "Ctrl+C", false, kShownOnly},
    {C::kPasteNode, "&Paste", ":/toolbar/paste.svg", nullptr, "Ctrl+V", false, kShownOnly},
    {C::kDeleteNode, "&Delete"},
    {C::kRenameNode, "&Rename"},
    {C::kAddToBookmarks, "Add to &Bookmarks...", ":/tree/18_shortcut.svg"},
    {C::kAddToTask, "Add to existing task..."},
    {C::kAddToNewTask, "Add to new task..."},
    {C::kRemoveTaskAssociation, "Remove task association"},
    {C::kNodeProperties, "Properties...."},

    // The task list handles its keys itself.
    {C::kNewTask, "&New...", nullptr, "Add a new task", "Ins", false, kShownOnly},
    {C::kEditTask, "&Edit...", nullptr, "Edit the selected task", "Return", false, kShownOnly},
    {C::kDeleteTask, "&Delete", nullptr, "Delete the selected task", "Del", false, kShownOnly},
    {C::kOpenAttachedNode, "Open Attached Node", nullptr, "Open the node the selected task is attached to",
     "Ctrl+Return", false, kShownOnly},

    {C::kNextPane, "Next Pane", nullptr, nullptr, "F6"},
    {C::kPreviousPane, "Previous Pane", nullptr, nullptr, "Shift+F6"},
};
static_assert(std::size(kCommands) == kCommandCount, "one row per command");

constexpr bool InIdOrder() {
  for (size_t i = 0; i < kCommandCount; ++i)
    if (size_t(kCommands[i].id) != i) return false;
  return true;
}
static_assert(InIdOrder(), "the rows follow CommandId");

}  // namespace

const CommandInfo& FindCommand(CommandId id) { return kCommands[size_t(id)]; }

}  // namespace mlf
