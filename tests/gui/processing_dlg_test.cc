// The progress dialog: a process driven to its end, Cancel part way, the worker's questions
// asked on this thread, the watchdog of a stuck import, and a batch export answering each
// question kind.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "dialogs/processing_dlg.h"
#include "exchange/node_export.h"
#include "gui_fixture.h"

namespace mlf::test {
namespace {

using namespace std::chrono_literals;

class CountingProcess : public CNodeBatchProcess {
 public:
  CountingProcess(CMarrowleafDoc& document, uint32_t total) : CNodeBatchProcess(document), m_total(total) {}

 protected:
  void Run() override {
    SetCount(m_total);
    SetStatusText("Counting");
    for (uint32_t i = 0; i < m_total && !IsCancelled(); ++i) {
      SetDetailText("item " + std::to_string(i));
      std::this_thread::sleep_for(5ms);
      Step();
    }
  }

 private:
  uint32_t m_total;
};

// Never ends by itself: the import that hangs.
class StuckProcess : public CNodeProcess {
 public:
  using CNodeProcess::CNodeProcess;
  std::atomic<bool> release{false};

 protected:
  void Run() override {
    while (!release) std::this_thread::sleep_for(5ms);
  }
};

class AskingProcess : public CNodeProcess {
 public:
  using CNodeProcess::CNodeProcess;
  std::vector<MessageAnswer> answers;

 protected:
  void Run() override {
    for (MessageButtons buttons : {MessageButtons::YesNo, MessageButtons::AbortRetryIgnore, MessageButtons::OkCancel})
      answers.push_back(Ask("Question?", buttons, MessageIcon::Exclamation));
  }
};

class ProcessingDlgTest : public GuiFixture {
 protected:
  CProcessingDlg dialog;
};

TEST_F(ProcessingDlgTest, FinishedProcessEndsWithOkAndAFullBar) {
  CountingProcess process(*doc, 10);
  EXPECT_EQ(dialog.RunProcess(process), QDialog::Accepted);
  EXPECT_EQ(dialog.Bar()->value(), 100);
  EXPECT_EQ(dialog.StatusLine()->text(), "Counting");
  EXPECT_EQ(process.GetIndex(), 10u);
}

TEST_F(ProcessingDlgTest, CancelPartWay) {
  CountingProcess process(*doc, 2000);
  bool stillOpenAfterEnter = false;
  QTimer::singleShot(100, &dialog, [&] {
    QTest::keyClick(&dialog, Qt::Key_Return);
    stillOpenAfterEnter = dialog.isVisible();
    dialog.CancelButton()->click();
    EXPECT_FALSE(dialog.CancelButton()->isEnabled());
    EXPECT_EQ(dialog.CancelLine()->text(), "Cancelling...");
  });
  EXPECT_EQ(dialog.RunProcess(process), QDialog::Rejected);
  EXPECT_TRUE(stillOpenAfterEnter);
  EXPECT_GT(process.GetIndex(), 0u);
  EXPECT_LT(process.GetIndex(), 2000u);
  EXPECT_FALSE(dialog.Abandoned());
}

TEST_F(ProcessingDlgTest, QuestionsAreAskedOnceEachWithTheirButtons) {
  AskingProcess process(*doc);
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Retry, MessageAnswer::Cancel})
    prompts.QueueAnswer(answer);
  EXPECT_EQ(dialog.RunProcess(process), QDialog::Accepted);
  EXPECT_EQ(process.answers, (std::vector{MessageAnswer::No, MessageAnswer::Retry, MessageAnswer::Cancel}));
  ASSERT_EQ(prompts.messages.size(), 3u);
  EXPECT_EQ(prompts.messages[0].caption, "Quarn Marrowleaf");
  EXPECT_EQ(prompts.messages[1].buttons, MessageButtons::AbortRetryIgnore);
}

