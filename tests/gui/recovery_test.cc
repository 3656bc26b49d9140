#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "app/app_settings.h"
#include "app/autosave.h"
#include "app/main_frame.h"
#include "app/recovery_offer.h"
#include "crypt/crypt_dll_handler.h"
#include "platform/env.h"
#include "rtf/plain_text.h"
#include "store/document.h"
#include "store/node.h"
#include "store/recovery_file.h"
#include "support/node_content.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"
#include "views/child_frame.h"
#include "views/mlf_rich_edit_view_ex.h"

namespace mlf::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kChildVariable = "MLF_RECOVERY_CHILD_FOLDER";
constexpr const char* kTyped = "Typed before the crash";

// A saved file of a folder, an empty note and a note with content, and an application-data folder of the test's own.
class RecoveryGuiTest : public ::testing::Test {
 protected:
  RecoveryGuiTest() : RecoveryGuiTest(qEnvironmentVariable(kChildVariable).toStdString()) {}
  explicit RecoveryGuiTest(std::string folder) : root(folder.empty() ? scratch.path() : folder) {
    AppSettings() = MlfSettings();
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old) oldDataHome = old;
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    if (!fs::exists(path)) {
      CMarrowleafDoc doc;
      doc.OnNewDocument();
      CMlfNode folderNode, note, other;
      folderNode.Create(&doc, ntFolder, "Folder", 0);
      note.Create(&doc, ntNote, "Note", 0);
      other.Create(&doc, ntNote, "Other", 0);
      EXPECT_TRUE(WriteStream(doc, other.GetId(), "{\\rtf1 stays in the saved file}"));
      EXPECT_TRUE(doc.OnSaveDocument(path));
    }
  }
  ~RecoveryGuiTest() override {
    prompts.defaultAnswer = MessageAnswer::No;  // "Save changes?" of a document left modified
    CloseAll();
    if (oldDataHome) setenv("XDG_DATA_HOME", oldDataHome->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }

  void CloseAll() {
    main.MdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(QTest::qWaitFor([this] { return main.findChildren<CChildFrame*>().isEmpty(); }));
  }
  std::string RecoveryFolder() const { return RecoveryDirectory(Env::Default()); }
  std::vector<std::string> RecoveryFolderNames() const {
    std::vector<std::string> names;
    if (fs::exists(RecoveryFolder()))
      for (const auto& entry : fs::directory_iterator(RecoveryFolder())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  // A recovery file of the saved document with one note changed, as a killed run leaves it.
  std::string LeftRecoveryFile(const std::string& name) {
    std::string recovery = RecoveryFolder() + "/" + name;
    fs::create_directories(RecoveryFolder());
    CMarrowleafDoc doc;
    EXPECT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(WriteStream(doc, 2, "changed"));
    doc.WriteRecovery(recovery);
    return recovery;
  }
  RecoveryQuestion Answer(RecoveryChoice choice) {
    return [this, choice](const QString& name, const QDateTime& time) {
      asked.push_back(name.toStdString());
      askedTimes.push_back(time);
      return choice;
    };
  }

  ScratchDir scratch;
  std::string root;
  std::string path = root + "/notes.mlf";
  std::optional<std::string> oldDataHome;
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
  std::vector<std::string> asked;
  std::vector<QDateTime> askedTimes;
};

// Answers the next Save As dialog with the file name, once it shows; an empty name cancels it.
void AnswerSaveAs(const QString& file) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, file] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->deleteLater();
    if (file.isEmpty()) {
      dialog->reject();
      return;
    }
    // The whole path typed into the name box: the dialog reads its folder in the background.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(file);
    QMetaObject::invokeMethod(dialog, &QDialog::accept);
  });
  timer->start(50);
}

std::string NoteText(const std::string& file, uint32_t id) {
  CMarrowleafDoc doc;
  EXPECT_TRUE(doc.OnOpenDocument(file));
  return rtf::RtfToPlainText(ReadStream(doc, id));
}

// Run in a child process by the test below: types into the note, opens another node (the
// note switch autosaves), says so and waits to be killed.
TEST_F(RecoveryGuiTest, DISABLED_ChildTypesThenWaitsForTheKill) {
  Autosave autosave(main, Env::Default());
  CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->ActivateNode(true, 2));
  QTest::keyClicks(frame->RichEditView(), kTyped);
  ASSERT_TRUE(frame->ActivateNode(false, 1));
  QCoreApplication::processEvents();
  ASSERT_FALSE(RecoveryFolderNames().empty());
  WriteWholeFile(root + "/ready", "");
  for (;;) QTest::qWait(1000);
}

