// Find in Nodes: the search shown while it runs, Stop, opening results, the closed-frame notice,
// the query history and the stored settings.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/app_settings.h"
#include "dialogs/find_nodes_dlg.h"
#include "gui_fixture.h"
#include "views/mlf_rich_edit_view_ex.h"

namespace mlf::test {
namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

class FindNodesTest : public GuiFixture {
 protected:
  void SetUp() override { FindQueryHistory().clear(); }

  // The window over the fixture's document window.
  CFindNodesDlg& Window() {
    if (!dialog) dialog = std::make_unique<CFindNodesDlg>([this] { return frame.get(); });
    return *dialog;
  }
  void Search(const QString& query) {
    Window().QueryBox()->setEditText(query);
    Window().FindNow();
  }
  void Finish() { ASSERT_TRUE(QTest::qWaitFor([this] { return !Window().Searching(); }, 20000)); }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    QTreeWidget* list = Window().Results();
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows.push_back(list->topLevelItem(i)->text(0).toStdString());
    return rows;
  }
  std::vector<uint32_t> RowIds() {
    std::vector<uint32_t> ids;
    QTreeWidget* list = Window().Results();
    for (int i = 0; i < list->topLevelItemCount(); ++i) ids.push_back(list->topLevelItem(i)->data(0, Qt::UserRole).toUInt());
    return ids;
  }
  void SelectRow(int index) {
    QTreeWidgetItem* row = Window().Results()->topLevelItem(index);
    Window().Results()->setCurrentItem(row);
    row->setSelected(true);
  }

  std::unique_ptr<CFindNodesDlg> dialog;
};

TEST_F(FindNodesTest, ListsMatchesInIdOrderWhileSearching) {
  // Many notes, so the search spans several ticks; every tenth holds the word.
  std::vector<uint32_t> expected;
  uint32_t folder = Add(ntFolder, "Folder");
  for (int i = 0; i < 2000; ++i) {
    bool hit = i % 10 == 0;
    uint32_t id = Add(ntNote, ("Note " + std::to_string(i)).c_str(), folder,
                      Rtf(std::string(hit ? "a needle here " : "nothing here ") + std::string(400, 'x')));
    if (hit) expected.push_back(id);
  }
  Show();
  Search(QStringLiteral("needle"));
  EXPECT_TRUE(Window().Searching());
  EXPECT_FALSE(Window().FindNowButton()->isEnabled());
  EXPECT_TRUE(Window().StopButton()->isEnabled());
  Finish();
  EXPECT_EQ(RowIds(), expected);
  EXPECT_EQ(Window().StatusLabel()->text(), "Ready");
  EXPECT_EQ(Window().ProgressBar()->value(), 0);
  EXPECT_TRUE(Window().FindNowButton()->isEnabled());
  EXPECT_FALSE(Window().StopButton()->isEnabled());
}

TEST_F(FindNodesTest, ShowsRowsBeforeTheSearchEnds) {
  // The first note matches at once; the large ones after it keep both workers busy well past
  // the first tick of the window's timer.
  uint32_t first = Add(ntNote, "First", 0, Rtf("a needle"));
  for (int i = 0; i < 4; ++i) Add(ntNote, "Large", 0, Rtf(std::string(16 << 20, 'x')));
  Show();
  Search(QStringLiteral("needle"));
  ASSERT_TRUE(QTest::qWaitFor([this] { return !Rows().empty(); }, 20000));
  EXPECT_TRUE(Window().Searching()) << "the row was shown only after the search had ended";
  EXPECT_EQ(RowIds(), std::vector<uint32_t>{first});
  Finish();
  EXPECT_EQ(RowIds(), std::vector<uint32_t>{first});
}

TEST_F(FindNodesTest, ControlsCarryAccessibleNames) {
  auto name = [](QObject* object) { return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name); };
  EXPECT_EQ(name(Window().QueryBox()), "Keywords:");
  QStringList steps;
  for (QPushButton* button : Window().findChildren<QPushButton*>())
    if (button->text().startsWith(QLatin1Char('<')) || button->text().startsWith(QLatin1Char('>'))) steps << name(button);
  steps.sort();
  EXPECT_EQ(steps, (QStringList{"Next occurrence", "Next result", "Previous occurrence", "Previous result"}));
}

