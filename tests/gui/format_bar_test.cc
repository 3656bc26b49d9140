#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "widgets/colour_button.h"
#include "widgets/colour_popup.h"
#include "widgets/font_name_combo.h"
#include "widgets/font_size_combo.h"
#include "widgets/format_bar.h"

namespace mlf::test {
namespace {

// A window with the bar over an editor holding "Hello world", the actions named as their
// commands.
class FormatBarTest : public ::testing::Test {
 protected:
  FormatBarTest() {
    FormatBarActions& a = actions;
    for (auto [slot, name] : std::initializer_list<std::pair<QAction**, const char*>>{
             {&a.bold, "Bold"}, {&a.italic, "Italic"}, {&a.underline, "Underline"},
             {&a.strikethrough, "Strikethrough"}, {&a.left, "Left"}, {&a.center, "Center"}, {&a.right, "Right"},
             {&a.justify, "Justify"}, {&a.bullets, "Bullets"}, {&a.indentLess, "Indent Less"},
             {&a.indentMore, "Indent More"}, {&a.find, "Find"}})
      *slot = new QAction(QString::fromLatin1(name), &window);
    bar = new CFormatBar(actions, {[this] { return stored; }, [this](const std::string& text) { stored = text; }});
    window.addToolBar(bar);
    editor = new QTextEdit;
    editor->setPlainText(QStringLiteral("Hello world"));
    window.setCentralWidget(editor);
    window.show();
    bar->SetTarget(editor);
  }

  // A cursor on characters [from, to) of the editor's text.
  QTextCursor Range(int from, int to) const {
    QTextCursor cursor(editor->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor;
  }
  void Select(int from, int to) { editor->setTextCursor(Range(from, to)); }
  void Format(int from, int to, const QTextCharFormat& format) { Range(from, to).setCharFormat(format); }
  // The format of character at.
  QTextCharFormat CharAt(int at) const {
    QTextCursor cursor(editor->document());
    cursor.setPosition(at + 1);
    return cursor.charFormat();
  }
  bool EditorHasFocus() const { return window.focusWidget() == editor; }
  // Opens the colour popup of a button and runs the script inside its loop.
  void DropDown(CColourButton* button, const std::function<void(QuarnColourPopup&)>& script) {
    QTimer::singleShot(0, [script] {
      auto* popup = qobject_cast<QuarnColourPopup*>(QApplication::activePopupWidget());
      ASSERT_NE(popup, nullptr);
      script(*popup);
    });
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->ArrowRect().center());
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->ArrowRect().center());
  }
  static void ClickItem(QuarnColourPopup& popup, int item) {
    QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, popup.ItemRect(item).center());
  }

  QMainWindow window;
  FormatBarActions actions;
  CFormatBar* bar;
  QTextEdit* editor;
  std::string stored;
};

// The bar's items in order: texts of actions, "|" for separators.
QStringList Items(const CFormatBar& bar) {
  QStringList items;
  for (QAction* action : bar.actions()) {
    QWidget* widget = bar.widgetForAction(action);
    if (action->isSeparator())
      items << QStringLiteral("|");
    else if (widget == bar.FontNameCombo())
      items << QStringLiteral("name");
    else if (widget == bar.FontSizeCombo())
      items << QStringLiteral("size");
    else if (auto* button = qobject_cast<QToolButton*>(widget); button && button->defaultAction())
      items << button->defaultAction()->text();
    else
      items << action->text();
  }
  return items;
}

TEST_F(FormatBarTest, LaysOutTheCommandsInGroups) {
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("Formatting"));
  EXPECT_EQ(bar->objectName(), QStringLiteral("FormattingBar"));
  EXPECT_EQ(bar->allowedAreas(), Qt::TopToolBarArea);
  EXPECT_EQ(bar->FontNameCombo()->width(), 190);
  EXPECT_EQ(bar->FontSizeCombo()->width(), 60);
  EXPECT_EQ(bar->FontColourButton()->popupMode(), QToolButton::MenuButtonPopup);
  EXPECT_EQ(Items(*bar).join(QLatin1Char(' ')),
            QStringLiteral("name | size | Bold Italic Underline Strikethrough | Left Center Right Justify | "
                           "Bullets Indent Less Indent More | Font Colour Font Highlight | Find"));
  CFormatBar bare({}, {});
  EXPECT_EQ(Items(bare).join(QLatin1Char(' ')), QStringLiteral("name | size | Font Colour Font Highlight"))
      << "missing commands leave no empty groups";
}

