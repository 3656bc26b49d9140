// The windows a user sees first: the splash above the main window until it may close, and
// gone before any question; new document windows wholly inside the document area; and
// Window > Cascade keeping every window usable.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/app_settings.h"
#include "app/child_placement.h"
#include "app/command_registry.h"
#include "app/main_frame.h"
#include "app/qt_prompts.h"
#include "app/splash_wnd.h"
#include "support/scripted_prompts.h"
#include "views/child_frame.h"

namespace mlf::test {
namespace {

// Writes down the events of interest in the order they come.
class EventLog : public QObject {
 public:
  EventLog(QObject& watched, QEvent::Type type, QString name, QStringList& log)
      : m_type(type), m_name(std::move(name)), m_log(log) {
    watched.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == m_type) m_log << m_name;
    return false;
  }

 private:
  QEvent::Type m_type;
  QString m_name;
  QStringList& m_log;
};

TEST(Splash, StaysAboveTheMainWindowThatShowsAfterIt) {
  QPointer<CSplashWnd> splash = new CSplashWnd(2000);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  splash->show();
  QWidget main;
  splash->KeepAbove(main);
  QStringList log;
  EventLog shown(main, QEvent::Show, "main shown", log);
  EventLog raised(*splash, QEvent::ZOrderChange, "splash raised", log);
  main.show();
  QTest::qWait(20);
  log.removeDuplicates();  // raised again as the main window becomes active
  EXPECT_EQ(log.join(", ").toStdString(), "main shown, splash raised");
  EXPECT_TRUE(splash->isVisible());
  splash->Dismiss();
  QApplication::processEvents();
  EXPECT_TRUE(splash.isNull()) << "the splash goes with its window";
}

TEST(Splash, ClosesOnlyAfterItsMinimumTime) {
  QPointer<CSplashWnd> splash = new CSplashWnd(400);
  splash->show();
  QElapsedTimer since;
  since.start();
  splash->RequestClose();
  QTest::qWait(150);
  EXPECT_FALSE(splash.isNull()) << "asked to close, but its time has not come";
  ASSERT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 5000));
  EXPECT_GE(since.elapsed(), 400);
}

