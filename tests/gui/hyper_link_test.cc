#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QTest>

#include "support/scripted_prompts.h"
#include "widgets/hyper_link.h"

namespace mlf::test {
namespace {

class HyperLinkTest : public ::testing::Test {
 protected:
  ScriptedPrompts prompts;
  ScopedAppPrompts scope{prompts};
};

TEST_F(HyperLinkTest, FailuresAreReportedWithTheirText) {
  struct Case {
    int result;
    const char* text;
  } cases[] = {
      {26, "A sharing violation occurred."},
      {0, "The operating system is out\nof memory or resources."},
      {31, "There is no application associated\nwith the given filename extension."},
      {99, "Unknown Error (99) occurred."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    prompts.messages.clear();
    ReportHyperlinkError(c.result);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, std::string("Unable to open hyperlink:\n\n") + c.text);
    EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);
  }
}

// Records the addresses the desktop was asked to open for one scheme.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public Q_SLOTS:
  void Open(const QUrl& url) { opened.push_back(url); }
};

TEST_F(HyperLinkTest, AClickOpensTheTargetOrReportsWhyNot) {
  UrlRecorder recorder;
  QDesktopServices::setUrlHandler(QStringLiteral("mlftest"), &recorder, "Open");
  CHyperLink link(QStringLiteral("Support"), QStringLiteral("mlftest:page"));
  link.show();
  EXPECT_EQ(link.toolTip(), QStringLiteral("mlftest:page"));
  EXPECT_EQ(link.TextColour(), QColor(0, 0, 128));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(&link, Qt::LeftButton);
  EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl(QStringLiteral("mlftest:page"))});
  EXPECT_TRUE(link.IsVisited());
  EXPECT_EQ(link.TextColour(), QColor(128, 0, 128));
  QDesktopServices::unsetUrlHandler(QStringLiteral("mlftest"));

  CHyperLink missing(QStringLiteral("/no/such/folder/notes.txt"));
  missing.show();
  QTest::mouseClick(&missing, Qt::LeftButton);
  EXPECT_FALSE(missing.IsVisited());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "Unable to open hyperlink:\n\nThe specified path was not found.");
}

TEST_F(HyperLinkTest, FittingToTheTextKeepsTheAlignedEdgeOrCentre) {
  struct Case {
    Qt::Alignment align;
    int kept;  // the x coordinate that stays: left 10, centre 160, right 309
  } cases[] = {{Qt::AlignLeft | Qt::AlignVCenter, 10}, {Qt::AlignCenter, 160}, {Qt::AlignRight, 309}};
  for (const Case& c : cases) {
    QWidget dialog;
    auto* link = new CHyperLink(QStringLiteral("ab"), {}, &dialog);
    link->setAlignment(c.align);
    link->setGeometry(10, 20, 300, 40);  // as the dialog placed it
    link->SetAdjustToFit(true);
    QRect fitted = link->geometry();
    EXPECT_LT(fitted.width(), 300);
    int kept = c.align & Qt::AlignHCenter ? fitted.left() + fitted.width() / 2 : c.align & Qt::AlignRight ? fitted.right() : fitted.left();
    EXPECT_NEAR(kept, c.kept, 1);
    if (c.align & Qt::AlignVCenter) EXPECT_NEAR(fitted.center().y(), 39, 1);
    else EXPECT_EQ(fitted.top(), 20);
  }
}

TEST_F(HyperLinkTest, HoverColourFollowsTheMouse) {
  CHyperLink link(QStringLiteral("Home"), QStringLiteral("https://www.quarn.example/"));
  link.show();
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(&link, &enter);
  EXPECT_EQ(link.TextColour(), QColor(0, 0, 255));
  link.SetColours(Qt::black, Qt::gray, QColor());
  EXPECT_EQ(link.TextColour(), link.palette().color(QPalette::Highlight));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&link, &leave);
  EXPECT_EQ(link.TextColour(), QColor(Qt::black));
}

}  // namespace
}  // namespace mlf::test

#include "hyper_link_test.moc"