TEST_F(RecoveryGuiTest, TextTypedBeforeAKillIsRecoveredAtTheNextStart) {
  QProcess child;
  QStringList arguments{QStringLiteral("--gtest_filter=RecoveryGuiTest.DISABLED_ChildTypesThenWaitsForTheKill"),
                        QStringLiteral("--gtest_also_run_disabled_tests")};
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(kChildVariable, QString::fromStdString(root));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::ForwardedChannels);
  child.start(QCoreApplication::applicationFilePath(), arguments);
  ASSERT_TRUE(child.waitForStarted());
  QElapsedTimer waited;
  waited.start();
  while (!fs::exists(root + "/ready") && child.state() == QProcess::Running && waited.elapsed() < 60000)
    QTest::qWait(50);
  ASSERT_TRUE(fs::exists(root + "/ready")) << "the child never autosaved";
  EXPECT_EQ(OfferRecovery(main, Env::Default(), Answer(RecoveryChoice::Discard)), 0);
  EXPECT_TRUE(asked.empty()) << "the program that wrote it still runs";
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished());
  ASSERT_EQ(RecoveryFolderNames().size(), 1u);
  std::string recovery = RecoveryFolder() + "/" + RecoveryFolderNames().front();
  EXPECT_EQ(fs::status(recovery).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  std::string saved = root + "/recovered.mlf";
  AnswerSaveAs(QString::fromStdString(saved));
  EXPECT_EQ(OfferRecovery(main, Env::Default(), Answer(RecoveryChoice::Recover)), 1);
  EXPECT_EQ(asked, std::vector<std::string>{path});
  ASSERT_EQ(askedTimes.size(), 1u);
  EXPECT_LE(std::abs(askedTimes.front().secsTo(QDateTime::currentDateTime())), 120);
  ASSERT_EQ(main.ChildFrames().size(), 1);
  EXPECT_FALSE(main.ChildFrames().front()->Document().IsModified());
  CloseAll();
  EXPECT_EQ(NoteText(saved, 2), kTyped);
  EXPECT_EQ(NoteText(saved, 3), "stays in the saved file");
  EXPECT_EQ(NoteText(path, 2), "") << "the original is never written over";
  EXPECT_TRUE(RecoveryFolderNames().empty()) << "saved: the recovery file went";
}

TEST_F(RecoveryGuiTest, SavingOrClosingRemovesTheRecoveryFile) {
  struct Case {
    const char* name;
    std::function<void(CChildFrame*)> end;
  } cases[] = {
      {"saved", [](CChildFrame* frame) { EXPECT_TRUE(frame->Save()); }},
      {"closed without saving",
       [this](CChildFrame*) {
         prompts.QueueAnswer(MessageAnswer::No);
         CloseAll();
       }},
  };
  Autosave autosave(main, Env::Default());
  for (const Case& c : cases) {
    CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WriteStream(frame->Document(), 2, "changed"));
    autosave.SaveAll();
    EXPECT_EQ(RecoveryFolderNames().size(), 1u) << c.name;
    c.end(frame);
    EXPECT_TRUE(RecoveryFolderNames().empty()) << c.name;
    CloseAll();
  }
}

TEST_F(RecoveryGuiTest, ARoundIsSkippedWhileADialogIsOpen) {
  Autosave autosave(main, Env::Default());
  CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WriteStream(frame->Document(), 2, "changed"));
  QDialog progress(&main);  // as a node process's progress dialog, or a save's question
  progress.setModal(true);
  progress.show();
  ASSERT_NE(QApplication::activeModalWidget(), nullptr);
  autosave.SaveAll();
  EXPECT_TRUE(RecoveryFolderNames().empty());
  progress.hide();
  autosave.SaveAll();
  EXPECT_EQ(RecoveryFolderNames().size(), 1u);
}

TEST_F(RecoveryGuiTest, ACancelledSaveAsKeepsTheRecoveredWindowAndItsRecoveryFile) {
  std::string recovery = LeftRecoveryFile("notes-1-1.mlfrecovery");
  AnswerSaveAs(QString());
  EXPECT_EQ(OfferRecovery(main, Env::Default(), Answer(RecoveryChoice::Recover)), 1);
  ASSERT_EQ(main.ChildFrames().size(), 1);
  CChildFrame* frame = main.ChildFrames().front();
  EXPECT_TRUE(frame->Document().IsModified());
  EXPECT_EQ(frame->DocumentTitle(), QStringLiteral("notes.mlf (recovered)"));
  EXPECT_EQ(ReadStream(frame->Document(), 2), "changed");
  EXPECT_TRUE(fs::exists(recovery)) << "nothing is lost while the recovered document is unsaved";
}

