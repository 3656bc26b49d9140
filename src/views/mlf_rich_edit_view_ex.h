// CMlfRichEditViewEx: the editor of a note. It loads the note's RTF through the RTF engine
// into its QTextDocument and stores it back the same way, only when the user changed
// something, and only after checking that what is about to be written reads back to the text
// it shows. It carries out the editing commands of the main window (EditorCommand), its own
// find and replace, a context menu, clickable links and printing.
#pragma once

#include <QTextEdit>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "rtf/document.h"
#include "views/editor_command.h"
#include "views/editor_find_replace.h"

class QContextMenuEvent;
class QMenu;
class QPrinter;

namespace mlf {

class CMarrowleafDoc;
class LinkHighlighter;
struct ParagraphDlgFormat;

class CMlfRichEditViewEx : public QTextEdit {
  Q_OBJECT
 public:
  using RtfWriter = std::function<std::string(const rtf::Document&)>;
  // Opens a link target; its result as OpenLinkTarget's (above 32 is success).
  using LinkOpener = std::function<int(const QString&)>;

  // The writer is the RTF engine's unless a test hands in another.
  explicit CMlfRichEditViewEx(QWidget* parent = nullptr, RtfWriter writer = {});
  ~CMlfRichEditViewEx() override;

  // Shows the note; a note without content gets the default font. Always true.
  bool Load(CMarrowleafDoc* document, uint32_t nodeId);
  // Writes the note back when it was modified. False when it could not be written: the node
  // cannot be reached, or the RTF would not read back to the text shown (the note's stream is
  // then left as it was and the log says why).
  bool Store(CMarrowleafDoc* document, uint32_t nodeId);
  // Applies WordWrap and AutoWordSelection.
  void OnOptionsChanged();

  // The note as the model; the fonts, colours and header are those it was loaded with.
  rtf::Document Model() const;

  void RunCommand(EditorCommand command);
  CommandState State(EditorCommand command) const;
  // Gives the program's actions of the editor commands this editor's states.
  void ShowCommandStates() const;
  // Bullets: checked when every selected paragraph is bulleted, partly when some are.
  Qt::CheckState BulletState() const;
  // Changes the character format of the selection (of what is typed next when there is none)
  // the way change says, keeping everything else.
  void ChangeCharFormat(const std::function<void(rtf::CharFormat&)>& change);
  // The character format at the caret or of the selection's start.
  rtf::CharFormat CurrentFormat() const;
  // What the paragraph dialog is given for the selected paragraphs (the first one's indents,
  // no alignment when they differ), and applying what it returns.
  ParagraphDlgFormat SelectionParagraphFormat() const;
  void ApplyParagraphFormat(const ParagraphDlgFormat& format);

  CFindReplaceDlg* FindDialog() const { return m_findReplace.Dialog(); }
  void SetBeep(std::function<void()> beep) { m_findReplace.SetBeep(std::move(beep)); }

  // The context menu's commands are the program's, in the states this editor gives them.
  QMenu* CreateContextMenu();
  // Where the context menu of the event shows: at the mouse, which first moves the caret when
  // nothing is selected, or from the keyboard at the end of the selection.
  QPoint ContextMenuPosition(const QContextMenuEvent& event);
  // With half-inch margins.
  void Print(QPrinter& printer);

  void SetLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }
  bool AutoWordSelection() const { return m_autoWordSelection; }

 Q_SIGNALS:
  void FocusGained();
  // The editor goes: the formatting bar lets go of it.
  void AboutToBeDestroyed();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowNewNoteFormat();
  bool WrittenTextMatches(const std::string& rtf) const;
  // The target of the link at a point of the viewport, or empty.
  QString LinkAt(const QPoint& position) const;
  void ToggleCharEffect(bool (*has)(const rtf::CharFormat&), void (*set)(rtf::CharFormat&, bool));
  Qt::CheckState CharState(bool (*has)(const rtf::CharFormat&)) const;
  void ChangeParagraphs(const std::function<void(const rtf::ParagraphFormat& first, rtf::ParagraphFormat&)>& change);
  bool AllParagraphs(const std::function<bool(const rtf::ParagraphFormat&)>& test) const;
  void SetAlignment(rtf::Alignment alignment);
  void OpenParagraphDialog();
  void OpenFontDialog();
  void CheckSpelling();
  void ExtendToWords();

  RtfWriter m_writer;
  rtf::Document m_shell;
  LinkHighlighter* m_highlighter = nullptr;
  EditorFindReplace m_findReplace{*this};
  LinkOpener m_openLink;
  bool m_autoWordSelection = true;
  bool m_selectingByMouse = false;
};

}  // namespace mlf