TEST_F(FindNodesTest, FieldsAndModes) {
  uint32_t redCar = Add(ntNote, "Red Car", 0, Rtf("nothing"));
  uint32_t redOnly = Add(ntNote, "red only", 0, Rtf("a car inside"));
  uint32_t phrase = Add(ntNote, "My red car", 0, Rtf("x"));
  uint32_t both = Add(ntNote, "car title", 0, Rtf("car text"));
  Show();
  struct Case {
    const char* query;
    int mode;
    std::vector<uint32_t> ids;
  } cases[] = {
      {"red car", 0, {redCar, phrase}},      // every word in one field
      {"Red Car", 2, {redCar, phrase}},      // the phrase, any case
      {"  car  ", 1, {redCar, redOnly, phrase, both}},  // listed once though title and text match
  };
  for (const Case& c : cases) {
    Window().ModeBox()->setCurrentIndex(c.mode);
    Search(QString::fromLatin1(c.query));
    Finish();
    EXPECT_EQ(RowIds(), c.ids) << c.query;
  }
}

TEST_F(FindNodesTest, StopKeepsRowsShownAndAddsNoMore) {
  for (int i = 0; i < 3000; ++i) Add(ntNote, "needle", 0, Rtf(std::string(200, 'y')));
  Show();
  Search(QStringLiteral("needle"));
  Window().StopSearch();
  EXPECT_EQ(Window().StatusLabel()->text(), "Cancelling Search...");
  Finish();
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Window().StatusLabel()->text(), "Ready");
  EXPECT_EQ(Window().ProgressBar()->value(), 0);
}

TEST_F(FindNodesTest, OpeningAResultSelectsTheOccurrenceAndSteps) {
  Add(ntFolder, "Folder");
  uint32_t note = Add(ntNote, "First", 0, Rtf("one Needle two needle three"));
  Add(ntNote, "Second", 0, Rtf("only needle"));
  Show();
  Search(QStringLiteral("needle"));
  Finish();
  ASSERT_EQ(Rows(), (std::vector<std::string>{"First", "Second"}));

  // >> with nothing selected opens the first row.
  Window().StepResult(true);
  ASSERT_EQ(frame->ActiveNodeId(), note);
  QTextEdit* editor = frame->RichEditView();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->textCursor().selectedText(), "Needle");
  EXPECT_EQ(editor->textCursor().selectionStart(), 4);
  Window().OpenSelected(true);
  EXPECT_EQ(editor->textCursor().selectionStart(), 15);
  Window().OpenSelected(true);  // wraps to the first
  EXPECT_EQ(editor->textCursor().selectionStart(), 4);
  Window().OpenSelected(false);  // back wraps to the last
  EXPECT_EQ(editor->textCursor().selectionStart(), 15);

  Window().StepResult(true);
  EXPECT_EQ(frame->RichEditView()->textCursor().selectedText(), "needle");
  Window().StepResult(true);  // past the last wraps to the first
  EXPECT_EQ(frame->ActiveNodeId(), note);

  // The keys of the list: Shift+arrows step through the occurrences and keep the row; Enter
  // opens the row and starts no search.
  editor = frame->RichEditView();
  QTest::keyClick(Window().Results(), Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(editor->textCursor().selectionStart(), 15);
  EXPECT_EQ(Window().Results()->currentItem()->text(0), "First");
  SelectRow(1);
  QTest::keyClick(Window().Results(), Qt::Key_Return);
  EXPECT_FALSE(Window().Searching());
  EXPECT_EQ(frame->RichEditView()->textCursor().selectedText(), "needle");
}

TEST_F(FindNodesTest, OnlyOccurrenceWrapsOntoItself) {
  Add(ntNote, "Note", 0, Rtf("alpha needle beta"));
  Show();
  Search(QStringLiteral("needle"));
  Finish();
  SelectRow(0);
  Window().OpenSelected(true);
  Window().OpenSelected(true);
  EXPECT_EQ(frame->RichEditView()->textCursor().selectionStart(), 6);
  EXPECT_EQ(frame->RichEditView()->textCursor().selectedText(), "needle");
}

