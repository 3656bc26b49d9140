#include "app/scripted_run.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "app/main_frame.h"
#include "diagnostics/log.h"
#include "store/node.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"
#include "views/tabs_view.h"

namespace mlf {
namespace {

constexpr int kSettleMs = 1200;  // long enough for a page to load and paint

// Opens the first node of the type; false when the document has none.
bool OpenFirst(CChildFrame& frame, uint8_t type) {
  CMlfTreeCtrl* tree = frame.TabsView()->NodeTree();
  tree->SetAllExpanded(true);
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    CMlfNode node;
    if (CMlfTreeCtrl::ItemValue(*it) > 0 &&
        node.Attach(&frame.Document(), uint32_t(CMlfTreeCtrl::ItemValue(*it))) && node.GetType() == type) {
      tree->setCurrentItem(*it);
      tree->ActivateItem(*it);
      return true;
    }
  }
  return false;
}

struct Shot {
  uint8_t type;
  QString file;
};

// Every menu of the menu bar, opened in turn, side by side in one picture.
bool SaveMenus(CMainFrame& mainFrame, const QString& file) {
  std::vector<QPixmap> pictures;
  for (QAction* title : mainFrame.menuBar()->actions()) {
    QMenu* menu = title->menu();
    if (!menu) continue;
    menu->popup(mainFrame.mapToGlobal(QPoint(0, 0)));
    QCoreApplication::processEvents();
    pictures.push_back(menu->grab());
    menu->hide();
  }
  int width = 0, height = 0;
  for (const QPixmap& picture : pictures) {
    width += picture.width();
    height = std::max(height, picture.height());
  }
  QPixmap sheet(std::max(width, 1), std::max(height, 1));
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  int x = 0;
  for (const QPixmap& picture : pictures) {
    painter.drawPixmap(x, 0, picture);
    x += picture.width();
  }
  painter.end();
  return !pictures.empty() && sheet.save(file);
}

void TakeShots(CMainFrame& mainFrame, std::shared_ptr<std::vector<Shot>> shots, QString menus) {
  if (shots->empty()) {
    bool saved = SaveMenus(mainFrame, menus);
    AppLog().WriteLine(saved ? "Scripted run: menus saved." : "Scripted run: FAILED to save the menus.");
    mainFrame.close();
    return;
  }
  Shot shot = shots->front();
  shots->erase(shots->begin());
  CChildFrame* frame = mainFrame.ActiveChild();
  if (!frame || !OpenFirst(*frame, shot.type)) {
    TakeShots(mainFrame, shots, menus);
    return;
  }
  QTimer::singleShot(kSettleMs, &mainFrame, [&mainFrame, shots, shot, menus] {
    bool saved = mainFrame.grab().save(shot.file);
    AppLog().WriteLine(saved ? "Scripted run: screenshot saved." : "Scripted run: FAILED to save the screenshot.");
    TakeShots(mainFrame, shots, menus);
  });
}

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The program counts as idle from the first time its event loop waits kIdleGapMs for nothing
// (the lock-key panes' timer wakes it four times a second, so a longer gap never comes).
constexpr int64_t kIdleGapMs = 100;

void StartIdleProbe(CMainFrame& mainFrame, const QString& file) {
  auto* dispatcher = QAbstractEventDispatcher::instance();
  int64_t ready = MonotonicMs();
  auto blockedAt = std::make_shared<int64_t>(-1);
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &mainFrame,
                   [blockedAt] { *blockedAt = MonotonicMs(); });
  QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &mainFrame, [&mainFrame, blockedAt, ready, file] {
    int64_t since = std::exchange(*blockedAt, -1);
    if (since < 0 || MonotonicMs() - since < kIdleGapMs) return;
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
      out.write(QByteArray::number(qint64(ready)) + ' ' + QByteArray::number(qint64(since)) + '\n');
    QAbstractEventDispatcher::instance()->disconnect(&mainFrame);
    QTimer::singleShot(0, &mainFrame, &QWidget::close);
  });
}

}  // namespace

void StartScriptedRun(CMainFrame& mainFrame) {
  if (QString probe = qEnvironmentVariable("MLF_STARTUP_PROBE"); !probe.isEmpty()) {
    StartIdleProbe(mainFrame, probe);
    return;
  }
  QString target = qEnvironmentVariable("MLF_SMOKE_SCREENSHOT");
  if (target.isEmpty()) return;
  QFileInfo info(target);
  auto named = [&info](const char* suffix) {
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1String(suffix) + QLatin1Char('.') + info.suffix();
  };
  auto shots = std::make_shared<std::vector<Shot>>(
      std::vector<Shot>{{ntNote, target}, {ntImage, named("-image")}, {ntHtml, named("-html")}});
  QTimer::singleShot(300, &mainFrame, [&mainFrame, shots, menus = named("-menus")] { TakeShots(mainFrame, shots, menus); });
}

}  // namespace mlf