TEST_F(FormatBarTest, EnabledStateFollowsTheBarAndTheCommands) {
  struct Case {
    QString name;
    std::function<QWidget*()> widget;
    std::function<void(bool)> setCommand;  // null: the bar alone decides
    bool heldOffWhileDisabled;
  };
  auto button = [this](QAction* action) { return [this, action] { return bar->widgetForAction(action); }; };
  auto command = [](QAction* action) { return [action](bool on) { action->setEnabled(on); }; };
  std::vector<Case> cases = {
      {QStringLiteral("font name"), [this] { return bar->FontNameCombo(); }, nullptr, true},
      {QStringLiteral("font size"), [this] { return bar->FontSizeCombo(); }, nullptr, true},
      {QStringLiteral("font colour"), [this] { return bar->FontColourButton(); }, nullptr, true},
      {QStringLiteral("highlight"), [this] { return bar->HighlightButton(); }, nullptr, true},
  };
  for (QAction* held : {actions.bold, actions.italic, actions.underline, actions.left, actions.center, actions.right,
                        actions.bullets, actions.indentLess, actions.indentMore})
    cases.push_back({held->text(), button(held), command(held), true});
  for (QAction* free : {actions.strikethrough, actions.justify, actions.find})
    cases.push_back({free->text(), button(free), command(free), false});

  for (const Case& c : cases) {
    SCOPED_TRACE(qPrintable(c.name));
    QWidget* widget = c.widget();
    ASSERT_NE(widget, nullptr);
    bar->SetEnabled(false);
    if (c.setCommand) c.setCommand(true);
    EXPECT_EQ(widget->isEnabled(), !c.heldOffWhileDisabled) << "disabled bar, command on";
    bar->SetEnabled(true);
    EXPECT_TRUE(widget->isEnabled()) << "enabled bar, command on";
    if (!c.setCommand) continue;
    c.setCommand(false);
    EXPECT_FALSE(widget->isEnabled()) << "enabled bar, command off";
    bar->SetEnabled(false);
    c.setCommand(true);
    EXPECT_EQ(widget->isEnabled(), !c.heldOffWhileDisabled) << "a command turned on keeps a held button off";
  }
  CFormatBar fresh({}, {});
  EXPECT_FALSE(fresh.IsEnabled());
  EXPECT_FALSE(fresh.FontNameCombo()->isEnabled()) << "the bar starts disabled";
}

TEST_F(FormatBarTest, ShowsTheFontTheSelectionHasInCommon) {
  const QStringList families = CFontNameCombo::InstalledFamilies();
  ASSERT_GE(families.size(), 2);
  const QString first = families[0], second = families[1];
  auto face = [](const QString& family) {
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    return format;
  };
  auto size = [](qreal points) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    return format;
  };
  struct Case {
    const char* name;
    std::vector<std::pair<int, QTextCharFormat>> formats;  // applied from that character to the end
    int from, to;
    QString family, points;
  } cases[] = {
      {"one face and size", {{0, face(first)}, {0, size(12)}}, 0, 11, first, QStringLiteral("12")},
      {"the typing format without a selection", {{0, face(second)}, {0, size(20)}}, 3, 3, second,
       QStringLiteral("20")},
      {"mixed faces", {{0, face(first)}, {6, face(second)}, {0, size(14)}}, 0, 11, QString(), QStringLiteral("14")},
      {"mixed faces outside the selection", {{0, face(first)}, {6, face(second)}, {0, size(14)}}, 0, 5, first,
       QStringLiteral("14")},
      {"a face not in the list", {{0, face(QStringLiteral("No Such Face 9"))}, {0, size(9)}}, 0, 11, QString(),
       QStringLiteral("9")},
      {"mixed sizes", {{0, face(first)}, {0, size(12)}, {6, size(16)}}, 0, 11, first, QString()},
      {"half points show whole", {{0, face(first)}, {0, size(10.5)}}, 0, 11, first, QStringLiteral("10")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    editor->setPlainText(QStringLiteral("Hello world"));
    for (const auto& [at, format] : c.formats) Range(at, 11).mergeCharFormat(format);
    Select(c.from, c.from);
    Select(c.from, c.to);
    EXPECT_EQ(bar->FontNameCombo()->currentText(), c.family);
    EXPECT_EQ(bar->FontSizeCombo()->currentText(), c.points);
    if (!c.family.isEmpty()) {
      EXPECT_EQ(bar->FontNameCombo()->itemText(bar->FontNameCombo()->currentIndex()), c.family)
          << "a listed face is shown as its item, with the picture";
    }
  }
}

