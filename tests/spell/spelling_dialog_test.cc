// The spelling and options dialogs driven as a user would: the note's text and formatting
// after Change, Change All, Ignore, Ignore All and Add, undo, cancelling, and the options
// copied back only on OK.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextDocument>

#include <filesystem>
#include <fstream>

#include "modal_script.h"
#include "spell_fixture.h"

namespace mlf::test {
namespace {

const QString kComplete = "The spelling check is complete.";

class SpellingDialogTest : public SpellTest {
 protected:
  void SetUp() override {
    SpellTest::SetUp();
    StartModule();
  }

  // A step that waits for the spelling dialog with word selected in the note.
  ModalStep OnWord(const QString& word, std::function<void(QWidget& dialog)> act) {
    return {word.toStdString(),
            [this, word](QWidget& modal) {
              auto* shown = modal.findChild<QLineEdit*>("notInDictionary");
              return shown && shown->text() == word && Editor().textCursor().selectedText() == word;
            },
            std::move(act)};
  }
  static std::function<void(QWidget&)> Click(const char* button) {
    return [button](QWidget& dialog) { QueueClick(dialog, button); };
  }
  static std::function<void(QWidget&)> ChangeTo(const QString& text, const char* button = "change") {
    return [text, button](QWidget& dialog) {
      dialog.findChild<QLineEdit*>("changeTo")->setText(text);
      QueueClick(dialog, button);
    };
  }
  // Checks the editor, answering the dialogs with the steps.
  void CheckWith(std::deque<ModalStep> steps) {
    ModalScript script(std::move(steps));
    SpellOutcome outcome = CheckEditor();
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(script.Pending(), "");
  }
  std::string PersonalWords() { return ReadWholeFile(UserFolder() + "/personal.dic"); }
};

TEST_F(SpellingDialogTest, ChangeIgnoreAndAddOnThreeMisspeltWords) {
  QTextEdit& editor = ShowEditor("Ths is a smple note about zorbleflux.");
  QTextCursor bold(editor.document());
  bold.setPosition(3, QTextCursor::KeepAnchor);
  QTextCharFormat format;
  format.setFontWeight(QFont::Bold);
  bold.mergeCharFormat(format);
  editor.document()->setModified(false);

  QStringList suggestions;
  CheckWith({OnWord("Ths",
                    [&](QWidget& dialog) {
                      auto* list = dialog.findChild<QListWidget*>("suggestions");
                      for (int row = 0; row < list->count(); ++row) suggestions << list->item(row)->text();
                      ChangeTo("This")(dialog);
                    }),
             OnWord("smple", Click("ignore")), OnWord("zorbleflux", Click("add")), AcceptMessageBox(kComplete)});

  EXPECT_TRUE(suggestions.contains("This")) << suggestions.join(", ").toStdString();
  EXPECT_EQ(editor.toPlainText(), "This is a smple note about zorbleflux.");
  QTextCursor changed(editor.document());
  changed.setPosition(2);
  EXPECT_EQ(changed.charFormat().fontWeight(), QFont::Bold);  // the word keeps its formatting
  EXPECT_TRUE(editor.document()->isModified());
  EXPECT_EQ(PersonalWords(), "zorbleflux\n");

  editor.undo();  // the change is one step of the editor's undo
  EXPECT_EQ(editor.toPlainText(), "Ths is a smple note about zorbleflux.");
}

TEST_F(SpellingDialogTest, AddedWordsPassLaterChecksAndOtherRuns) {
  ShowEditor("A zorbleflux is fine.");
  CheckWith({OnWord("zorbleflux", Click("add")), AcceptMessageBox(kComplete)});
  CheckWith({AcceptMessageBox(kComplete)});
  StartModule();  // a new run reads the personal words again
  CheckWith({AcceptMessageBox(kComplete)});
}

TEST_F(SpellingDialogTest, ChangeAllAndIgnoreAllCoverLaterWords) {
  QTextEdit& editor = ShowEditor("teh cat saw qwzx and teh dog saw qwzx.");
  CheckWith({OnWord("teh", ChangeTo("the", "changeAll")), OnWord("qwzx", Click("ignoreAll")),
             AcceptMessageBox(kComplete)});
  EXPECT_EQ(editor.toPlainText(), "the cat saw qwzx and the dog saw qwzx.");
  CheckWith({AcceptMessageBox(kComplete)});  // ignored for the rest of the run
  EXPECT_FALSE(std::filesystem::exists(UserFolder() + "/personal.dic"));  // nothing was added
}

TEST_F(SpellingDialogTest, CancelLeavesTheNoteAsItWas) {
  QTextEdit& editor = ShowEditor("A mispelt word and anothr.");
  editor.document()->setModified(false);
  CheckWith({OnWord("mispelt", Click("cancel"))});
  EXPECT_EQ(editor.toPlainText(), "A mispelt word and anothr.");
  EXPECT_FALSE(editor.document()->isModified());
}

TEST_F(SpellingDialogTest, OverlongWordsAndNumbersAreNotChecked) {
  ShowEditor("Fine " + QString(10000, 'q') + " and 3rd or X11.");
  CheckWith({AcceptMessageBox(kComplete)});
}

TEST_F(SpellingDialogTest, OptionsAreCopiedBackOnlyOnOk) {
  std::filesystem::create_directories(UserFolder());
  std::ofstream(UserFolder() + "/personal.dic") << "zorbleflux\nblorptastic\n";
  StartModule();
  auto edit = [](const char* button) {
    return ModalStep{"options", [](QWidget& modal) { return modal.findChild<QListWidget*>("personalWords") != nullptr; },
                     [button](QWidget& dialog) {
                       auto* words = dialog.findChild<QListWidget*>("personalWords");
                       ASSERT_EQ(words->count(), 2);
                       words->item(0)->setSelected(true);
                       dialog.findChild<QAbstractButton*>("removeWord")->click();
                       dialog.findChild<QCheckBox*>("checkAsYouType")->setChecked(false);
                       EXPECT_NE(dialog.findChild<QComboBox*>("language")->findText("en_US"), -1);
                       auto* box = dialog.findChild<QDialogButtonBox*>();
                       QMetaObject::invokeMethod(box, button, Qt::QueuedConnection);
                     }};
  };
  for (const char* button : {"rejected", "accepted"}) {
    SCOPED_TRACE(button);
    ModalScript script({edit(button)});
    SpellOutcome outcome = handler.ShowOptions(0);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(script.Pending(), "");
  }
  EXPECT_EQ(PersonalWords(), "blorptastic\n");
  std::string settings = ReadWholeFile(UserFolder() + "/quarnspellcheck.ini");
  EXPECT_NE(settings.find("CheckAsYouType=false"), std::string::npos) << settings;
  ShowEditor("zorbleflux and blorptastic");
  CheckWith({OnWord("zorbleflux", Click("cancel"))});
}

}  // namespace
}  // namespace mlf::test
