#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QTest>
#include <QWebEnginePage>

#include "app/app_settings.h"
#include "app/command_registry.h"
#include "app/main_frame.h"
#include "platform/env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "support/scripted_prompts.h"
#include "views/child_frame.h"
#include "views/html_ctrl.h"
#include "views/mlf_html_view.h"

namespace mlf::test {
namespace {

constexpr int kLoadTimeout = 30000;

// Waits until the page shows the title (until it has loaded, the browser shows its address).
bool ShowsTitle(QWebEngineView& view, const QString& title) {
  return QTest::qWaitFor([&] { return view.title() == title; }, kLoadTimeout);
}

TEST(HtmlViewTest, ANodeIsShownFromATemporaryPageThatGoesWithItsWindow) {
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  auto document = std::make_unique<CMarrowleafDoc>();  // on the real file system: the browser reads the page
  document->OnNewDocument();
  const std::string html = "<html><head><title>Stored page</title></head><body>Hello</body></html>";
  CMlfNode node;
  node.Create(document.get(), ntHtml, "Page", 0);
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  data->Put(html.data(), html.size());
  data->Finish();

  auto frame = std::make_unique<CChildFrame>(std::move(document), QStringLiteral("Untitled 1"));
  frame->resize(800, 500);
  frame->show();
  frame->OnDocumentLoaded();
  ASSERT_TRUE(frame->ActivateNode(true, node.GetId()));
  ASSERT_NE(frame->HtmlView(), nullptr);

  QFileInfo page(frame->HtmlView()->page()->requestedUrl().toLocalFile());
  EXPECT_EQ(page.absolutePath(), QFileInfo(QString::fromStdString(Env::Default().TempDirectory())).absoluteFilePath());
  EXPECT_TRUE(page.fileName().startsWith(QStringLiteral("MLF")));
  EXPECT_EQ(page.suffix(), QStringLiteral("html"));
  EXPECT_EQ(page.size(), qint64(html.size()));
  EXPECT_EQ(page.permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
  QFileInfo reserved(page.absolutePath() + QLatin1Char('/') + page.completeBaseName() + QStringLiteral(".tmp"));
  EXPECT_TRUE(reserved.exists());
  EXPECT_EQ(reserved.size(), 0);
  EXPECT_TRUE(ShowsTitle(*frame->HtmlView(), QStringLiteral("Stored page")));

  // Each opening writes a new pair; all of them go when the window closes.
  frame->ActivateNode(true, -1);
  ASSERT_TRUE(frame->ActivateNode(true, node.GetId()));
  std::vector<std::string> files = frame->TempFiles().Paths();
  EXPECT_EQ(files.size(), 4u);
  frame.reset();
  for (const std::string& file : files) EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file))) << file;
}

TEST(HtmlCtrlTest, AppAddressesAreCommandsInAnyCase) {
  struct Case {
    const char* url;
    const char* command;  // null: an ordinary address
  } cases[] = {
      {"app:Show", "Show"}, {"APP:Show", "Show"}, {"App:", ""}, {"apple:pie", nullptr},
      {"http://example.com/app:x", nullptr}, {"file:///tmp/app.html", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    QString command = CHtmlCtrl::AppCommandOf(QUrl(QString::fromLatin1(c.url)));
    EXPECT_EQ(command.isNull(), c.command == nullptr);
    if (c.command) {
      EXPECT_EQ(command, QString::fromLatin1(c.command));
    }
  }
}

TEST(HtmlCtrlTest, AnAppLinkIsSwallowedAndNothingNavigates) {
  struct Recording : CHtmlCtrl {
    void AppCommand(const QString& command) override { commands.push_back(command); }
    QStringList commands;
  } control;
  control.resize(400, 300);
  control.show();
  control.setHtml(QStringLiteral("<html><head><title>Help</title></head><body>"
                                 "<a id='go' href='APP:ShowTopic'>go</a></body></html>"),
                  QUrl(QStringLiteral("file:///help/")));
  ASSERT_TRUE(ShowsTitle(control, QStringLiteral("Help")));
  QUrl before = control.url();
  control.page()->runJavaScript(QStringLiteral("document.getElementById('go').click();"));
  EXPECT_TRUE(QTest::qWaitFor([&control] { return !control.commands.isEmpty(); }, kLoadTimeout));
  EXPECT_EQ(control.commands, QStringList{QStringLiteral("ShowTopic")});
  QTest::qWait(200);
  EXPECT_EQ(control.url(), before);
  EXPECT_EQ(control.title(), QStringLiteral("Help"));
}

TEST(HelpBarTest, TheHelpBarShowsTheInstalledGuideAndRemembersItsState) {
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  AppSettings() = MlfSettings();
  RecentFileList recent;
  CMainFrame main{recent};
  main.show();
  QDockWidget* bar = main.HelpBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("Help Bar"));
  EXPECT_EQ(main.dockWidgetArea(bar), Qt::LeftDockWidgetArea);
  EXPECT_EQ(bar->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  // A bar shown at start-up gets its browser once the window has been idle a moment.
  EXPECT_EQ(qobject_cast<CMlfHelpCtrl*>(bar->widget()), nullptr) << "the window does not wait for the web engine";
  ASSERT_TRUE(QTest::qWaitFor([bar] { return qobject_cast<CMlfHelpCtrl*>(bar->widget()) != nullptr; }, kLoadTimeout));
  auto* help = qobject_cast<CMlfHelpCtrl*>(bar->widget());
  EXPECT_FALSE(help->acceptDrops());
  EXPECT_TRUE(QFileInfo::exists(CMlfHelpCtrl::StartPage())) << "installed by the build";
  EXPECT_EQ(help->page()->requestedUrl(), QUrl::fromLocalFile(CMlfHelpCtrl::StartPage()));
  EXPECT_TRUE(ShowsTitle(*help, QStringLiteral("Marrowleaf Help")));

  QAction* toggle = AppCommands().Action(CommandId::kHelpBar);
  ASSERT_NE(toggle, nullptr);
  EXPECT_TRUE(toggle->isChecked());
  EXPECT_EQ(toggle->shortcut(), QKeySequence(Qt::Key_F1));
  toggle->trigger();
  EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(toggle->isChecked());
  main.close();
  EXPECT_FALSE(AppSettings().showHelpBar);
}

TEST(HelpBarTest, TheBrowserStartsOnlyWhenTheHelpBarFirstShows) {
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
  AppSettings() = MlfSettings();
  AppSettings().showHelpBar = false;
  RecentFileList recent;
  CMainFrame main{recent};
  main.show();
  EXPECT_TRUE(main.findChildren<QWebEngineView*>().isEmpty()) << "no web engine for a hidden help bar";
  AppCommands().Action(CommandId::kHelpBar)->trigger();
  auto* help = qobject_cast<CMlfHelpCtrl*>(main.HelpBar()->widget());
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(ShowsTitle(*help, QStringLiteral("Marrowleaf Help")));
  main.close();
}

}  // namespace
}  // namespace mlf::test