TEST_F(FormatBarTest, TheSizeComboAppliesTheLeadingDigits) {
  struct Case {
    const char* typed;
    qreal points;  // 12: left as it was
  } cases[] = {
      {"13", 13}, {"14pt", 14}, {"abc", 12}, {"0", 12}, {"", 12}, {"99999999999999999999", 1638},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Format(0, 11, [] {
      QTextCharFormat format;
      format.setFontPointSize(12);
      return format;
    }());
    Select(0, 5);
    CFontSizeCombo* combo = bar->FontSizeCombo();
    combo->setFocus();
    combo->lineEdit()->setText(QString::fromLatin1(c.typed));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(CharAt(0).fontPointSize(), c.points);
    EXPECT_EQ(CharAt(6).fontPointSize(), 12) << "only the selection";
    EXPECT_TRUE(EditorHasFocus());
    EXPECT_EQ(combo->count(), 16) << "typed sizes are not added to the list";
  }
  Select(0, 5);
  Q_EMIT bar->FontSizeCombo()->activated(bar->FontSizeCombo()->findText(QStringLiteral("36")));
  EXPECT_EQ(CharAt(0).fontPointSize(), 36) << "a size picked from the list";
}

TEST_F(FormatBarTest, TheFontNameComboListsAndAppliesFaces) {
  CFontNameCombo* combo = bar->FontNameCombo();
  const QStringList families = CFontNameCombo::InstalledFamilies();
  ASSERT_FALSE(families.isEmpty());
  for (qsizetype i = 1; i < families.size(); ++i) EXPECT_LT(families[i - 1].toUtf8(), families[i].toUtf8());
  ASSERT_EQ(combo->count(), families.size());
  EXPECT_FALSE(combo->itemIcon(0).isNull());

  const QString chosen = families.back();
  Select(0, 5);
  Q_EMIT combo->activated(combo->count() - 1);
  EXPECT_EQ(CharAt(0).fontFamilies().toStringList(), QStringList{chosen});
  EXPECT_TRUE(CharAt(6).fontFamilies().toStringList().isEmpty());
  EXPECT_TRUE(EditorHasFocus());

  Select(6, 11);
  combo->lineEdit()->setText(QStringLiteral("Typed Face"));
  QTest::keyClick(combo->lineEdit(), Qt::Key_Enter);
  EXPECT_EQ(CharAt(6).fontFamilies().toStringList(), QStringList{QStringLiteral("Typed Face")});
  EXPECT_EQ(combo->count(), families.size());
}

TEST_F(FormatBarTest, TheOpenFontListShowsASampleBesideIt) {
  CFontNameCombo* combo = bar->FontNameCombo();
  bar->SetEnabled(true);
  combo->setCurrentIndex(0);
  combo->showPopup();
  ASSERT_TRUE(QTest::qWaitFor([&] { return combo->SampleWindow() && combo->SampleWindow()->isVisible(); }));
  QLabel* sample = combo->SampleWindow();
  EXPECT_EQ(sample->text(), combo->itemText(0));
  EXPECT_EQ(sample->font().family(), combo->itemText(0));
  EXPECT_EQ(sample->font().pixelSize(), 18);
  EXPECT_EQ(sample->x(), combo->view()->window()->geometry().right() + 6);
  combo->hidePopup();
  EXPECT_EQ(combo->SampleWindow(), nullptr);
}

