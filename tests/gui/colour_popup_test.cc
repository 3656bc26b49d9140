#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "widgets/colour_popup.h"

namespace mlf::test {
namespace {

using Popup = QuarnColourPopup;

constexpr ColourRef kLime = MakeColourRef(50, 205, 50);
constexpr ColourRef kUnmatched = MakeColourRef(1, 2, 3);
const std::string kWhites = [] {
  std::string text;
  for (int i = 0; i < 16; ++i) text += "#00ffffff;";
  return text;
}();

void Move(QWidget& widget, QPoint pos) {
  QMouseEvent move(QEvent::MouseMove, pos, widget.mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

// Runs the popup's modal loop with the script running inside it.
std::optional<ColourRef> ExecWith(Popup& popup, const std::function<void(Popup&)>& script) {
  QTimer::singleShot(0, &popup, [&popup, script] { script(popup); });
  return popup.Exec();
}

QPoint GapBelowNamedGrid(const Popup& popup) {
  return QPoint(popup.ItemRect(39).center().x(), popup.ItemRect(39).bottom() + 5);
}

struct Fixture {
  explicit Fixture(ColourRef initial, std::string custom = {}, QString defaultText = QStringLiteral("Automatic"),
                   QString customText = QStringLiteral("More Colours..."))
      : popup(QPoint(10, 10), initial, nullptr, defaultText, customText, custom) {}
  Popup popup;
  QSignalSpy previewed{&popup, &Popup::Previewed};
  QSignalSpy chosen{&popup, &Popup::Chosen};
  QSignalSpy cancelled{&popup, &Popup::Cancelled};
};

TEST(ColourPopupTest, MouseChoosesOrCancels) {
  struct Case {
    const char* name;
    std::vector<int> hovered;                   // items the mouse passes over first
    std::function<QPoint(const Popup&)> press;  // where the button goes down and up
    bool armed;
    std::optional<ColourRef> result;
  } cases[] = {
      {"release in the gap after Lime", {18}, GapBelowNamedGrid, true, kLime},
      {"release on a cell", {18, 5}, [](const Popup& p) { return p.ItemRect(13).center(); }, true,
       Popup::NamedColour(13)},
      {"release on Automatic", {18}, [](const Popup& p) { return p.ItemRect(Popup::kDefaultButton).center(); },
       true, kAutomaticColour},
      {"release in a gap before any hover", {}, GapBelowNamedGrid, true, kUnmatched},
      {"release outside after Lime", {18}, [](const Popup& p) { return QPoint(p.width() + 20, 5); }, true,
       std::nullopt},
      {"a custom cell", {}, [](const Popup& p) { return p.ItemRect(Popup::kFirstCustomCell + 3).center(); }, true,
       0xFFFFFFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(kUnmatched);
    std::optional<ColourRef> result = ExecWith(f.popup, [&c](Popup& popup) {
      for (int item : c.hovered) Move(popup, popup.ItemRect(item).center());
      const QPoint at = c.press(popup);
      Move(popup, at);
      QTest::mousePress(&popup, Qt::LeftButton, Qt::NoModifier, at);
      QTest::mouseRelease(&popup, Qt::LeftButton, Qt::NoModifier, at);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_FALSE(f.popup.isVisible());
    if (c.result) {
      ASSERT_EQ(f.chosen.count(), 1);
      EXPECT_EQ(f.chosen[0][0].value<ColourRef>(), *c.result);
      EXPECT_EQ(f.cancelled.count(), 0);
    } else {
      EXPECT_EQ(f.chosen.count(), 0);
      ASSERT_EQ(f.cancelled.count(), 1);
      EXPECT_EQ(f.cancelled[0][0].value<ColourRef>(), kUnmatched) << "a cancel reports the initial colour";
    }
  }
}

TEST(ColourPopupTest, TheReleaseOfTheOpeningClickIsIgnored) {
  Fixture f(kUnmatched);
  std::optional<ColourRef> result = ExecWith(f.popup, [](Popup& popup) {
    QTest::mouseRelease(&popup, Qt::LeftButton, Qt::NoModifier, popup.ItemRect(18).center());
    EXPECT_TRUE(popup.isVisible()) << "not armed: the release goes nowhere";
    QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, popup.ItemRect(18).center());
  });
  EXPECT_EQ(result, kLime);
}

TEST(ColourPopupTest, OtherWaysOutCancel) {
  struct Case {
    const char* name;
    std::function<void(Popup&)> act;
  } cases[] = {
      {"the application loses activation",
       [](Popup&) { Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive); }},
      {"Escape", [](Popup& popup) { QTest::keyClick(&popup, Qt::Key_Escape); }},
      {"closed from outside", [](Popup& popup) { popup.close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(kLime);
    EXPECT_EQ(ExecWith(f.popup, [&c](Popup& popup) {
                QTest::keyClick(&popup, Qt::Key_Return);
                QTest::keyClick(&popup, Qt::Key_Space);
                EXPECT_TRUE(popup.isVisible()) << "other keys do nothing";
                c.act(popup);
              }),
              std::nullopt);
    ASSERT_EQ(f.cancelled.count(), 1);
    EXPECT_EQ(f.cancelled[0][0].value<ColourRef>(), kLime);
  }
}

TEST(ColourPopupTest, HoverPreviewsOnEveryChangeOfItem) {
  Fixture f(kUnmatched);
  f.popup.show();
  const ColourRef red = Popup::NamedColour(16);
  struct Step {
    QPoint at;
    std::optional<ColourRef> preview;  // none: no preview for this move
    ColourRef current;
  } steps[] = {
      {f.popup.ItemRect(16).center(), red, red},
      {f.popup.ItemRect(16).topLeft(), std::nullopt, red},
      {f.popup.ItemRect(Popup::kCustomButton).center(), kUnmatched, red},
      {f.popup.ItemRect(Popup::kDefaultButton).center(), kAutomaticColour, kAutomaticColour},
      {GapBelowNamedGrid(f.popup), kUnmatched, kAutomaticColour},
      {f.popup.ItemRect(Popup::kFirstCustomCell).center(), 0xFFFFFFu, 0xFFFFFFu},
  };
  for (const Step& step : steps) {
    f.previewed.clear();
    Move(f.popup, step.at);
    if (step.preview) {
      ASSERT_EQ(f.previewed.count(), 1);
      EXPECT_EQ(f.previewed[0][0].value<ColourRef>(), *step.preview);
    } else {
      EXPECT_EQ(f.previewed.count(), 0);
    }
    EXPECT_EQ(f.popup.CurrentColour(), step.current);
  }
}

TEST(ColourPopupTest, TheInitialColourSelectsItsItem) {
  struct Case {
    const char* name;
    ColourRef initial;
    std::string custom;
    bool withDefault, withCustom;
    int selected;
  } cases[] = {
      {"automatic", kAutomaticColour, {}, true, true, Popup::kDefaultButton},
      {"automatic without its button", kAutomaticColour, {}, false, true, Popup::kCustomButton},
      {"a named colour", kLime, {}, true, true, 18},
      {"white is named before it is custom", 0xFFFFFF, {}, true, true, 39},
      {"the first equal custom cell", MakeColourRef(255, 128, 0), "#00ffffff;#000080ff;#000080ff;", true, true,
       Popup::kFirstCustomCell + 1},
      {"no match", kUnmatched, {}, true, true, Popup::kCustomButton},
      {"no match without More Colours", kUnmatched, {}, true, false, Popup::kNoItem},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Popup popup(QPoint(0, 0), c.initial, nullptr, c.withDefault ? QStringLiteral("Automatic") : QString(),
                c.withCustom ? QStringLiteral("More Colours...") : QString(), c.custom);
    EXPECT_EQ(popup.SelectedItem(), c.selected);
  }
}

TEST(ColourPopupTest, LayoutStacksTheSectionsWithGaps) {
  struct Case {
    const char* name;
    QString defaultText, customText;
  } cases[] = {
      {"both buttons", QStringLiteral("Automatic"), QStringLiteral("More Colours...")},
      {"no buttons", {}, {}},
      {"a button wider than the grid", QStringLiteral("Automatic"), QString(60, QLatin1Char('W'))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Popup popup(QPoint(0, 0), kUnmatched, nullptr, c.defaultText, c.customText, {});
    const QFontMetrics metrics(popup.font());
    const QRect automatic = popup.ItemRect(Popup::kDefaultButton), more = popup.ItemRect(Popup::kCustomButton);
    const QRect named = popup.ItemRect(0).united(popup.ItemRect(39));
    const QRect custom = popup.ItemRect(Popup::kFirstCustomCell).united(popup.ItemRect(Popup::kFirstCustomCell + 15));
    EXPECT_EQ(popup.ItemRect(7).size(), QSize(18, 18));
    EXPECT_EQ(named.size(), QSize(144, 90));
    EXPECT_EQ(custom.size(), QSize(144, 36));
    EXPECT_EQ(automatic.isEmpty(), c.defaultText.isEmpty());
    EXPECT_EQ(more.isEmpty(), c.customText.isEmpty());
    EXPECT_EQ(custom.top() - named.bottom() - 1, 9 + (more.isEmpty() ? 0 : more.height() + 9));
    if (!automatic.isEmpty()) {
      EXPECT_EQ(automatic.height(), metrics.height() + 16);
      EXPECT_EQ(named.top() - automatic.bottom() - 1, 9);
    }
    if (!more.isEmpty()) {
      EXPECT_EQ(more.width(), std::max(144, metrics.horizontalAdvance(c.customText) + 16));
      EXPECT_EQ(more.width(), popup.width() - 2 * more.left()) << "the buttons span the popup";
      EXPECT_EQ(popup.ItemAt(more.center()), Popup::kCustomButton);
    }
    EXPECT_EQ(popup.ItemAt(GapBelowNamedGrid(popup)), Popup::kNoItem);
  }
}

TEST(ColourPopupTest, PlacementKeepsThePopupOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget owner;
  owner.setGeometry(screen.right() - 100, screen.bottom() - 30, 40, 20);
  owner.show();
  const int ownerTop = owner.mapToGlobal(QPoint(0, 0)).y();
  struct Case {
    const char* name;
    QPoint position;
    std::function<void(const QRect&)> check;
  } cases[] = {
      {"room enough", screen.topLeft() + QPoint(20, 20),
       [&](const QRect& r) { EXPECT_EQ(r.topLeft(), screen.topLeft() + QPoint(20, 20)); }},
      {"past the right edge", QPoint(screen.right() - 10, screen.top() + 20),
       [&](const QRect& r) { EXPECT_EQ(r.right(), screen.right()); }},
      {"past the left edge", QPoint(screen.left() - 50, screen.top() + 20),
       [&](const QRect& r) { EXPECT_EQ(r.left(), screen.left()); }},
      {"past the bottom goes above the owner", QPoint(screen.left() + 20, screen.bottom() - 10),
       [&](const QRect& r) { EXPECT_EQ(r.bottom(), ownerTop - 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Popup popup(c.position, kUnmatched, &owner, QStringLiteral("Automatic"), QStringLiteral("More Colours..."), {});
    c.check(popup.geometry());
  }
}

TEST(ColourPopupTest, CustomColoursComeBackAlsoAfterACancel) {
  struct Case {
    const char* name;
    std::string text;
    std::string back;
  } cases[] = {
      {"sixteen whites", kWhites, kWhites},
      {"empty", "", kWhites},
      {"short, with blanks", " #000080ff ; #ff;", "#000080ff;#000000ff;" + kWhites.substr(20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = c.text;
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
    EXPECT_EQ(Popup::Run(QPoint(0, 0), kLime, nullptr, QStringLiteral("Automatic"), QStringLiteral("More Colours..."),
                         text),
              std::nullopt);
    EXPECT_EQ(text, c.back);
  }
  Popup popup(QPoint(0, 0), kLime, nullptr, {}, {}, kWhites);
  for (int i = 0; i < Popup::kCustomCount; ++i)
    EXPECT_EQ(popup.ItemToolTip(Popup::kFirstCustomCell + i), QStringLiteral("RGB: (255,255,255)\r\nHTML: #ffffff"));
}

TEST(ColourPopupTest, ToolTipsNameTheCells) {
  Popup popup(QPoint(0, 0), kLime, nullptr, QStringLiteral("Automatic"), {}, "#00ffffff;#000080ff;");
  EXPECT_EQ(popup.ItemToolTip(Popup::kFirstCustomCell + 1), QStringLiteral("RGB: (255,128,0)\r\nHTML: #ff8000"));
  EXPECT_EQ(Popup::CustomColourToolTip(MakeColourRef(1, 2, 254)), QStringLiteral("RGB: (1,2,254)\r\nHTML: #0102fe"));
  EXPECT_EQ(popup.ItemToolTip(35), QStringLiteral("Pale Green ")) << "the name keeps its trailing blank";
  EXPECT_EQ(popup.ItemToolTip(18), QStringLiteral("Lime"));
  EXPECT_EQ(popup.ItemToolTip(Popup::kDefaultButton), QString());
}

TEST(ColourPopupTest, MoreColoursAsksTheColourDialog) {
  struct Case {
    const char* name;
    bool accept;
    std::optional<ColourRef> result;
  } cases[] = {
      {"OK takes the dialog's colour", true, MakeColourRef(10, 20, 30)},
      {"Cancel cancels", false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f(kLime, "#00ff0000;");
    QColor startedAt;
    QColor customSeen;
    std::optional<ColourRef> result = ExecWith(f.popup, [&](Popup& popup) {
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startedAt = dialog->currentColor();
        customSeen = QColorDialog::customColor(0);
        QColorDialog::setCustomColor(2, QColor(255, 128, 0));  // as the user adds one
        dialog->setCurrentColor(QColor(10, 20, 30));
        c.accept ? dialog->accept() : dialog->reject();
      });
      QTest::mouseClick(&popup, Qt::LeftButton, Qt::NoModifier, popup.ItemRect(Popup::kCustomButton).center());
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(startedAt, QColor(50, 205, 50)) << "the dialog starts at the initial colour";
    EXPECT_EQ(customSeen, QColor(0, 0, 255)) << "and shows the popup's custom colours";
    EXPECT_EQ(f.popup.CustomColoursText().substr(0, 30), "#00ff0000;#00ffffff;#000080ff;");
  }
}

}  // namespace
}  // namespace mlf::test
