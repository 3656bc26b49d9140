#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "dialogs/about_dlg.h"
#include "dialogs/add_bookmark_dlg.h"
#include "dialogs/set_password_dlg.h"
#include "gui_fixture.h"
#include "widgets/hyper_link.h"

namespace mlf::test {
namespace {

class PasswordDialogTest : public GuiFixture {
 protected:
  void SetUp() override {
    node = Add(ntNote, "Locked", 0, "x");
    Encrypt(node, "Secret");
  }
  // Fills the rows, presses OK and tells whether the dialog closed with OK.
  bool Ok(CSetPasswordDlg& dialog, const char* first, const char* fresh = "", const char* retyped = "") {
    dialog.show();
    dialog.FirstEdit()->setText(QString::fromUtf8(first));
    dialog.NewEdit()->setText(QString::fromUtf8(fresh));
    dialog.RetypedEdit()->setText(QString::fromUtf8(retyped));
    dialog.accept();
    return !dialog.isVisible() && dialog.result() == QDialog::Accepted;
  }
  uint32_t node = 0;
};

TEST_F(PasswordDialogTest, ModesChooseCaptionLabelAndRows) {
  struct Case {
    uint32_t mode;
    const char* caption;
    const char* label;
    bool firstEnabled, allRows;
  } cases[] = {
      {kPasswordEnter, "Enter Password", "Password: ", true, false},
      {kPasswordConfirm, "Confirm New Password", "Confirm Password: ", true, false},
      {kPasswordSet, "Enter New Password", "Old Password: ", false, true},
      {kPasswordSet | kPasswordEnter, "Enter New Password", "Old Password: ", true, true},
  };
  int oneRowHeight = 0, threeRowHeight = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    CSetPasswordDlg dialog(c.mode, doc, 0);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromLatin1(c.caption));
    EXPECT_EQ(dialog.FirstLabel()->text(), QString::fromLatin1(c.label));
    EXPECT_EQ(dialog.FirstEdit()->isEnabled(), c.firstEnabled);
    EXPECT_EQ(dialog.NewEdit()->isVisible(), c.allRows);
    EXPECT_EQ(dialog.RetypedEdit()->isVisible(), c.allRows);
    EXPECT_EQ(dialog.FirstEdit()->echoMode(), QLineEdit::Password);
    (c.allRows ? threeRowHeight : oneRowHeight) = dialog.height();
  }
  EXPECT_LT(oneRowHeight, threeRowHeight) << "the one-row dialog is shorter";
}

TEST_F(PasswordDialogTest, OkRunsTheChecksOfTheMode) {
  struct Case {
    const char* name;
    uint32_t mode;
    bool withNode;
    const char *first, *fresh, *retyped, *preset;
    bool accepted;
    const char* message;  // null: none
  } cases[] = {
      {"enter, right", kPasswordEnter, true, "Secret", "", "", "", true, nullptr},
      {"enter, wrong case", kPasswordEnter, true, "secret", "", "", "", false, "Incorrect password!"},
      {"enter without node takes anything", kPasswordEnter, false, "", "", "", "", true, nullptr},
      {"confirm, same", kPasswordConfirm, false, "new pw", "", "", "new pw", true, nullptr},
      {"confirm, differs", kPasswordConfirm, false, "New pw", "", "", "new pw", false,
       "You have not correctly retyped your new password."},
      {"set, empty", kPasswordSet, false, "", "", "", "", false, "Please enter a new password."},
      {"set, retyped differs", kPasswordSet, false, "", "abc", "abd", "", false,
       "The re-typed password did not match, please check your input."},
      {"set, agrees", kPasswordSet, false, "", "abc", "abc", "", true, nullptr},
      {"change, wrong old", kPasswordSet | kPasswordEnter, true, "nope", "abc", "abc", "", false, "Incorrect password!"},
      {"change, right old", kPasswordSet | kPasswordEnter, true, "Secret", "abc", "abc", "", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.messages.clear();
    CSetPasswordDlg dialog(c.mode, doc, c.withNode ? node : 0);
    dialog.SetNewText(SecureString(c.preset));
    EXPECT_EQ(Ok(dialog, c.first, c.fresh, c.retyped), c.accepted);
    EXPECT_EQ(MessageTexts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    if (c.message) {
      EXPECT_EQ(prompts.messages[0].caption, "User Authentication");
      EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);
    }
  }
}

TEST_F(PasswordDialogTest, ReturnsTheTextsTheModeAsksFor) {
  CSetPasswordDlg change(kPasswordSet | kPasswordEnter, doc, node);
  ASSERT_TRUE(Ok(change, "Secret", "fresh", "fresh"));
  EXPECT_EQ(change.FirstText().view(), "Secret");
  EXPECT_EQ(change.NewText().view(), "fresh");
  CSetPasswordDlg confirm(kPasswordConfirm, doc, 0);
  confirm.SetNewText(SecureString("typed"));
  ASSERT_TRUE(Ok(confirm, "typed"));
  EXPECT_EQ(confirm.NewText().view(), "typed");
}

TEST(SmallDialogsTest, BookmarkNameAndAboutBox) {
  CAddBookmarkDlg bookmark;
  bookmark.SetName(QString(129, QLatin1Char('x')));
  EXPECT_EQ(bookmark.Name().size(), 128) << "at most 128 characters";
  EXPECT_EQ(bookmark.windowTitle(), QStringLiteral("Add Bookmark"));

  CAboutDlg about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quarn Marrowleaf"));
  QStringList lines = CAboutDlg::VersionText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].contains(QStringLiteral("0.10.6")));
  EXPECT_TRUE(lines[0].contains(QStringLiteral("20140503")));
  EXPECT_TRUE(lines[1].contains(QStringLiteral("-bit")));
  bool hasMailLink = false;
  for (CHyperLink* link : about.findChildren<CHyperLink*>())
    hasMailLink |= link->Target() == QStringLiteral("mailto:support@quarn.example");
  EXPECT_TRUE(hasMailLink);
}

}  // namespace
}  // namespace mlf::test