TEST_F(FormatBarTest, ColourStripsShowTheCurrentColour) {
  const QPalette& palette = bar->palette();
  struct Case {
    const char* name;
    bool highlight;
    std::optional<ColourRef> set;  // none: the starting colour
    QColor strip;
  } cases[] = {
      {"font colour starts as the text colour", false, std::nullopt, palette.color(QPalette::Active, QPalette::Text)},
      {"highlight starts yellow", true, std::nullopt, QColor(255, 255, 0)},
      {"light grey highlight", true, MakeColourRef(0xC0, 0xC0, 0xC0), QColor(0xBF, 0xBF, 0xBF)},
      {"light grey font colour", false, MakeColourRef(0xC0, 0xC0, 0xC0), QColor(0xBF, 0xBF, 0xBF)},
      {"automatic font colour", false, kAutomaticColour, palette.color(QPalette::Active, QPalette::Text)},
      {"automatic highlight", true, kAutomaticColour, palette.color(QPalette::Active, QPalette::Base)},
      {"a colour", false, MakeColourRef(0, 128, 255), QColor(0, 128, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFormatBar fresh({}, {});
    CColourButton* button = c.highlight ? fresh.HighlightButton() : fresh.FontColourButton();
    if (c.set) button->SetColour(*c.set);
    const QImage picture = button->icon().pixmap(CColourButton::kPictureSize).toImage();
    ASSERT_EQ(picture.size(), CColourButton::kPictureSize);
    for (QPoint at : {QPoint(0, 12), QPoint(8, 13), QPoint(15, 14)}) EXPECT_EQ(picture.pixelColor(at), c.strip);
    EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0) << "the picture above the strip keeps its own";
  }
}

TEST_F(FormatBarTest, ColourButtonsApplyTheirColourToTheSelection) {
  QTextCharFormat red;
  red.setForeground(QColor(255, 0, 0));
  red.setBackground(QColor(0, 255, 0));
  struct Case {
    const char* name;
    bool highlight;
    ColourRef colour;
    std::optional<QColor> expected;  // none: the property is gone
  } cases[] = {
      {"font colour", false, MakeColourRef(0, 0, 255), QColor(0, 0, 255)},
      {"automatic font colour", false, kAutomaticColour, std::nullopt},
      {"highlight", true, MakeColourRef(255, 255, 0), QColor(255, 255, 0)},
      {"automatic highlight", true, kAutomaticColour, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Format(0, 11, red);
    Select(0, 5);
    CColourButton* button = c.highlight ? bar->HighlightButton() : bar->FontColourButton();
    const int property = c.highlight ? QTextFormat::BackgroundBrush : QTextFormat::ForegroundBrush;
    bar->SetEnabled(true);
    button->SetColour(c.colour);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(4, button->height() / 2));
    EXPECT_EQ(CharAt(0).hasProperty(property), c.expected.has_value());
    if (c.expected) {
      EXPECT_EQ(CharAt(0).brushProperty(property).color(), *c.expected);
    }
    EXPECT_TRUE(CharAt(6).hasProperty(property)) << "outside the selection";
    EXPECT_TRUE(EditorHasFocus());
  }
  bar->SetTarget(nullptr);
  bar->FontColourAction()->trigger();  // no editor: nothing to do, nothing to break
}

TEST_F(FormatBarTest, TheArrowChoosesAColourFromThePopup) {
  QTextCharFormat red;
  red.setForeground(QColor(255, 0, 0));
  Format(0, 11, red);
  Select(0, 5);
  bar->SetEnabled(true);
  stored = "#000080ff;";
  CColourButton* button = bar->FontColourButton();
  DropDown(button, [&](QuarnColourPopup& popup) {
    EXPECT_EQ(popup.SelectedItem(), 16) << "it starts on the selection's colour, Red";
    EXPECT_EQ(popup.geometry().top(), button->mapToGlobal(QPoint(0, button->height())).y()) << "below the button";
    EXPECT_EQ(popup.ItemToolTip(QuarnColourPopup::kFirstCustomCell), QStringLiteral("RGB: (255,128,0)\r\nHTML: #ff8000"));
    ClickItem(popup, QuarnColourPopup::kDefaultButton);
  });
  EXPECT_EQ(button->Colour(), kAutomaticColour);
  EXPECT_FALSE(CharAt(0).hasProperty(QTextFormat::ForegroundBrush)) << "Automatic removes the explicit colour";
  EXPECT_TRUE(CharAt(6).hasProperty(QTextFormat::ForegroundBrush));
  EXPECT_EQ(stored.size(), 160u) << "the custom colours are written back";
  EXPECT_EQ(stored.substr(0, 20), "#000080ff;#00ffffff;");

  DropDown(bar->HighlightButton(), [](QuarnColourPopup& popup) {
    EXPECT_EQ(popup.SelectedItem(), QuarnColourPopup::kDefaultButton) << "no highlight is automatic";
    QTest::keyClick(&popup, Qt::Key_Escape);
  });
  EXPECT_EQ(bar->HighlightButton()->Colour(), MakeColourRef(255, 255, 0)) << "a cancel keeps the colour";
  EXPECT_FALSE(CharAt(0).hasProperty(QTextFormat::BackgroundBrush));

  stored = "#00ffffff;";
  DropDown(bar->HighlightButton(), [](QuarnColourPopup& popup) { ClickItem(popup, 18); });
  EXPECT_EQ(bar->HighlightButton()->Colour(), MakeColourRef(50, 205, 50));
  EXPECT_EQ(CharAt(0).background().color(), QColor(50, 205, 50));
  EXPECT_EQ(stored.size(), 160u) << "written back in full";
}

}  // namespace
}  // namespace mlf::test