TEST_F(RecoveryGuiTest, KeepLeavesTheFileAndDiscardDeletesIt) {
  struct Case {
    RecoveryChoice choice;
    bool kept;
  } cases[] = {{RecoveryChoice::Keep, true}, {RecoveryChoice::Discard, false}};
  for (const Case& c : cases) {
    std::string recovery = LeftRecoveryFile("notes-1-1.mlfrecovery");
    asked.clear();
    EXPECT_EQ(OfferRecovery(main, Env::Default(), Answer(c.choice)), 0);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(fs::exists(recovery), c.kept);
    EXPECT_TRUE(main.ChildFrames().isEmpty());
    EXPECT_EQ(NoteText(path, 2), "") << "the saved file is left alone";
  }
}

TEST_F(RecoveryGuiTest, UnusableRecoveryFilesAreReportedAndMovedAside) {
  struct Case {
    const char* name;
    std::function<void(const std::string& recovery)> harm;
  } cases[] = {
      {"damaged", [](const std::string& recovery) { WriteWholeFile(recovery, "not a recovery file at all"); }},
      {"saved file changed", [this](const std::string&) {
         CMarrowleafDoc doc;
         ASSERT_TRUE(doc.OnOpenDocument(path));
         ASSERT_TRUE(WriteStream(doc, 2, "saved by another program"));
         ASSERT_TRUE(doc.OnSaveDocument(path));
       }},
  };
  for (const Case& c : cases) {
    std::string recovery = LeftRecoveryFile("notes-1-1.mlfrecovery");
    c.harm(recovery);
    prompts.messages.clear();
    asked.clear();
    EXPECT_EQ(OfferRecovery(main, Env::Default(), Answer(RecoveryChoice::Keep)), 0) << c.name;
    EXPECT_TRUE(asked.empty()) << c.name;
    EXPECT_EQ(RecoveryFolderNames(), std::vector<std::string>{"notes-1-1.mlfrecovery.damaged"}) << c.name;
    ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
    EXPECT_NE(prompts.messages[0].text.find("cannot be used"), std::string::npos) << c.name;
    fs::remove(recovery + ".damaged");
  }
}

TEST_F(RecoveryGuiTest, AnEncryptedDocumentsRecoveryAsksForThePasswordBeforeTheQuestion) {
  ASSERT_TRUE(AppCrypt().Load(Env::Default()));
  struct Unload {
    ~Unload() { AppCrypt().Unload(); }
  } unload;
  std::string recovery = RecoveryFolder() + "/secret-1-1.mlfrecovery";
  {
    fs::create_directories(RecoveryFolder());
    CMarrowleafDoc doc;
    doc.OnNewDocument();
    CMlfNode note, other;
    note.Create(&doc, ntNote, "Note", 0);
    other.Create(&doc, ntNote, "Other", 0);
    ASSERT_TRUE(WriteStream(doc, other.GetId(), "{\\rtf1 stays in the saved file}"));
    doc.SetFileEncryption(AppCrypt().DefaultCipher(), 32, AppCrypt().DefaultKeyDerivation(), SecureString("pw"));
    ASSERT_TRUE(doc.OnSaveDocument(root + "/secret.mlf"));
    ASSERT_TRUE(WriteStream(doc, note.GetId(), "typed secret words", false));
    doc.WriteRecovery(recovery);
  }
  EXPECT_EQ(ReadWholeFile(recovery).find("typed secret words"), std::string::npos);

  struct Attempt {
    const char* name;
    std::optional<std::string> password;
    size_t questions;
  } attempts[] = {{"cancelled", std::nullopt, 0}, {"right", "pw", 1}};
  for (const Attempt& a : attempts) {
    prompts.passwordRequests.clear();
    prompts.QueuePassword(a.password);
    size_t passwordsBeforeQuestion = 0;
    size_t questions = 0;
    OfferRecovery(main, Env::Default(), [&](const QString&, const QDateTime&) {
      passwordsBeforeQuestion = prompts.passwordRequests.size();
      ++questions;
      return RecoveryChoice::Keep;
    });
    EXPECT_EQ(questions, a.questions) << a.name;
    EXPECT_EQ(prompts.passwordRequests.size(), 1u) << a.name << ": one password opens both files";
    if (questions) {
      EXPECT_EQ(passwordsBeforeQuestion, 1u) << a.name;
    }
    EXPECT_TRUE(fs::exists(recovery)) << a.name;
  }
}

TEST_F(RecoveryGuiTest, WithoutAWritableFolderAutosaveSaysOnceThatItIsOff) {
  WriteWholeFile(root + "/plainfile", "");
  setenv("XDG_DATA_HOME", (root + "/plainfile").c_str(), 1);  // a file where the folder should be
  Autosave autosave(main, Env::Default());
  CChildFrame* frame = main.OpenDocument(QString::fromStdString(path));
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WriteStream(frame->Document(), 2, "changed"));
  autosave.SaveAll();
  autosave.SaveAll();
  EXPECT_TRUE(autosave.IsOff());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("Autosave is off"), std::string::npos);
  EXPECT_TRUE(frame->Save()) << "the program goes on";
}

}  // namespace
}  // namespace mlf::test
