// Tools > Options: every control is copied back into the settings on OK and never on Cancel,
// the fonts go through the font dialog, and after OK the open document windows apply the new
// values at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <map>
#include <string>

#include "../spell/modal_script.h"
#include "app/app_settings.h"
#include "app/command_registry.h"
#include "app/main_frame.h"
#include "dialogs/options_editor_page.h"
#include "dialogs/options_sheet.h"
#include "store/node_record.h"
#include "support/scripted_prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"

namespace mlf::test {
namespace {

// The settings with their defaults, ready to be saved.
MlfSettings Defaults() {
  MlfSettings settings;
  MemorySettingsStore empty;
  settings.Load(empty);
  return settings;
}

// Every value as the settings store would receive it: two settings are equal when these are.
std::map<std::string, MemorySettingsStore::Value> Saved(const MlfSettings& settings) {
  MemorySettingsStore store;
  settings.Save(store);
  return store.values;
}

QWidget* Page(const COptionsSheet& sheet, const QString& title) {
  for (int i = 0; i < sheet.Pages()->count(); ++i)
    if (sheet.Pages()->tabText(i) == title) return sheet.Pages()->widget(i);
  return nullptr;
}

// Each check box, the page it is on and the flag it edits.
const struct CheckCase {
  const char* page;
  const char* control;
  const char* text;
  bool MlfSettings::*flag;
} kChecks[] = {
    {"General", "PromptDelete", "Prompt before deleting", &MlfSettings::promptDelete},
    {"General", "PromptMove", "Prompt before moving", &MlfSettings::promptMove},
    {"General", "ResizeBilinear", "Bilinear image resizing", &MlfSettings::resizeBilinear},
    {"General", "SingleClick", "Single-click activation", &MlfSettings::singleClick},
    {"General", "MinimizeToTray", "Minimize to system tray", &MlfSettings::minimizeToTray},
    {"Editor", "WordWrap", "Wrap text to window", &MlfSettings::wordWrap},
    {"Editor", "AutoWordSelection", "Automatic Word Selection", &MlfSettings::autoWordSelection},
    {"Start Up", "ReloadLast", "Load last used file", &MlfSettings::reloadLast},
    {"Start Up", "StartInTray", "Start in System Tray", &MlfSettings::startInTray},
    {"Start Up", "ShowSplash", "Show Splash Screen", &MlfSettings::showSplash},
};

TEST(OptionsSheet, PagesInOrderWithOkAndCancelOnly) {
  MlfSettings settings = Defaults();
  COptionsSheet sheet(settings);
  EXPECT_EQ(sheet.windowTitle().toStdString(), "Options");
  QStringList titles;
  for (int i = 0; i < sheet.Pages()->count(); ++i) titles << sheet.Pages()->tabText(i);
  EXPECT_EQ(titles.join(", ").toStdString(), "General, Editor, Spelling, Start Up");
  QStringList buttons;
  for (QPushButton* button : sheet.findChildren<QPushButton*>())
    if (!Page(sheet, "Editor")->isAncestorOf(button) && !Page(sheet, "Spelling")->isAncestorOf(button))
      buttons << button->text().remove('&');
  EXPECT_EQ(buttons.join(", ").toStdString(), "OK, Cancel");
}

TEST(OptionsSheet, EveryCheckBoxIsCopiedBackOnOkAndNeverOnCancel) {
  const MlfSettings defaults = Defaults();
  for (const CheckCase& c : kChecks) {
    SCOPED_TRACE(c.control);
    for (bool ok : {false, true}) {
      MlfSettings settings = defaults;
      COptionsSheet sheet(settings);
      QWidget* page = Page(sheet, QString::fromLatin1(c.page));
      ASSERT_NE(page, nullptr);
      auto* box = page->findChild<QCheckBox*>(QString::fromLatin1(c.control));
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text().toStdString(), c.text);
      EXPECT_EQ(box->isChecked(), defaults.*c.flag);
      box->click();
      ok ? sheet.accept() : sheet.reject();
      MlfSettings expected = defaults;
      if (ok) expected.*c.flag = !(defaults.*c.flag);
      EXPECT_EQ(Saved(settings), Saved(expected)) << (ok ? "OK" : "Cancel");
    }
  }
}

TEST(OptionsSheet, ChecksShowTheSettingsTheyWereGiven) {
  MlfSettings settings = Defaults();
  for (const CheckCase& c : kChecks) settings.*c.flag = !(settings.*c.flag);
  COptionsSheet sheet(settings);
  for (const CheckCase& c : kChecks)
    EXPECT_EQ(sheet.findChild<QCheckBox*>(QString::fromLatin1(c.control))->isChecked(), settings.*c.flag) << c.control;
}

TEST(OptionsSheet, ChosenFontSizeIsWholePointsRoundedDown) {
  const struct {
    double points;
    uint32_t stored;
  } cases[] = {{12, 12}, {10.5, 10}, {10.9, 10}, {0.5, 1}};
  for (const auto& c : cases) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(c.points);
    EXPECT_EQ(ChosenFont(font).size, c.stored) << c.points;
    EXPECT_EQ(FontLabelText(ChosenFont(font)).toStdString(), "DejaVu Sans, " + std::to_string(c.stored) + " pt");
  }
}

