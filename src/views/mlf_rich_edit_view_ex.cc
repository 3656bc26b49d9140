#include "views/mlf_rich_edit_view_ex.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QMenu>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "diagnostics/log.h"
#include "dialogs/find_replace_dlg.h"
#include "dialogs/paragraph_dlg.h"
#include "rtf/reader.h"
#include "rtf/writer.h"
#include "spell/spell_dll_handler.h"
#include "store/prompts.h"
#include "store/node.h"
#include "store/node_data.h"
#include "views/link_highlighter.h"
#include "views/paragraph_steps.h"
#include "views/rich_text_export.h"
#include "views/rich_text_formats.h"
#include "views/rich_text_import.h"
#include "views/rich_text_objects.h"
#include "views/shown_text.h"
#include "widgets/hyper_link.h"
#include "widgets/mlf_status.h"
#include "widgets/wait_cursor.h"

namespace mlf {
namespace {

constexpr int kShowWindow = 5;  // how a program started for a link shows
constexpr size_t kMaxFaceName = 31;
constexpr double kPrintMarginInches = 0.5;

struct Range {
  int start, end;
  QTextCharFormat format;
};

// The stretches of the selection with one character format each.
std::vector<Range> SelectedRanges(const QTextDocument& document, const QTextCursor& selection) {
  std::vector<Range> ranges;
  int start = selection.selectionStart(), end = selection.selectionEnd();
  for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end; block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment fragment = it.fragment();
      int from = std::max(fragment.position(), start);
      int to = std::min(fragment.position() + fragment.length(), end);
      if (from < to) ranges.push_back({from, to, fragment.charFormat()});
    }
  }
  return ranges;
}

std::vector<QTextBlock> SelectedBlocks(const QTextDocument& document, const QTextCursor& selection) {
  std::vector<QTextBlock> blocks;
  QTextBlock last = document.findBlock(selection.selectionEnd());
  for (QTextBlock block = document.findBlock(selection.selectionStart()); block.isValid(); block = block.next()) {
    blocks.push_back(block);
    if (block == last) break;
  }
  return blocks;
}

rtf::ParagraphFormat ParagraphModel(const QTextBlock& block) {
  rtf::ParagraphFormat format = ToModelFormat(block.blockFormat());
  format.list = block.textList() ? ToModelList(block.textList()->format()) : rtf::ListFormat{};
  return format;
}

// Sets a paragraph's format, its list membership included.
void ApplyParagraph(const QTextBlock& block, const rtf::ParagraphFormat& format) {
  QTextCursor cursor(block);
  cursor.setBlockFormat(ToQtFormat(format));
  QTextList* current = block.textList();
  if (current && ToModelList(current->format()) == format.list) return;
  if (current) current->remove(block);
  if (format.list.style == rtf::ListFormat::Style::kNone) return;
  QTextList* previous = block.previous().isValid() ? block.previous().textList() : nullptr;
  if (previous && ToModelList(previous->format()) == format.list) previous->add(block);
  else cursor.createList(ToQtList(format.list));
}

// What makes a format a picture or a placeholder, carried over when its text format changes.
void KeepObjectProperties(const QTextCharFormat& from, QTextCharFormat& to) {
  for (int property : {int(QTextFormat::ObjectType), int(QTextFormat::ImageName), int(QTextFormat::ImageWidth),
                       int(QTextFormat::ImageHeight), int(kModelImage), int(kModelFragment)})
    if (from.hasProperty(property)) to.setProperty(property, from.property(property));
}

int DialogAlignment(rtf::Alignment alignment) {
  switch (alignment) {
    case rtf::Alignment::kCenter: return ParagraphDlgFormat::kCenter;
    case rtf::Alignment::kRight: return ParagraphDlgFormat::kRight;
    case rtf::Alignment::kJustify: return ParagraphDlgFormat::kJustify;
    case rtf::Alignment::kLeft: break;
  }
  return ParagraphDlgFormat::kLeft;
}