TEST_F(FindNodesTest, DeletedNodeIsReported) {
  uint32_t gone = Add(ntNote, "Gone", 0, Rtf("needle"));
  Show();
  Search(QStringLiteral("needle"));
  Finish();
  ASSERT_TRUE(doc->Data_DeleteItem(gone));
  SelectRow(0);
  Window().OpenSelected(true);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Cannot find node 'Gone' - it may have been moved or deleted."}));
}

TEST_F(FindNodesTest, FrameClosedClearsTheListAndEndsTheSearch) {
  for (int i = 0; i < 2000; ++i) Add(ntNote, "needle", 0, Rtf(std::string(200, 'z')));
  Show();
  Search(QStringLiteral("needle"));
  Window().NotifyFrameClosed(frame.get());
  EXPECT_FALSE(Window().Searching());
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Window().StatusLabel()->text(), "Ready");
  frame.reset();  // the document goes; nothing reads it any more

  // A finished search's rows go too.
  pending = std::make_unique<CMarrowleafDoc>(env);
  doc = pending.get();
  doc->OnNewDocument();
  Add(ntNote, "needle", 0, Rtf("x"));
  Show();
  Search(QStringLiteral("needle"));
  Finish();
  ASSERT_EQ(Rows().size(), 1u);
  Window().NotifyFrameClosed(frame.get());
  EXPECT_TRUE(Rows().empty());
}

TEST_F(FindNodesTest, EmptyQueryAndHistory) {
  Add(ntNote, "abc", 0, Rtf("x"));
  Show();
  Search(QStringLiteral("   "));
  EXPECT_FALSE(Window().Searching());
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Please enter a query"}));
  EXPECT_EQ(prompts.messages[0].caption, "Find in Nodes");
  Search(QStringLiteral("abc"));
  Finish();
  Search(QStringLiteral("ABC"));
  Finish();
  Search(QStringLiteral("abc"));
  Finish();
  EXPECT_EQ(FindQueryHistory(), (QStringList{"abc", "ABC", "   "}));
  ASSERT_EQ(Window().QueryBox()->count(), 3);
  EXPECT_EQ(Window().QueryBox()->itemText(0), "abc");

  // A new window offers the history, the last query first.
  dialog.reset();
  EXPECT_EQ(Window().QueryBox()->currentText(), "abc");
}

TEST_F(FindNodesTest, NoDocumentWindow) {
  CFindNodesDlg window([] { return nullptr; });
  window.QueryBox()->setEditText(QStringLiteral("x"));
  window.FindNow();
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"No data available for search"}));
}

TEST_F(FindNodesTest, SettingsAreStoredAtClosing) {
  AppSettings().searchMode = 7;  // out of range reads as 0
  AppSettings().dataSearchOptions = kSearchKeywords;
  AppSettings().findInNodesRect = {100, 80, 200, 120};  // smaller than the least size
  Show();
  EXPECT_EQ(Window().ModeBox()->currentIndex(), 0);
  EXPECT_FALSE(Window().TitlesBox()->isChecked());
  EXPECT_TRUE(Window().KeywordsBox()->isChecked());
  EXPECT_FALSE(Window().ContentBox()->isChecked());
  EXPECT_GE(Window().width(), 400);
  EXPECT_GE(Window().height(), 250);
  Window().ModeBox()->setCurrentIndex(2);
  Window().TitlesBox()->setChecked(true);
  Window().show();
  QTest::keyClick(&Window(), Qt::Key_Escape);
  EXPECT_EQ(AppSettings().searchMode, 2);
  EXPECT_EQ(AppSettings().dataSearchOptions, unsigned(kSearchTitles | kSearchKeywords));
  EXPECT_GE(AppSettings().findInNodesRect.right - AppSettings().findInNodesRect.left, 400);
}

}  // namespace
}  // namespace mlf::test