// The font dialog: its effects and scripts are hidden; it chooses the font or cancels.
ModalStep InFontDialog(const QString& family, int points, bool ok) {
  return {"font dialog", [](QWidget& modal) { return qobject_cast<QFontDialog*>(&modal) != nullptr; },
          [=](QWidget& modal) {
            auto& dialog = static_cast<QFontDialog&>(modal);
            for (QCheckBox* effect : dialog.findChildren<QCheckBox*>())
              EXPECT_FALSE(effect->isVisibleTo(&dialog)) << effect->text().toStdString();
            for (QComboBox* scripts : dialog.findChildren<QComboBox*>()) EXPECT_FALSE(scripts->isVisibleTo(&dialog));
            dialog.setCurrentFont(QFont(family, points));
            QMetaObject::invokeMethod(&dialog, ok ? "accept" : "reject", Qt::QueuedConnection);
          }};
}

TEST(OptionsSheet, FontsChangeThroughTheFontDialogAndOnlyOnOk) {
  const MlfSettings defaults = Defaults();
  for (bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    MlfSettings settings = defaults;
    COptionsSheet sheet(settings);
    QWidget* editor = Page(sheet, "Editor");
    auto* defaultLabel = editor->findChild<QLabel*>("DefaultFontLabel");
    auto* importLabel = editor->findChild<QLabel*>("ImportFontLabel");
    EXPECT_EQ(defaultLabel->text().toStdString(), "Arial, 12 pt");
    EXPECT_EQ(importLabel->text().toStdString(), "Courier New, 11 pt");
    {
      ModalScript script({InFontDialog("DejaVu Sans", 14, true)});
      editor->findChild<QPushButton*>("ChangeDefaultFont")->click();
      EXPECT_EQ(script.Pending(), "");
    }
    {
      ModalScript script({InFontDialog("DejaVu Serif", 20, false)});
      editor->findChild<QPushButton*>("ChangeImportFont")->click();
      EXPECT_EQ(script.Pending(), "");
    }
    EXPECT_EQ(defaultLabel->text().toStdString(), "DejaVu Sans, 14 pt");
    EXPECT_EQ(importLabel->text().toStdString(), "Courier New, 11 pt") << "a cancelled font dialog changes nothing";
    ok ? sheet.accept() : sheet.reject();
    MlfSettings expected = defaults;
    if (ok) {
      expected.defaultFontName = "DejaVu Sans";
      expected.defaultFontSize = 14;
    }
    EXPECT_EQ(Saved(settings), Saved(expected));
  }
}

TEST(OptionsSheet, SpellingOptionsWithoutTheModuleSayWhy) {
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  MlfSettings settings = Defaults();
  COptionsSheet sheet(settings);
  Page(sheet, "Spelling")->findChild<QPushButton*>("ShowSpellingOptions")->click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text,
            "Could not show spelling options, the following error was returned:\r\n\r\n"
            "The spell-checking library is not loaded.");
}

