// Check Spelling in the note editor of a document window: the command's state follows the
// module, a check's changes reach the stored RTF, and a failure tells the user the module's
// reason; the Options sheet opens the module's own options.
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

#include "../gui/gui_fixture.h"
#include "dialogs/options_sheet.h"
#include "modal_script.h"
#include "platform/env.h"
#include "rtf/plain_text.h"
#include "rtf/reader.h"
#include "rtf/writer.h"
#include "spell/spell_dll_handler.h"
#include "spell_marks.h"
#include "support/scratch_dir.h"
#include "views/mlf_rich_edit_view_ex.h"

namespace mlf::test {
namespace {

class CheckSpellingCommandTest : public GuiFixture {
 protected:
  CheckSpellingCommandTest() { ::setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1); }
  ~CheckSpellingCommandTest() override { AppSpell().Shutdown(); }

  static void StartModule() {
    ASSERT_TRUE(AppSpell().StartFrom(Env::Default(), Env::Default().ExecutableDirectory()));
  }
  CMlfRichEditViewEx& Open(uint32_t id) {
    EXPECT_TRUE(frame->ActivateNode(true, id));
    return *frame->RichEditView();
  }
  static rtf::Document Note(std::vector<rtf::Inline> content) {
    rtf::Document model;
    model.fonts = {{0, "Arial", "swiss", 0, 0, -1, ""}};
    rtf::Paragraph paragraph;
    paragraph.content = std::move(content);
    model.blocks = {paragraph};
    return model;
  }

  ScratchDir scratch;
};

ModalStep OnWord(CMlfRichEditViewEx& editor, const QString& word, std::function<void(QWidget&)> act) {
  return {word.toStdString(),
          [&editor, word](QWidget& modal) {
            auto* shown = modal.findChild<QLineEdit*>("notInDictionary");
            return shown && shown->text() == word && editor.textCursor().selectedText() == word;
          },
          std::move(act)};
}

TEST_F(CheckSpellingCommandTest, ChangesOfTheCheckAreStoredInTheNotesRtf) {
  rtf::CharFormat bold;
  bold.bold = true;
  uint32_t note = Add(ntNote, "Note", 0,
                      rtf::WriteRtf(Note({rtf::Run{"Ths", bold}, rtf::Run{" is a smple note about zorbleflux.", {}}})));
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({rtf::Run{"other", {}}})));
  Show();
  StartModule();
  CMlfRichEditViewEx& editor = Open(note);
  EXPECT_TRUE(editor.State(EditorCommand::kCheckSpelling).enabled);

  ModalScript script({OnWord(editor, "Ths",
                             [](QWidget& dialog) {
                               dialog.findChild<QLineEdit*>("changeTo")->setText("This");
                               QueueClick(dialog, "change");
                             }),
                      OnWord(editor, "smple", [](QWidget& dialog) { QueueClick(dialog, "ignore"); }),
                      OnWord(editor, "zorbleflux", [](QWidget& dialog) { QueueClick(dialog, "add"); }),
                      AcceptMessageBox("The spelling check is complete.")});
  editor.RunCommand(EditorCommand::kCheckSpelling);
  EXPECT_EQ(script.Pending(), "");
  EXPECT_TRUE(MessageTexts().empty());

  Open(other);  // stores the note
  rtf::Document stored = rtf::ReadRtf(Content(note));
  EXPECT_EQ(rtf::PlainText(stored), "This is a smple note about zorbleflux.");
  const auto& paragraph = std::get<rtf::Paragraph>(stored.blocks.at(0));
  ASSERT_FALSE(paragraph.content.empty());
  EXPECT_EQ(std::get<rtf::Run>(paragraph.content[0]), (rtf::Run{"This", bold}));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(CheckSpellingCommandTest, WithoutTheModuleTheCommandIsDisabledAndFailsWithItsText) {
  uint32_t note = Add(ntNote, "Note", 0, rtf::WriteRtf(Note({rtf::Run{"text", {}}})));
  Show();
  CMlfRichEditViewEx& editor = Open(note);
  EXPECT_FALSE(editor.State(EditorCommand::kCheckSpelling).enabled);
  editor.RunCommand(EditorCommand::kCheckSpelling);
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Spell check failed, \"The spell-checking library is not loaded.\"."});
}

TEST_F(CheckSpellingCommandTest, MarksAsYouTypeLeaveTheStoredNoteAsItWasAndOfferTheirWords) {
  const std::string written = rtf::WriteRtf(Note({rtf::Run{"A mispelt word", {}}}));
  uint32_t note = Add(ntNote, "Note", 0, written);
  uint32_t other = Add(ntNote, "Other", 0, rtf::WriteRtf(Note({rtf::Run{"other", {}}})));
  Show();
  StartModule();
  CMlfRichEditViewEx& editor = Open(note);
  ASSERT_EQ(MarkedAfterEvents(editor, {"mispelt"}), QStringList{"mispelt"});
  EXPECT_FALSE(editor.document()->isModified());
  Open(other);
  EXPECT_EQ(Content(note), written);  // byte for byte: the marks are no edit

  CMlfRichEditViewEx& again = Open(note);
  ASSERT_EQ(MarkedAfterEvents(again, {"mispelt"}), QStringList{"mispelt"});
  QTextCursor inWord(again.document());
  inWord.setPosition(4);
  const QPoint at = again.cursorRect(inWord).center();
  QStringList items;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    poll.stop();
    for (QAction* action : menu->actions())
      if (!action->isSeparator()) items << action->text().remove(u'&');
    for (QAction* action : menu->actions())
      if (action->text() == "Add to Dictionary") action->trigger();
    menu->close();
  });
  poll.start(5);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, again.viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(again.viewport(), &click);
  // The suggestions come first, then the word's two actions, then the editor's own items.
  const qsizetype ignoreAll = items.indexOf("Ignore All");
  ASSERT_GT(ignoreAll, 0) << items.join(", ").toStdString();
  EXPECT_EQ(items.mid(ignoreAll, 3), (QStringList{"Ignore All", "Add to Dictionary", "Cut"}));
  EXPECT_EQ(items.back(), "Check Spelling");
  EXPECT_EQ(MarkedAfterEvents(again, {}), QStringList());
  EXPECT_EQ(again.toPlainText(), "A mispelt word");
}

TEST_F(CheckSpellingCommandTest, TheOptionsSheetOpensTheModulesOwnOptions) {
  StartModule();
  MlfSettings settings;
  COptionsSheet sheet(settings);
  sheet.show();
  ModalScript script({{"spelling options",
                       [](QWidget& modal) { return modal.findChild<QListWidget*>("personalWords") != nullptr; },
                       [](QWidget& dialog) { QMetaObject::invokeMethod(&dialog, "reject", Qt::QueuedConnection); }}});
  sheet.findChild<QPushButton*>("ShowSpellingOptions")->click();
  EXPECT_EQ(script.Pending(), "");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
}

TEST(SpellFailureTexts, QuoteTheModulesReason) {
  EXPECT_EQ(SpellCheckFailedText("No dictionary."), "Spell check failed, \"No dictionary.\".");
  EXPECT_EQ(SpellOptionsFailedText(""), "Could not show spelling options");
  EXPECT_EQ(SpellOptionsFailedText("No user interface."),
            "Could not show spelling options, the following error was returned:\r\n\r\nNo user interface.");
}

}  // namespace
}  // namespace mlf::test
