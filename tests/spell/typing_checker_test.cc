// Checking as you type: marks on the misspelt words on screen, drawn over the text without
// touching the document, following edits, Ignore All and Add, and only where asked for.
#include <QTextDocument>

#include "spell_fixture.h"
#include "spell_marks.h"

namespace mlf::test {
namespace {

class TypingCheckerTest : public SpellTest {
 protected:
  void SetUp() override {
    SpellTest::SetUp();
    StartModule();
  }
  std::unique_ptr<QTextEdit> MakeEditor(const QString& text, bool asks = true) {
    auto editor = std::make_unique<QTextEdit>();
    if (asks) editor->setProperty("quarnSpellCheckAsYouType", true);
    editor->setPlainText(text);
    editor->document()->setModified(false);
    editor->show();
    return editor;
  }
};

TEST_F(TypingCheckerTest, MarksMisspeltWordsWithoutChangingTheDocument) {
  auto editor = MakeEditor("A mispelt word and anothr one.");
  const QString html = editor->toHtml();
  EXPECT_EQ(MarkedAfterEvents(*editor, {"mispelt", "anothr"}), (QStringList{"mispelt", "anothr"}));
  EXPECT_EQ(editor->toHtml(), html);
  EXPECT_FALSE(editor->document()->isModified());
  EXPECT_FALSE(editor->document()->isUndoAvailable());

  QTextCursor(editor->document()).insertText("Wrng ");
  EXPECT_EQ(MarkedAfterEvents(*editor, {"Wrng", "mispelt", "anothr"}), (QStringList{"Wrng", "mispelt", "anothr"}));
}

TEST_F(TypingCheckerTest, OnlyEditorsThatAskAreChecked) {
  auto editor = MakeEditor("A mispelt word.", false);
  EXPECT_EQ(MarkedAfterEvents(*editor, {"mispelt"}), QStringList());
}

TEST_F(TypingCheckerTest, TheModulesSettingTurnsItOff) {
  WriteSettings("CheckAsYouType=false\n");
  StartModule();
  auto editor = MakeEditor("A mispelt word.");
  EXPECT_EQ(MarkedAfterEvents(*editor, {"mispelt"}), QStringList());
}

TEST_F(TypingCheckerTest, ShutdownTakesTheMarksAway) {
  auto editor = MakeEditor("A mispelt word.");
  EXPECT_EQ(MarkedAfterEvents(*editor, {"mispelt"}), QStringList{"mispelt"});
  handler.Shutdown();
  EXPECT_EQ(Marked(*editor), QStringList());
}

}  // namespace
}  // namespace mlf::test