std::optional<rtf::Alignment> ModelAlignment(int alignment) {
  switch (alignment) {
    case ParagraphDlgFormat::kLeft: return rtf::Alignment::kLeft;
    case ParagraphDlgFormat::kCenter: return rtf::Alignment::kCenter;
    case ParagraphDlgFormat::kRight: return rtf::Alignment::kRight;
    case ParagraphDlgFormat::kJustify: return rtf::Alignment::kJustify;
    default: return std::nullopt;
  }
}

// Checked when every item passes the test, unchecked when none does, else partly.
template <class Items, class Test>
Qt::CheckState CountedState(const Items& items, Test test) {
  int with = 0, without = 0;
  for (const auto& item : items) ++(test(item) ? with : without);
  return without == 0 ? Qt::Checked : with == 0 ? Qt::Unchecked : Qt::PartiallyChecked;
}

bool IsBold(const rtf::CharFormat& f) { return f.bold; }
bool IsItalic(const rtf::CharFormat& f) { return f.italic; }
bool IsUnderlined(const rtf::CharFormat& f) { return f.underline != rtf::Underline::kNone; }
bool IsStruck(const rtf::CharFormat& f) { return f.strike; }

}  // namespace

CMlfRichEditViewEx::CMlfRichEditViewEx(QWidget* parent, RtfWriter writer)
    : QTextEdit(parent),
      m_writer(writer ? std::move(writer) : RtfWriter([](const rtf::Document& model) { return rtf::WriteRtf(model); })),
      m_openLink([](const QString& target) { return OpenLinkTarget(target, kShowWindow); }) {
  setAccessibleName(QStringLiteral("Note"));
  setAcceptRichText(true);
  setFrameShape(QFrame::NoFrame);
  viewport()->setMouseTracking(true);
  auto* initial = new QTextDocument(this);
  ImportRichText({}, *initial);
  setDocument(initial);
  m_highlighter = new LinkHighlighter(initial);
  // The spell-check module marks misspelt words in editors that ask for it.
  setProperty("quarnSpellCheckAsYouType", true);
  OnOptionsChanged();
}

CMlfRichEditViewEx::~CMlfRichEditViewEx() {
  Q_EMIT AboutToBeDestroyed();
}

bool CMlfRichEditViewEx::Load(CMarrowleafDoc* document, uint32_t nodeId) {
  CMlfNode node;
  node.Attach(document, nodeId);
  rtf::Document model;
  bool hasContent = node.HasContent();
  if (hasContent) {
    CMlfStatus status("Decompressing document...");
    std::string rtf;
    if (CMlfNodeData* data = node.GetNodeDataForRead(&status)) {
      status.BeginProgress(node.GetRawLength());
      char buffer[64 * 1024];
      while (size_t n = data->Get(buffer, sizeof buffer)) rtf.append(buffer, n);
      data->Release();
    }
    model = rtf::ReadRtf(rtf);
  }
  auto* loaded = new QTextDocument(this);
  ImportRichText(model, *loaded);
  m_shell = std::move(model);
  m_shell.blocks.clear();
  QTextDocument* old = QTextEdit::document();
  setDocument(loaded);
  m_highlighter->setDocument(loaded);
  if (old && old->parent() == this) delete old;
  if (!hasContent) ShowNewNoteFormat();
  moveCursor(QTextCursor::Start);
  loaded->clearUndoRedoStacks();
  loaded->setModified(false);
  return true;
}

void CMlfRichEditViewEx::ShowNewNoteFormat() {
  rtf::CharFormat format;
  format.font = AppSettings().defaultFontName.substr(0, kMaxFaceName);
  format.halfPoints = int(AppSettings().defaultFontSize) * 2;
  format.bold = false;
  QTextCursor all(QTextEdit::document());
  all.select(QTextCursor::Document);
  all.setCharFormat(ToQtFormat(format));
  all.setBlockCharFormat(ToQtFormat(format));
  setTextCursor(all);
  setCurrentCharFormat(ToQtFormat(format));
}

rtf::Document CMlfRichEditViewEx::Model() const { return ExportRichText(*QTextEdit::document(), m_shell); }

