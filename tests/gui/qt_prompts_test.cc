#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <QThread>
#include <atomic>
#include <functional>
#include <thread>

#include "app/qt_prompts.h"
#include "dialogs/set_password_dlg.h"

namespace mlf {
namespace {

// Acts on the modal window once it is up.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

TEST(QtPromptsTest, AQuestionFromAWorkerIsAskedOnTheProgramsThread) {
  QtPrompts prompts;
  std::atomic<bool> done{false};
  MessageAnswer answer = MessageAnswer::Cancel;
  QThread* boxThread = nullptr;
  std::thread worker([&] {
    answer = prompts.Message("Overwrite?", "Caption", MessageIcon::Exclamation, MessageButtons::YesNo);
    done = true;
  });
  // The box runs its own loop on this thread: a timer answers it from inside.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxThread = box->thread();
      box->button(QMessageBox::Yes)->click();
    }
  });
  answerer.start(10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(answer, MessageAnswer::Yes);
  EXPECT_EQ(boxThread, qApp->thread());
}

TEST(QtPromptsTest, MessagesAreBoxesWithTheCaptionIconAndButtonsAsked) {
  struct Case {
    MessageIcon icon;
    MessageButtons buttons;
    QMessageBox::Icon boxIcon;
    QMessageBox::StandardButtons boxButtons;
    QMessageBox::StandardButton press;
    MessageAnswer answer;
  } cases[] = {
      {MessageIcon::Question, MessageButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
       QMessageBox::No, MessageAnswer::No},
      {MessageIcon::Exclamation, MessageButtons::Ok, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok,
       MessageAnswer::Ok},
      {MessageIcon::Stop, MessageButtons::YesNoCancel, QMessageBox::Critical,
       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel, MessageAnswer::Cancel},
      {MessageIcon::None, MessageButtons::OkCancel, QMessageBox::NoIcon, QMessageBox::Ok | QMessageBox::Cancel,
       QMessageBox::Ok, MessageAnswer::Ok},
  };
  int shown = 0;
  QtPrompts prompts([&shown] { ++shown; });
  for (const Case& c : cases) {
    QString caption, text;
    QMessageBox::Icon icon{};
    QMessageBox::StandardButtons buttons;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      caption = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->standardButtons();
      box->button(c.press)->click();
    });
    EXPECT_EQ(prompts.Message("Line one\r\n\r\nLine two", "Caption", c.icon, c.buttons), c.answer);
    EXPECT_EQ(caption, QStringLiteral("Caption"));
    EXPECT_EQ(text, QStringLiteral("Line one\n\nLine two"));
    EXPECT_EQ(icon, c.boxIcon);
    EXPECT_EQ(buttons, c.boxButtons);
  }
  EXPECT_EQ(shown, 4) << "the splash is closed before every box";
}

TEST(QtPromptsTest, PasswordQuestionsUseThePasswordDialog) {
  QtPrompts prompts;
  PasswordRequest request;
  request.mode = kPasswordConfirm;
  request.presetNew = SecureString("typed");
  WhenModal([](QWidget* modal) {
    auto* dialog = qobject_cast<CSetPasswordDlg*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Confirm New Password"));
    dialog->FirstEdit()->setText(QStringLiteral("typed"));
    dialog->accept();
  });
  std::optional<PasswordAnswer> answer = prompts.AskPassword(request);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->newText.view(), "typed");

  WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(prompts.AskPassword(PasswordRequest{})) << "Cancel gives nothing";
}

}  // namespace
}  // namespace mlf
