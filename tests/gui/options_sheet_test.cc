// Tools > Options: every control is copied back into the settings on OK and never on Cancel,
// the fonts go through the font dialog, and after OK the open document windows apply the new
// values at once, autosave included.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <iterator>
#include <map>
#include <string>

#include "../spell/modal_script.h"
#include "app/app_settings.h"
#include "app/autosave.h"
#include "app/command_registry.h"
#include "app/main_frame.h"
#include "dialogs/options_editor_page.h"
#include "dialogs/options_sheet.h"
#include "platform/env.h"
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
    {"Saving", "KeepBackups", "Keep backups of the previous versions", &MlfSettings::keepBackups},
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
  EXPECT_EQ(titles.join(", ").toStdString(), "General, Saving, Editor, Spelling, Start Up");
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

// Each spin box, the setting it edits, its range, the name a screen reader gives it and a value
// to change it to.
const struct SpinCase {
  const char* control;
  uint32_t MlfSettings::*value;
  int minimum;
  int maximum;
  const char* accessibleName;
  int changed;
} kSpins[] = {
    {"BackupCount", &MlfSettings::backupCount, 1, 99, "Versions kept:", 7},
    {"AutosaveMinutes", &MlfSettings::autosaveMinutes, 0, 120, "Autosave modified files every", 15},
};

QSpinBox* Spin(const COptionsSheet& sheet, const char* control) {
  return Page(sheet, "Saving")->findChild<QSpinBox*>(QString::fromLatin1(control));
}

TEST(OptionsSheet, EverySpinBoxIsNamedAndCopiedBackOnOkAndNeverOnCancel) {
  const MlfSettings defaults = Defaults();
  for (const SpinCase& c : kSpins) {
    SCOPED_TRACE(c.control);
    for (bool ok : {false, true}) {
      MlfSettings settings = defaults;
      COptionsSheet sheet(settings);
      QSpinBox* spin = Spin(sheet, c.control);
      ASSERT_NE(spin, nullptr);
      EXPECT_EQ(spin->value(), int(defaults.*c.value));
      EXPECT_EQ(spin->minimum(), c.minimum);
      EXPECT_EQ(spin->maximum(), c.maximum);
      EXPECT_EQ(QAccessible::queryAccessibleInterface(spin)->text(QAccessible::Name).toStdString(), c.accessibleName);
      spin->setValue(c.changed);
      ok ? sheet.accept() : sheet.reject();
      MlfSettings expected = defaults;
      if (ok) expected.*c.value = uint32_t(c.changed);
      EXPECT_EQ(Saved(settings), Saved(expected)) << (ok ? "OK" : "Cancel");
    }
  }
}

// A number the store holds outside a spin box's range is shown at the nearest end and kept
// as it was unless the user changes it: OK on an untouched page changes nothing.
TEST(OptionsSheet, NumbersOutsideTheRangeStayUnlessChanged) {
  const struct {
    uint32_t MlfSettings::*value;
    uint32_t given;
    int shown;
  } cases[] = {
      {&MlfSettings::backupCount, 0, 1},
      {&MlfSettings::backupCount, 250, 99},
      {&MlfSettings::autosaveMinutes, 600, 120},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    const SpinCase& spinCase = *std::find_if(std::begin(kSpins), std::end(kSpins),
                                             [&](const SpinCase& s) { return s.value == c.value; });
    for (bool touched : {false, true}) {
      MlfSettings settings = Defaults();
      settings.*c.value = c.given;
      COptionsSheet sheet(settings);
      QSpinBox* spin = Spin(sheet, spinCase.control);
      EXPECT_EQ(spin->value(), c.shown);
      if (touched) spin->setValue(spinCase.changed);
      sheet.accept();
      EXPECT_EQ(settings.*c.value, touched ? uint32_t(spinCase.changed) : c.given);
    }
  }
}

TEST(OptionsSheet, VersionsKeptFollowTheBackupsCheckBoxAndAutosaveZeroReadsOff) {
  MlfSettings settings = Defaults();
  settings.keepBackups = false;
  settings.autosaveMinutes = 0;
  COptionsSheet sheet(settings);
  QSpinBox* count = Spin(sheet, "BackupCount");
  EXPECT_FALSE(count->isEnabled());
  sheet.findChild<QCheckBox*>("KeepBackups")->click();
  EXPECT_TRUE(count->isEnabled());
  sheet.findChild<QCheckBox*>("KeepBackups")->click();
  EXPECT_FALSE(count->isEnabled());

  QSpinBox* minutes = Spin(sheet, "AutosaveMinutes");
  EXPECT_EQ(minutes->text().toStdString(), "Off");
  minutes->setValue(5);
  EXPECT_EQ(minutes->text().toStdString(), "5 minutes");
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

  // Runs Tools > Options, sets the check boxes and spin boxes and presses OK or Cancel.
  void RunOptions(std::map<QString, bool> checks, const char* button, std::map<QString, int> spins = {}) {
    ModalScript script({{"options", [](QWidget& modal) { return qobject_cast<COptionsSheet*>(&modal) != nullptr; },
                         [=](QWidget& sheet) {
                           for (const auto& [name, on] : checks) sheet.findChild<QCheckBox*>(name)->setChecked(on);
                           for (const auto& [name, value] : spins) sheet.findChild<QSpinBox*>(name)->setValue(value);
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

TEST_F(OptionsCommandTest, AutosaveIntervalFollowsTheSettingAfterOk) {
  Autosave autosave(main, Env::Default());
  EXPECT_EQ(autosave.Interval(), 2 * 60 * 1000);
  RunOptions({}, "reject", {{"AutosaveMinutes", 7}});
  EXPECT_EQ(autosave.Interval(), 2 * 60 * 1000);
  RunOptions({}, "accept", {{"AutosaveMinutes", 7}});
  EXPECT_EQ(autosave.Interval(), 7 * 60 * 1000);
  RunOptions({}, "accept", {{"AutosaveMinutes", 0}});
  EXPECT_EQ(autosave.Interval(), 0) << "Off stops the rounds";
  RunOptions({}, "accept", {{"AutosaveMinutes", 1}});
  EXPECT_EQ(autosave.Interval(), 60 * 1000);
}

}  // namespace
}  // namespace mlf::test