bool CMlfRichEditViewEx::WrittenTextMatches(const std::string& rtf) const {
  return ShownText(rtf::ReadRtf(rtf)) == ShownText(*QTextEdit::document());
}

bool CMlfRichEditViewEx::Store(CMarrowleafDoc* document, uint32_t nodeId) {
  QTextDocument* text = QTextEdit::document();
  if (!text->isModified()) return true;
  CMlfNode node;
  if (!node.Attach(document, nodeId)) return false;
  CMlfStatus status("Saving document...");
  std::string rtf = m_writer(Model());
  // A fault anywhere on the way to RTF must never cost the user the note: the old stream stays.
  if (!WrittenTextMatches(rtf)) {
    AppLog().WriteLine("WARNING: Note " + std::to_string(nodeId) +
                       " was not stored: its RTF does not read back to the text the editor shows.");
    return false;
  }
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  if (!data) return false;
  data->Put(rtf.data(), rtf.size());
  if (!data->Finish()) return false;
  text->setModified(false);
  return true;
}

void CMlfRichEditViewEx::OnOptionsChanged() {
  setLineWrapMode(AppSettings().wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  m_autoWordSelection = AppSettings().autoWordSelection;
}

rtf::CharFormat CMlfRichEditViewEx::CurrentFormat() const { return ToModelFormat(currentCharFormat()); }

void CMlfRichEditViewEx::ChangeCharFormat(const std::function<void(rtf::CharFormat&)>& change) {
  QTextCursor selection = textCursor();
  if (!selection.hasSelection()) {
    rtf::CharFormat format = CurrentFormat();
    change(format);
    QTextCharFormat typed = ToQtFormat(format);
    KeepObjectProperties(currentCharFormat(), typed);
    setCurrentCharFormat(typed);
    return;
  }
  std::vector<Range> ranges = SelectedRanges(*QTextEdit::document(), selection);
  QTextCursor cursor(QTextEdit::document());
  cursor.beginEditBlock();
  for (const Range& range : ranges) {
    rtf::CharFormat format = ToModelFormat(range.format);
    change(format);
    QTextCharFormat changed = ToQtFormat(format);
    KeepObjectProperties(range.format, changed);
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    cursor.setCharFormat(changed);
  }
  cursor.endEditBlock();
  Q_EMIT currentCharFormatChanged(currentCharFormat());
}

Qt::CheckState CMlfRichEditViewEx::CharState(bool (*has)(const rtf::CharFormat&)) const {
  QTextCursor selection = textCursor();
  if (!selection.hasSelection()) return has(CurrentFormat()) ? Qt::Checked : Qt::Unchecked;
  return CountedState(SelectedRanges(*QTextEdit::document(), selection),
                      [has](const Range& range) { return has(ToModelFormat(range.format)); });
}

void CMlfRichEditViewEx::ToggleCharEffect(bool (*has)(const rtf::CharFormat&), void (*set)(rtf::CharFormat&, bool)) {
  // As a word processor does: on for all unless all have it already.
  bool on = CharState(has) != Qt::Checked;
  ChangeCharFormat([&](rtf::CharFormat& format) { set(format, on); });
}

void CMlfRichEditViewEx::ChangeParagraphs(
    const std::function<void(const rtf::ParagraphFormat& first, rtf::ParagraphFormat&)>& change) {
  std::vector<QTextBlock> blocks = SelectedBlocks(*QTextEdit::document(), textCursor());
  if (blocks.empty()) return;
  rtf::ParagraphFormat first = ParagraphModel(blocks.front());
  QTextCursor cursor(QTextEdit::document());
  cursor.beginEditBlock();
  for (const QTextBlock& block : blocks) {
    rtf::ParagraphFormat format = ParagraphModel(block);
    change(first, format);
    ApplyParagraph(block, format);
  }
  cursor.endEditBlock();
}

bool CMlfRichEditViewEx::AllParagraphs(const std::function<bool(const rtf::ParagraphFormat&)>& test) const {
  for (const QTextBlock& block : SelectedBlocks(*QTextEdit::document(), textCursor()))
    if (!test(ParagraphModel(block))) return false;
  return true;
}

Qt::CheckState CMlfRichEditViewEx::BulletState() const {
  return CountedState(SelectedBlocks(*QTextEdit::document(), textCursor()),
                      [](const QTextBlock& block) { return IsBulleted(ParagraphModel(block)); });
}

void CMlfRichEditViewEx::SetAlignment(rtf::Alignment alignment) {
  ChangeParagraphs([alignment](const rtf::ParagraphFormat&, rtf::ParagraphFormat& format) { format.alignment = alignment; });
}

ParagraphDlgFormat CMlfRichEditViewEx::SelectionParagraphFormat() const {
  std::vector<QTextBlock> blocks = SelectedBlocks(*QTextEdit::document(), textCursor());
  rtf::ParagraphFormat first = ParagraphModel(blocks.front());
  ParagraphDlgFormat format;
  format.mask = ParagraphDlgFormat::kStartIndent | ParagraphDlgFormat::kRightIndent | ParagraphDlgFormat::kAlignment;
  format.startIndent = StartIndent(first);
  format.rightIndent = first.rightIndent;
  bool mixed = !AllParagraphs([&](const rtf::ParagraphFormat& other) { return other.alignment == first.alignment; });
  format.alignment = mixed ? 0 : DialogAlignment(first.alignment);
  return format;
}

void CMlfRichEditViewEx::ApplyParagraphFormat(const ParagraphDlgFormat& chosen) {
  ChangeParagraphs([&chosen](const rtf::ParagraphFormat&, rtf::ParagraphFormat& format) {
    if (chosen.mask & ParagraphDlgFormat::kStartIndent) SetStartIndent(format, chosen.startIndent);
    if (chosen.mask & ParagraphDlgFormat::kRightIndent) format.rightIndent = chosen.rightIndent;
    // No alignment chosen for a mixed selection leaves each paragraph's own.
    if (chosen.mask & ParagraphDlgFormat::kAlignment)
      if (std::optional<rtf::Alignment> alignment = ModelAlignment(chosen.alignment)) format.alignment = *alignment;
  });
}

void CMlfRichEditViewEx::OpenParagraphDialog() {
  CParagraphDlg dialog(SelectionParagraphFormat(), this);
  if (dialog.exec() == QDialog::Accepted) ApplyParagraphFormat(dialog.Format());
}

void CMlfRichEditViewEx::OpenFontDialog() {
  bool ok = false;
  QFont font = QFontDialog::getFont(&ok, currentCharFormat().font(), this, QStringLiteral("Font"));
  if (!ok) return;
  ChangeCharFormat([&font](rtf::CharFormat& format) {
    format.font = font.family().toStdString();
    if (font.pointSizeF() > 0) format.halfPoints = int(std::lround(font.pointSizeF() * 2));
    format.bold = font.weight() >= QFont::DemiBold;
    format.italic = font.italic();
    if (!font.underline()) format.underline = rtf::Underline::kNone;
    else if (format.underline == rtf::Underline::kNone) format.underline = rtf::Underline::kSingle;
    format.strike = font.strikeOut();
  });
}

void CMlfRichEditViewEx::RunCommand(EditorCommand command) {
  using C = EditorCommand;
  using A = rtf::Alignment;
  switch (command) {
    case C::kUndo: undo(); break;
    case C::kRedo: redo(); break;
    case C::kCut: cut(); break;
    case C::kCopy: copy(); break;
    case C::kPaste: paste(); break;
    case C::kSelectAll: selectAll(); break;
    case C::kFind: m_findReplace.ShowDialog(false); break;
    case C::kReplace: m_findReplace.ShowDialog(true); break;
    case C::kFont: OpenFontDialog(); break;
    case C::kParagraph: OpenParagraphDialog(); break;
    case C::kBold: ToggleCharEffect(IsBold, [](rtf::CharFormat& f, bool on) { f.bold = on; }); break;
    case C::kItalic: ToggleCharEffect(IsItalic, [](rtf::CharFormat& f, bool on) { f.italic = on; }); break;
    case C::kUnderline:
      ToggleCharEffect(IsUnderlined, [](rtf::CharFormat& f, bool on) { f.underline = on ? rtf::Underline::kSingle : rtf::Underline::kNone; });
      break;
    case C::kStrikethrough: ToggleCharEffect(IsStruck, [](rtf::CharFormat& f, bool on) { f.strike = on; }); break;
    case C::kDoubleUnderline: ChangeCharFormat([](rtf::CharFormat& f) { f.underline = rtf::Underline::kDouble; }); break;
    case C::kDottedUnderline: ChangeCharFormat([](rtf::CharFormat& f) { f.underline = rtf::Underline::kDotted; }); break;
    case C::kAlignLeft: SetAlignment(A::kLeft); break;
    case C::kAlignCenter: SetAlignment(A::kCenter); break;
    case C::kAlignRight: SetAlignment(A::kRight); break;
    case C::kAlignJustify: SetAlignment(A::kJustify); break;
    case C::kBullets: ChangeParagraphs(ToggleBullets); break;
    case C::kIndentLess: ChangeParagraphs(IndentLess); break;
    case C::kIndentMore: ChangeParagraphs(IndentMore); break;
    case C::kCheckSpelling: CheckSpelling(); break;
  }
}

void CMlfRichEditViewEx::CheckSpelling() {
  // The module finds this editor and the main window by their native window ids and changes
  // the text through the editor, so the check can be undone and the note is stored as usual.
  SpellOutcome outcome = AppSpell().Check(winId(), window()->winId());
  if (!outcome.ok)
    AppPrompts().Message(SpellCheckFailedText(outcome.error), kAppCaption, MessageIcon::None, MessageButtons::Ok);
}

CommandState CMlfRichEditViewEx::State(EditorCommand command) const {
  using C = EditorCommand;
  auto aligned = [this](rtf::Alignment alignment) {
    return CommandState{true, AllParagraphs([alignment](const rtf::ParagraphFormat& f) { return f.alignment == alignment; })};
  };
  auto effect = [this](bool (*has)(const rtf::CharFormat&)) { return CommandState{true, CharState(has) == Qt::Checked}; };
  bool selected = textCursor().hasSelection();
  switch (command) {
    case C::kUndo: return {QTextEdit::document()->isUndoAvailable()};
    case C::kRedo: return {QTextEdit::document()->isRedoAvailable()};
    case C::kCut: return {selected && !isReadOnly()};
    case C::kCopy: return {selected};
    case C::kPaste: return {canPaste()};
    case C::kBold: return effect(IsBold);
    case C::kItalic: return effect(IsItalic);
    case C::kUnderline: return effect(IsUnderlined);
    case C::kStrikethrough: return effect(IsStruck);
    case C::kAlignLeft: return aligned(rtf::Alignment::kLeft);
    case C::kAlignCenter: return aligned(rtf::Alignment::kCenter);
    case C::kAlignRight: return aligned(rtf::Alignment::kRight);
    case C::kAlignJustify: return aligned(rtf::Alignment::kJustify);
    case C::kBullets: return {true, BulletState() == Qt::Checked};
    case C::kCheckSpelling: return {AppSpell().IsAvailable()};
    default: return {};
  }
}

QMenu* CMlfRichEditViewEx::CreateContextMenu() {
  // The actions are the main window's, which carries them out on the active editor: the one
  // whose menu shows.
  ShowCommandStates();
  auto* menu = new QMenu(this);
  using C = CommandId;
  AppCommands().AddTo(menu, {C::kCut, C::kCopy, C::kPaste, C::kSeparator, C::kSelectAll, C::kSeparator, C::kFont,
                             C::kParagraph, C::kSeparator, C::kCheckSpelling});
  return menu;
}

void CMlfRichEditViewEx::ShowCommandStates() const {
  for (auto [id, command] : kEditorCommands) {
    QAction* action = AppCommands().Action(id);
    CommandState state = State(command);
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
}

QPoint CMlfRichEditViewEx::ContextMenuPosition(const QContextMenuEvent& event) {
  if (event.reason() == QContextMenuEvent::Mouse) {
    if (!textCursor().hasSelection()) setTextCursor(cursorForPosition(event.pos()));
    return event.globalPos();
  }
  QTextCursor end = textCursor();
  end.setPosition(end.selectionEnd());
  return viewport()->mapToGlobal(cursorRect(end).bottomLeft());
}

void CMlfRichEditViewEx::contextMenuEvent(QContextMenuEvent* event) {
  QPoint position = ContextMenuPosition(*event);
  std::unique_ptr<QMenu> menu(CreateContextMenu());
  menu->exec(position);
}

QString CMlfRichEditViewEx::LinkAt(const QPoint& position) const {
  if (QString href = anchorAt(position); !href.isEmpty()) return href;
  QPointF inDocument = position + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
  int at = QTextEdit::document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
  if (at < 0) return {};
  QTextBlock block = QTextEdit::document()->findBlock(at);
  std::optional<DetectedLink> link = DetectLinkAt(block.text(), at - block.position());
  return link ? link->target : QString();
}

void CMlfRichEditViewEx::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    // A click on a link opens it; the selection stays as it was.
    if (QString target = LinkAt(event->position().toPoint()); !target.isEmpty()) {
      WaitCursor wait;
      if (int result = m_openLink(target); result <= 32) ReportHyperlinkError(result);
      event->accept();
      return;
    }
  }
  m_selectingByMouse = event->button() == Qt::LeftButton;
  QTextEdit::mousePressEvent(event);
}

