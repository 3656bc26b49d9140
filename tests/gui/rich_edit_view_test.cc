// The note editor in its document window: loading and storing, the commands, find and replace.
#include <zlib.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include "app/app_settings.h"
#include "diagnostics/log.h"
#include "dialogs/find_replace_dlg.h"
#include "dialogs/paragraph_dlg.h"
#include "gui_fixture.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"
#include "store/node_data.h"
#include "support/scratch_dir.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/paragraph_steps.h"

namespace mlf::test {
namespace {

using rtf::CharFormat;
using rtf::Paragraph;
using TextRun = rtf::Run;

// zlib's own gzip reader, independent of the store's.
std::string Gunzip(const std::string& member) {
  z_stream z{};
  inflateInit2(&z, 15 + 16);
  std::string out(1 << 20, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.data()));
  z.avail_in = uInt(member.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  int rc = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  inflateEnd(&z);
  return rc == Z_STREAM_END ? out : "<not gzip>";
}

rtf::Document Note(std::vector<rtf::Inline> content) {
  rtf::Document model;
  model.fonts = {{0, "Arial", "swiss", 0, 0, -1, ""}};
  Paragraph paragraph;
  paragraph.content = std::move(content);
  model.blocks = {paragraph};
  return model;
}

CharFormat BoldFormat() {
  CharFormat format;
  format.bold = true;
  return format;
}

constexpr const char* kObject =
    "{\\object\\objemb\\objw600\\objh300{\\*\\objclass Paint.Picture}{\\*\\objdata 01050000020000000700}"
    "{\\result{\\pict\\wmetafile8\\picw600\\pich300 0100090000}}}";

class RichEditViewTest : public GuiFixture {
 protected:
  CMlfRichEditViewEx& Open(uint32_t id) {
    EXPECT_TRUE(frame->ActivateNode(true, id));
    CMlfRichEditViewEx* editor = frame->RichEditView();
    EXPECT_NE(editor, nullptr);
    return *editor;
  }
  NTV Record(uint32_t id) const {
    NTV record;
    doc->Data_GetItem(id, record);
    return record;
  }
  // The node's stored bytes, as they lie in the file the document writes to.
  std::string Stored(uint32_t id) {
    DATALOC location;
    doc->Data_GetLocation(id, location);
    return env.GetFile(doc->GetWorkFilePath()).substr(location.nLoc, Record(id).nStorageLength);
  }
  static void TypeAtEnd(CMlfRichEditViewEx& editor, const QString& text) {
    editor.moveCursor(QTextCursor::End);
    QTest::keyClicks(&editor, text);
  }
  static void Select(CMlfRichEditViewEx& editor, int from, int to) {
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
  }
  static const Paragraph& First(const rtf::Document& model) { return std::get<Paragraph>(model.blocks.at(0)); }
};

TEST_F(RichEditViewTest, AnUntouchedNoteIsNeverRewritten) {
  std::string written = rtf::WriteRtf(Note({TextRun{"kept ", BoldFormat()}, TextRun{"as it is", {}}}));
  uint32_t note = Add(ntNote, "Note", 0, written);
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({TextRun{"other", {}}})));
  Show();
  NTV before = Record(note);
  std::string stored = Stored(note);
  CMlfRichEditViewEx& editor = Open(note);
  EXPECT_EQ(editor.toPlainText(), QStringLiteral("kept as it is"));
  EXPECT_FALSE(editor.document()->isModified());
  EXPECT_FALSE(editor.document()->isUndoAvailable()) << "loading is not an edit";
  Open(other);
  Open(note);
  ASSERT_TRUE(doc->OnSaveDocument("/notes.mlf"));
  NTV after = Record(note);
  EXPECT_EQ(after.nFileDataCRC, before.nFileDataCRC);
  EXPECT_EQ(after.nStorageLength, before.nStorageLength);
  EXPECT_EQ(Content(note), written);
  EXPECT_EQ(Gunzip(stored), written);
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(RichEditViewTest, TypingAndSwitchingStoresCompressedRtf) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({TextRun{"bold", BoldFormat()}, TextRun{" plain", {}}})));
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({TextRun{"other", {}}})));
  Show();
  TypeAtEnd(Open(note), QStringLiteral(" typed"));
  Open(other);
  EXPECT_EQ(Record(note).nFlags & kNodeCompressed, kNodeCompressed);
  std::string stored = Stored(note);
  ASSERT_GE(stored.size(), 2u);
  EXPECT_EQ(stored.substr(0, 2), "\x1f\x8b");
  rtf::Document back = rtf::ReadRtf(Gunzip(stored));
  EXPECT_EQ(rtf::PlainText(back), "bold plain typed");
  const Paragraph& paragraph = First(back);
  ASSERT_EQ(paragraph.content.size(), 2u);
  EXPECT_EQ(std::get<TextRun>(paragraph.content[0]), (TextRun{"bold", BoldFormat()}));
  EXPECT_EQ(std::get<TextRun>(paragraph.content[1]).text, " plain typed");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(Open(note).toPlainText(), QStringLiteral("bold plain typed"));
}