TEST(Splash, IsGoneBeforeAnyQuestionShows) {
  for (bool password : {false, true}) {
    SCOPED_TRACE(password ? "password question" : "message");
    QPointer<CSplashWnd> splash = new CSplashWnd(2000);
    splash->show();
    QtPrompts prompts([&splash] {
      if (splash) splash->Dismiss();
    });
    bool splashSeen = true;
    QTimer::singleShot(0, [&] {
      splashSeen = splash && splash->isVisible();
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    if (password) prompts.AskPassword(PasswordRequest{});
    else prompts.Message("Could not initialise spell-checking library!", kAppCaption, MessageIcon::None, MessageButtons::Ok);
    EXPECT_FALSE(splashSeen);
  }
}

TEST(ChildPlacement, NewWindowsLieWhollyInsideTheArea) {
  const int step = 30;
  const struct {
    QSize area;
    QSize preferred;
    int open;
    QRect expected;
  } cases[] = {
      {{1000, 700}, {850, 595}, 0, {0, 0, 850, 595}},
      {{1000, 700}, {850, 595}, 1, {30, 30, 850, 595}},
      {{1000, 700}, {850, 595}, 3, {90, 90, 850, 595}},
      {{1000, 700}, {850, 595}, 4, {0, 0, 850, 595}},       // the next would reach out: the run starts again
      {{1000, 700}, {3000, 2000}, 1, {0, 0, 1000, 700}},    // a size saved on a larger screen
      {{1000, 700}, {200, 100}, 0, {0, 0, 560, 380}},       // too small to show a tree and a note
      {{400, 300}, {340, 255}, 2, {0, 0, 400, 300}},        // an area smaller than usable
  };
  for (const auto& c : cases) {
    QRect placed = NewChildGeometry(c.area, c.preferred, c.open, step);
    EXPECT_EQ(placed, c.expected) << c.area.width() << "x" << c.area.height() << ", " << c.open << " open";
    EXPECT_TRUE(QRect(QPoint(0, 0), c.area).contains(placed));
  }
}

TEST(ChildPlacement, CascadeKeepsEveryWindowInsideAndUsable) {
  const QSize area(1000, 700);
  const int step = 30;
  for (int count : {1, 3, 12, 40}) {
    SCOPED_TRACE(count);
    QList<QRect> places = CascadeGeometries(area, count, step);
    ASSERT_EQ(places.size(), count);
    for (const QRect& place : places) {
      EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(place));
      EXPECT_GE(place.width(), kUsableChildSize.width());
      EXPECT_GE(place.height(), kUsableChildSize.height());
      EXPECT_EQ(place.size(), places[0].size()) << "one size for all";
    }
    EXPECT_EQ(places[0].topLeft(), QPoint(0, 0));
    if (count > 1) {
      EXPECT_EQ(places[1].topLeft(), QPoint(step, step));
    }
  }
  EXPECT_EQ(CascadeGeometries(area, 3, step)[0].size(), QSize(940, 640)) << "as large as the area allows";
}

class DocumentAreaTest : public ::testing::Test {
 protected:
  DocumentAreaTest() {
    AppSettings() = MlfSettings();
    main.resize(1100, 800);
    main.show();
  }
  ~DocumentAreaTest() override { AppSettings() = MlfSettings(); }

  QRect Area() const { return QRect(QPoint(0, 0), main.MdiArea()->viewport()->size()); }
  bool ScrollBarsShown() const {
    return main.MdiArea()->horizontalScrollBar()->isVisible() || main.MdiArea()->verticalScrollBar()->isVisible();
  }

  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
};

TEST_F(DocumentAreaTest, NewWindowsOpenInsideTheAreaBesideThoseOpen) {
  // The last closed window was larger than this area.
  WindowPlacement large;
  large.length = WindowPlacement::kSize;
  large.showState = kShowNormal;
  large.right = 3000;
  large.bottom = 2000;
  AppSettings().lastChildPlacement = large;
  QList<QMdiSubWindow*> windows;
  for (int i = 0; i < 3; ++i) {
    main.NewDocument();
    QApplication::processEvents();
    windows = main.MdiArea()->subWindowList();
    SCOPED_TRACE(i);
    EXPECT_TRUE(Area().contains(windows.back()->geometry())) << "area " << Area().width() << "x" << Area().height();
    EXPECT_FALSE(ScrollBarsShown());
  }
  AppSettings().lastChildPlacement = {};
  main.NewDocument();
  QApplication::processEvents();
  windows = main.MdiArea()->subWindowList();
  EXPECT_TRUE(Area().contains(windows.back()->geometry()));
  EXPECT_NE(windows.back()->pos(), windows[0]->pos()) << "not on top of the first one";
  EXPECT_GE(windows.back()->width(), kUsableChildSize.width());
  EXPECT_GE(windows.back()->height(), kUsableChildSize.height());
}

TEST(DocumentArea, AWindowOpenedBeforeTheMainWindowShowsIsPlacedWhenItDoes) {
  // The file of the command line opens before the main window shows, or while it is in the tray.
  AppSettings() = MlfSettings();
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  RecentFileList recent;
  CMainFrame main{recent};
  main.resize(760, 560);
  main.NewDocument();
  main.show();
  QTest::qWait(20);
  const QRect area(QPoint(0, 0), main.MdiArea()->viewport()->size());
  EXPECT_TRUE(area.contains(main.MdiArea()->subWindowList().front()->geometry()))
      << "area " << area.width() << "x" << area.height();
}

TEST_F(DocumentAreaTest, CascadeKeepsUsableSizesWithTheActiveWindowOnTop) {
  for (int i = 0; i < 5; ++i) main.NewDocument();
  QApplication::processEvents();
  QMdiSubWindow* active = main.MdiArea()->activeSubWindow();
  AppCommands().Action(CommandId::kCascade)->trigger();
  QApplication::processEvents();
  for (QMdiSubWindow* sub : main.MdiArea()->subWindowList()) {
    EXPECT_TRUE(Area().contains(sub->geometry()));
    EXPECT_GE(sub->width(), kUsableChildSize.width());
    EXPECT_GE(sub->height(), kUsableChildSize.height());
  }
  EXPECT_FALSE(ScrollBarsShown());
  EXPECT_EQ(main.MdiArea()->subWindowList(QMdiArea::StackingOrder).back(), active);
}

}  // namespace
}  // namespace mlf::test