TEST_F(ProcessingDlgTest, WatchdogAsksAboutAStuckImport) {
  auto process = std::make_unique<StuckProcess>(*doc);
  dialog.SetWatchdogTimeout(300);
  prompts.QueueAnswer(MessageAnswer::No);  // wait once more
  prompts.QueueAnswer(MessageAnswer::Yes);  // then abandon it
  QString countdown;
  QTimer::singleShot(50, &dialog, [&] { dialog.CancelButton()->click(); });
  QTimer::singleShot(150, &dialog, [&] { countdown = dialog.CancelLine()->text(); });
  EXPECT_EQ(dialog.RunProcess(*process, CProcessingDlg::Watchdog::On), QDialog::Rejected);
  EXPECT_TRUE(dialog.Abandoned());
  EXPECT_EQ(countdown, "Cancelling...0");
  const std::string question =
      "The import process is not responding, do you want to abandon the import?\n\n"
      "Click Yes to terminate the import process now.\n"
      "Click No to wait 10 more seconds for a response.";
  EXPECT_EQ(MessageTexts(), (std::vector{question, question}));
  EXPECT_EQ(prompts.messages[0].caption, "Import");
  EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::YesNo);
  // The abandoned worker still runs; here it ends so that the test can finish cleanly.
  process->release = true;
  process->Join();
}

TEST_F(ProcessingDlgTest, BatchExportAnswersEveryQuestionKind) {
  Add(ntNote, "Replaced", 0, "{\\rtf1 new}");
  Add(ntNote, "Kept", 0, "{\\rtf1 new}");
  Add(ntNote, "bad/name", 0, "{\\rtf1 x}");
  uint32_t locked = Add(ntNote, "Locked", 0, "{\\rtf1 secret}");
  Encrypt(locked, "pw");
  env.CreateDirectory("/out");
  env.PutFile("/out/Replaced.rtf", "old");
  env.PutFile("/out/Kept.rtf", "old");
  // Overwrite Yes, overwrite No, the error Retry then Ignore, the password.
  for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Retry, MessageAnswer::Ignore})
    prompts.QueueAnswer(answer);
  prompts.QueuePassword("pw");

  CNodeBatchExport process(*doc, "/out");
  EXPECT_EQ(dialog.RunProcess(process), QDialog::Accepted);
  EXPECT_NE(env.GetFile("/out/Replaced.rtf"), "old");
  EXPECT_EQ(env.GetFile("/out/Kept.rtf"), "old");
  EXPECT_TRUE(env.FileExists("/out/Locked.rtf"));
  EXPECT_FALSE(env.FileExists("/out/bad/name.rtf"));
  EXPECT_EQ(process.Tally().written, 2u);
  ASSERT_EQ(process.Tally().failed.size(), 1u);
  EXPECT_EQ(prompts.passwords.size(), 0u);
  std::vector<std::string> texts = MessageTexts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], "/out/Replaced.rtf already exists. Overwrite?");
  EXPECT_EQ(texts[2].rfind("Error exporting /out/bad/name", 0), 0u) << texts[2];
  EXPECT_EQ(texts[3], texts[2]);  // asked again after Retry
}

TEST_F(ProcessingDlgTest, BatchExportStopsWithinOneFileOfCancel) {
  // The user presses Cancel while the first overwrite question is open, then answers Yes.
  struct CancellingPrompts : ScriptedPrompts {
    CProcessingDlg* dialog = nullptr;
    MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                          MessageButtons buttons) override {
      dialog->CancelButton()->click();
      return ScriptedPrompts::Message(text, caption, icon, buttons);
    }
  } cancelling;
  cancelling.dialog = &dialog;
  cancelling.defaultAnswer = MessageAnswer::Yes;
  ScopedAppPrompts scope(cancelling);
  for (int i = 0; i < 50; ++i) Add(ntNote, ("Note " + std::to_string(i)).c_str(), 0, "{\\rtf1 x}");
  env.CreateDirectory("/out");
  env.PutFile("/out/Note 0.rtf", "old");
  CNodeBatchExport process(*doc, "/out");
  EXPECT_EQ(dialog.RunProcess(process), QDialog::Rejected);
  EXPECT_EQ(cancelling.messages.size(), 1u);
  EXPECT_EQ(process.Tally().written, 1u);
  EXPECT_FALSE(env.FileExists("/out/Note 1.rtf"));
}

}  // namespace
}  // namespace mlf::test
