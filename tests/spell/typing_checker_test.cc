// Checking as you type: marks on the misspelt words on screen, drawn over the text without
// touching the document, following edits, Ignore All and Add, and only where asked for; a
// language without a dictionary marks nothing and is reported once.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>

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

TEST_F(TypingCheckerTest, OverlongWordsAreLeftUnmarked) {
  auto editor = MakeEditor("Fine " + QString(10000, 'q') + " and a mispelt one.");
  EXPECT_EQ(MarkedAfterEvents(*editor, {"mispelt"}), QStringList{"mispelt"});
}

TEST_F(TypingCheckerTest, ALanguageWithoutADictionaryMarksNothingAndIsReportedOnce) {
  WriteSettings("Language=xx_NONE\n");
  StartModule();
  QStringList said;
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&said] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      said << box->text();
      box->accept();
    }
  });
  answerer.start(5);
  auto letEventsRun = [] {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  };
  auto first = MakeEditor("A mispelt word.");
  auto second = MakeEditor("Anothr note.");
  letEventsRun();
  QTextCursor(second->document()).insertText("Wrng ");
  letEventsRun();
  EXPECT_EQ(Marked(*first), QStringList());
  EXPECT_EQ(Marked(*second), QStringList());
  ASSERT_EQ(said.size(), 1) << said.join("\n---\n").toStdString();
  for (const std::string& part : {std::string("No dictionary for \"xx_NONE\" was found"), UserFolder() + "/dictionaries",
                                  std::string("/usr/share/hunspell")})
    EXPECT_NE(said[0].toStdString().find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace mlf::test