TEST_F(RichEditViewTest, ANewNoteGetsTheDefaultFont) {
  AppSettings().defaultFontName = "Courier New";
  AppSettings().defaultFontSize = 14;
  uint32_t fresh = 0;
  {
    CMlfNode node;
    node.Create(doc, ntNote, "New", 0);
    fresh = node.GetId();
  }
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({TextRun{"other", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(fresh);
  CharFormat format = editor.CurrentFormat();
  EXPECT_EQ(format.font, "Courier New");
  EXPECT_EQ(format.halfPoints, 28);
  EXPECT_FALSE(format.bold);
  EXPECT_FALSE(editor.document()->isModified());
  Open(other);
  EXPECT_FALSE(CMlfNode(doc, fresh).HasContent()) << "switching away without typing writes nothing";

  TypeAtEnd(Open(fresh), QStringLiteral("first words"));
  Open(other);
  rtf::Document stored = rtf::ReadRtf(Content(fresh));
  const Paragraph& paragraph = First(stored);
  ASSERT_EQ(paragraph.content.size(), 1u);
  const TextRun& run = std::get<TextRun>(paragraph.content[0]);
  EXPECT_EQ(run.text, "first words");
  EXPECT_EQ(run.format.font, "Courier New");
  EXPECT_EQ(run.format.halfPoints, 28);
}

TEST_F(RichEditViewTest, IndentAndBulletSteps) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({TextRun{"paragraph", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  auto format = [&] { return First(editor.Model()).format; };
  const struct {
    EditorCommand command;
    std::vector<int> starts;
  } sequences[] = {
      {EditorCommand::kIndentMore, {360, 720, 1440, 2160}},
      {EditorCommand::kIndentLess, {1440, 720, 360, 0, 0}},
  };
  for (const auto& sequence : sequences) {
    std::vector<int> starts;
    for (size_t i = 0; i < sequence.starts.size(); ++i) {
      editor.RunCommand(sequence.command);
      starts.push_back(StartIndent(format()));
    }
    EXPECT_EQ(starts, sequence.starts);
  }
  editor.RunCommand(EditorCommand::kBullets);
  EXPECT_EQ(format().list, (rtf::ListFormat{rtf::ListFormat::Style::kBullet, 0, 1}));
  EXPECT_EQ(HangingOffset(format()), 720);
  EXPECT_EQ(StartIndent(format()), 0);
  EXPECT_TRUE(editor.State(EditorCommand::kBullets).checked);
  editor.RunCommand(EditorCommand::kBullets);
  EXPECT_EQ(format().list.style, rtf::ListFormat::Style::kNone);
  EXPECT_EQ(HangingOffset(format()), 0);
  EXPECT_FALSE(editor.State(EditorCommand::kBullets).checked);
  EXPECT_TRUE(editor.document()->isModified());
}

TEST_F(RichEditViewTest, CommandStatesFollowTheSelection) {
  rtf::Document model = Note({TextRun{"bold", BoldFormat()}, TextRun{" plain", {}}});
  Paragraph second;
  second.format.alignment = rtf::Alignment::kJustify;
  second.format.list = {rtf::ListFormat::Style::kBullet, 0, 1};
  second.content = {TextRun{"justified", {}}};
  model.blocks.push_back(second);
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(model));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  const struct {
    const char* name;
    int from, to;
    CommandState bold, copy, justify;
    Qt::CheckState bullets;
  } cases[] = {
      {"caret in bold", 2, 2, {true, true}, {false}, {true, false}, Qt::Unchecked},
      {"bold selected", 0, 4, {true, true}, {true}, {true, false}, Qt::Unchecked},
      {"bold and plain", 0, 8, {true, false}, {true}, {true, false}, Qt::Unchecked},
      {"both paragraphs", 5, 14, {true, false}, {true}, {true, false}, Qt::PartiallyChecked},
      {"justified paragraph", 12, 14, {true, false}, {true}, {true, true}, Qt::Checked},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Select(editor, c.from, c.to);
    EXPECT_EQ(editor.State(EditorCommand::kBold), c.bold);
    EXPECT_EQ(editor.State(EditorCommand::kCopy), c.copy);
    EXPECT_EQ(editor.State(EditorCommand::kCut), c.copy);
    EXPECT_EQ(editor.State(EditorCommand::kAlignJustify), c.justify);
    EXPECT_EQ(editor.BulletState(), c.bullets);
  }
  // Underline kinds the Qt style cannot tell apart are set exactly.
  Select(editor, 4, 10);
  editor.RunCommand(EditorCommand::kDoubleUnderline);
  EXPECT_EQ(std::get<TextRun>(First(editor.Model()).content.at(1)).format.underline, rtf::Underline::kDouble);
  editor.RunCommand(EditorCommand::kUnderline);
  EXPECT_EQ(std::get<TextRun>(First(editor.Model()).content.at(1)).format.underline, rtf::Underline::kNone)
      << "all underlined: the toggle takes it off";
}

TEST_F(RichEditViewTest, FindWrapsOnceThenBeeps) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({TextRun{"a x a x a", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  int beeps = 0;
  editor.SetBeep([&] { ++beeps; });
  Select(editor, 3, 3);
  editor.RunCommand(EditorCommand::kFind);
  CFindReplaceDlg* dialog = editor.FindDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(dialog->IsReplace());
  dialog->SetTexts(QStringLiteral("a"), {});
  std::vector<int> hits;
  for (int i = 0; i < 4; ++i) {
    dialog->FindNextButton()->click();
    hits.push_back(beeps ? -1 : editor.textCursor().selectionStart());
  }
  EXPECT_EQ(hits, (std::vector<int>{4, 8, 0, -1}));
  EXPECT_EQ(beeps, 1);
  dialog->FindNextButton()->click();
  EXPECT_EQ(editor.textCursor().selectionStart(), 4) << "after the beep a new series begins";

  // A dialog standing over the next hit steps out of its way.
  QRect hit(editor.viewport()->mapToGlobal(editor.cursorRect().topLeft()), QSize(4, 4));
  dialog->move(hit.topLeft() - QPoint(10, 10));
  dialog->FindNextButton()->click();
  hit = QRect(editor.viewport()->mapToGlobal(editor.cursorRect().topLeft()), editor.cursorRect().size());
  EXPECT_FALSE(dialog->frameGeometry().intersects(hit));

  // A selection over two lines is no find text: the last one is offered.
  editor.moveCursor(QTextCursor::End);
  QTest::keyClick(&editor, Qt::Key_Return);
  QTest::keyClicks(&editor, QStringLiteral("line"));
  editor.selectAll();
  editor.RunCommand(EditorCommand::kFind);
  EXPECT_EQ(editor.FindDialog(), dialog) << "one dialog per view";
  editor.RunCommand(EditorCommand::kReplace);
  ASSERT_NE(editor.FindDialog(), nullptr);
  EXPECT_TRUE(editor.FindDialog()->IsReplace());
  EXPECT_EQ(editor.FindDialog()->FindText(), QStringLiteral("a"));
}

TEST_F(RichEditViewTest, ReplaceAllGoesAroundOnceAndNeverReplacesItsOwnText) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({TextRun{"cat dog cat bird cat", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  int beeps = 0;
  editor.SetBeep([&] { ++beeps; });
  Select(editor, 5, 5);
  editor.RunCommand(EditorCommand::kReplace);
  CFindReplaceDlg* dialog = editor.FindDialog();
  ASSERT_NE(dialog, nullptr);
  dialog->SetTexts(QStringLiteral("cat"), QStringLiteral("cats"));
  dialog->ReplaceAllButton()->click();
  EXPECT_EQ(editor.toPlainText(), QStringLiteral("cats dog cats bird cats"));
  EXPECT_EQ(beeps, 1);
  editor.undo();
  EXPECT_EQ(editor.toPlainText(), QStringLiteral("cat dog cat bird cat")) << "one step to undo";

  // Replace one: the selected hit first, then the next one is selected.
  Select(editor, 8, 11);
  dialog->SetTexts(QStringLiteral("cat"), QStringLiteral("cow"));
  dialog->ReplaceButton()->click();
  EXPECT_EQ(editor.toPlainText(), QStringLiteral("cat dog cow bird cat"));
  EXPECT_EQ(editor.textCursor().selectedText(), QStringLiteral("cat"));
  EXPECT_EQ(editor.textCursor().selectionStart(), 17);
}

TEST_F(RichEditViewTest, AnEmbeddedObjectSurvivesEditsElsewhere) {
  rtf::Document model = rtf::ReadRtf(std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard before ") + kObject +
                                     " after\\par}");
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(model));
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({TextRun{"other", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  TypeAtEnd(editor, QStringLiteral(" typed"));
  Open(other);
  std::string stored = Content(note);
  EXPECT_NE(stored.find(kObject), std::string::npos) << stored;
  EXPECT_EQ(rtf::RtfToPlainText(stored), "before  after typed");

  // The placeholder goes like a letter.
  CMlfRichEditViewEx& again = Open(note);
  int at = again.toPlainText().indexOf(QChar(0xFFFC));
  ASSERT_GE(at, 0);
  Select(again, at, at);
  QTest::keyClick(&again, Qt::Key_Delete);
  Open(other);
  EXPECT_EQ(Content(note).find("\\object"), std::string::npos);
}

TEST_F(RichEditViewTest, TheStoreGuardRefusesAWriterThatLosesText) {
  ScratchDir logs;
  AppLog().OpenIn(logs.path());
  std::string original = rtf::WriteRtf(Note({TextRun{"one", {}}}));
  uint32_t note = Add(ntNote, "Note", 0, original);
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({TextRun{"other", {}}})));
  Show();
  // A writer that drops the last character of every run.
  frame->SetNoteWriter([](rtf::Document model) {
    for (rtf::Block& block : model.blocks)
      for (rtf::Inline& item : std::get<Paragraph>(block).content)
        if (auto* run = std::get_if<TextRun>(&item); run && !run->text.empty()) run->text.pop_back();
    return rtf::WriteRtf(model);
  });
  CMlfRichEditViewEx& editor = Open(note);
  TypeAtEnd(editor, QStringLiteral(" two"));
  EXPECT_FALSE(frame->ActivateNode(true, other)) << "the note stays open";
  EXPECT_EQ(frame->RichEditView(), &editor);
  EXPECT_EQ(frame->ActiveNodeId(), note);
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Warning: Could not verify correct saving of note data."});
  EXPECT_EQ(Content(note), original) << "the old stream stays";
  std::string log = ReadWholeFile(AppLog().GetFilePath());
  EXPECT_NE(log.find("WARNING: Note " + std::to_string(note) + " was not stored"), std::string::npos) << log;
  EXPECT_FALSE(frame->CanClose()) << "closing would lose the typing";
}

TEST_F(RichEditViewTest, ParagraphDialogValues) {
  const struct {
    const char* name;
    ParagraphDlgFormat given;
    QString left, right;
    int chosen;  // list index, -1 = none
    ParagraphDlgFormat wanted;
  } cases[] = {
      {"13 points", {0, 0, 0, ParagraphDlgFormat::kLeft}, "13", "0", 0, {11, 260, 0, ParagraphDlgFormat::kLeft}},
      {"72 points shown for 1440 twips", {11, 1440, 30, ParagraphDlgFormat::kRight}, "72", "1", 3, {11, 1440, 20, ParagraphDlgFormat::kJustify}},
      {"mixed alignment passes through", {11, 0, 0, 0}, "36", "0", -1, {11, 720, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CParagraphDlg dialog(c.given);
    EXPECT_EQ(dialog.LeftEdit()->text(), QString::number(c.given.startIndent / 20));
    if (c.chosen < 0) {
      EXPECT_EQ(dialog.AlignmentList()->currentIndex(), -1);
    }
    dialog.LeftEdit()->setText(c.left);
    dialog.RightEdit()->setText(c.right);
    dialog.AlignmentList()->setCurrentIndex(c.chosen);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Format(), c.wanted);
  }
  for (const char* refused : {"433", "-1", "ten"}) {
    SCOPED_TRACE(refused);
    prompts.messages.clear();
    CParagraphDlg dialog({});
    dialog.LeftEdit()->setText(QString::fromLatin1(refused));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.messages.size(), 1u);
  }
}

TEST_F(RichEditViewTest, ParagraphFormatOfASelection) {
  rtf::Document model = Note({TextRun{"first", {}}});
  Paragraph second;
  second.format.alignment = rtf::Alignment::kCenter;
  second.content = {TextRun{"second", {}}};
  model.blocks.push_back(second);
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(model));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  editor.selectAll();
  ParagraphDlgFormat given = editor.SelectionParagraphFormat();
  EXPECT_EQ(given.alignment, 0) << "mixed";
  given.startIndent = 260;
  editor.ApplyParagraphFormat(given);
  rtf::Document back = editor.Model();
  for (const rtf::Block& block : back.blocks) EXPECT_EQ(StartIndent(std::get<Paragraph>(block).format), 260);
  EXPECT_EQ(std::get<Paragraph>(back.blocks[1]).format.alignment, rtf::Alignment::kCenter) << "each keeps its own";
}

TEST_F(RichEditViewTest, ContextMenuAndLinks) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({TextRun{"see www.example.org now", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  auto enabled = [&] {
    std::unique_ptr<QMenu> menu(editor.CreateContextMenu());
    std::vector<std::pair<std::string, bool>> items;
    for (QAction* action : menu->actions())
      if (!action->isSeparator()) items.emplace_back(action->text().remove(u'&').toStdString(), action->isEnabled());
    return items;
  };
  Select(editor, 0, 3);
  auto withSelection = enabled();
  ASSERT_EQ(withSelection.size(), 7u);
  EXPECT_EQ(withSelection[0], (std::pair<std::string, bool>{"Cut", true}));
  EXPECT_EQ(withSelection[5].first, "Paragraph...");
  // Without the spell-check module, as here, Check Spelling is greyed.
  EXPECT_EQ(withSelection[6], (std::pair<std::string, bool>{"Check Spelling", false}));
  Select(editor, 2, 2);
  EXPECT_FALSE(enabled()[0].second) << "Cut greyed without a selection";
  EXPECT_FALSE(enabled()[1].second) << "Copy greyed without a selection";

  // A right click with nothing selected moves the caret first.
  QRect word = editor.cursorRect(QTextCursor(editor.document()->findBlockByNumber(0)));
  QPoint atStart = word.center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, atStart, editor.viewport()->mapToGlobal(atStart));
  Select(editor, 10, 10);
  editor.ContextMenuPosition(click);
  EXPECT_EQ(editor.textCursor().position(), 0);

  // A click on the address opens it; the selection stays.
  std::vector<QString> opened;
  editor.SetLinkOpener([&](const QString& target) {
    opened.push_back(target);
    return 42;
  });
  QTextCursor inLink(editor.document());
  inLink.setPosition(8);
  QPoint onLink = editor.cursorRect(inLink).center() + QPoint(2, 0);
  Select(editor, 1, 2);
  QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, onLink);
  EXPECT_EQ(opened, std::vector<QString>{QStringLiteral("www.example.org")});
  EXPECT_EQ(editor.textCursor().selectionStart(), 1);
  EXPECT_EQ(editor.textCursor().selectionEnd(), 2);
}

}  // namespace
}  // namespace mlf::test