// The Options command of a main window with one document window open.
class OptionsCommandTest : public ::testing::Test {
 protected:
  OptionsCommandTest() {
    AppSettings() = Defaults();
    main.show();
    frame = main.NewDocument();
    CMlfTreeCtrl* tree = frame->TabsView()->NodeTree();
    QTreeWidgetItem* note = tree->NewNode(nullptr, ntNote);
    QTest::keyClick(tree->viewport()->focusWidget() ? tree->viewport()->focusWidget() : tree, Qt::Key_Escape);
    noteId = uint32_t(CMlfTreeCtrl::ItemValue(note));
  }
  ~OptionsCommandTest() override { AppSettings() = Defaults(); }

  // Runs Tools > Options, sets the check boxes and presses OK or Cancel.
  void RunOptions(std::map<QString, bool> checks, const char* button) {
    ModalScript script({{"options", [](QWidget& modal) { return qobject_cast<COptionsSheet*>(&modal) != nullptr; },
                         [=](QWidget& sheet) {
                           for (const auto& [name, on] : checks) sheet.findChild<QCheckBox*>(name)->setChecked(on);
                           QMetaObject::invokeMethod(&sheet, button, Qt::QueuedConnection);
                         }}});
    AppCommands().Action(CommandId::kOptions)->trigger();
    EXPECT_EQ(script.Pending(), "");
  }

  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
  CChildFrame* frame;
  uint32_t noteId = 0;
};

TEST_F(OptionsCommandTest, OkReachesTheOpenEditorAtOnceAndCancelSendsNothing) {
  EXPECT_TRUE(AppCommands().Action(CommandId::kOptions)->isEnabled());
  ASSERT_TRUE(frame->ActivateNode(true, noteId));
  CMlfRichEditViewEx* editor = frame->RichEditView();
  ASSERT_EQ(editor->lineWrapMode(), QTextEdit::WidgetWidth);
  ASSERT_TRUE(editor->AutoWordSelection());
  QSignalSpy notices(&main, &CMainFrame::OptionsChanged);

  RunOptions({{"WordWrap", false}, {"AutoWordSelection", false}}, "reject");
  EXPECT_EQ(notices.count(), 0);
  EXPECT_EQ(editor->lineWrapMode(), QTextEdit::WidgetWidth);

  RunOptions({{"WordWrap", false}, {"AutoWordSelection", false}}, "accept");
  EXPECT_EQ(notices.count(), 1);
  EXPECT_EQ(editor->lineWrapMode(), QTextEdit::NoWrap);
  EXPECT_FALSE(editor->AutoWordSelection());
}

TEST_F(OptionsCommandTest, SingleClickReachesTheOpenTreeAndBookmarks) {
  CMlfTreeCtrl* tree = frame->TabsView()->NodeTree();
  QTreeWidgetItem* note = tree->FindItem(noteId);
  ASSERT_NE(note, nullptr);
  ASSERT_TRUE(tree->AddBookmark(note, QStringLiteral("Mark")));
  QApplication::processEvents();
  auto click = [tree, note] { QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(note).center()); };
  click();
  EXPECT_NE(frame->ActiveNodeId(), noteId) << "a double click opens by default";

  RunOptions({{"SingleClick", true}}, "accept");
  click();
  EXPECT_EQ(frame->ActiveNodeId(), noteId);

  tree->ActivateItem(nullptr);
  frame->SwitchToTab(CMlfTabsView::kBookmarksTab);
  CBookmarkTreeCtrl* bookmarks = frame->TabsView()->BookmarkList();
  QTest::mouseClick(bookmarks->viewport(), Qt::LeftButton, {},
                    bookmarks->visualItemRect(bookmarks->topLevelItem(0)).center());
  EXPECT_EQ(frame->ActiveNodeId(), noteId);
}

}  // namespace
}  // namespace mlf::test