void CMlfRichEditViewEx::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton)
    viewport()->setCursor(LinkAt(event->position().toPoint()).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
  QTextEdit::mouseMoveEvent(event);
  if (m_selectingByMouse && m_autoWordSelection) ExtendToWords();
}

void CMlfRichEditViewEx::mouseReleaseEvent(QMouseEvent* event) {
  m_selectingByMouse = false;
  QTextEdit::mouseReleaseEvent(event);
}

void CMlfRichEditViewEx::ExtendToWords() {
  // Once a selection made with the mouse leaves the word it began in, it takes whole words.
  QTextCursor selection = textCursor();
  if (!selection.hasSelection()) return;
  int anchor = selection.anchor(), position = selection.position();
  QTextCursor anchorWord(QTextEdit::document());
  anchorWord.setPosition(anchor);
  anchorWord.select(QTextCursor::WordUnderCursor);
  if (position >= anchorWord.selectionStart() && position <= anchorWord.selectionEnd()) return;
  QTextCursor positionWord(QTextEdit::document());
  positionWord.setPosition(position);
  positionWord.select(QTextCursor::WordUnderCursor);
  bool forward = position > anchor;
  int newAnchor = forward ? std::min(anchor, anchorWord.selectionStart()) : std::max(anchor, anchorWord.selectionEnd());
  int newPosition = forward ? std::max(position, positionWord.selectionEnd()) : std::min(position, positionWord.selectionStart());
  if (newAnchor == anchor && newPosition == position) return;
  selection.setPosition(newAnchor);
  selection.setPosition(newPosition, QTextCursor::KeepAnchor);
  setTextCursor(selection);
}

void CMlfRichEditViewEx::focusInEvent(QFocusEvent* event) {
  QTextEdit::focusInEvent(event);
  Q_EMIT FocusGained();
}

void CMlfRichEditViewEx::Print(QPrinter& printer) {
  printer.setPageMargins(QMarginsF(kPrintMarginInches, kPrintMarginInches, kPrintMarginInches, kPrintMarginInches),
                         QPageLayout::Inch);
  std::unique_ptr<QTextDocument> copy(QTextEdit::document()->clone());
  copy->documentLayout()->setPaintDevice(&printer);
  copy->setDocumentMargin(0);
  copy->setPageSize(printer.pageLayout().paintRectPixels(printer.resolution()).size());
  RegisterPlaceholders(*copy);
  copy->print(&printer);
}

}  // namespace mlf
