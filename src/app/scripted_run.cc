#include "app/scripted_run.h"

#include <QTimer>
#include <QTreeWidgetItemIterator>

#include "app/main_frame.h"
#include "diagnostics/log.h"
#include "store/node.h"
#include "tree/mlf_tree_ctrl.h"
#include "views/child_frame.h"
#include "views/tabs_view.h"

namespace mlf {
namespace {

void OpenFirstNote(CChildFrame& frame) {
  CMlfTreeCtrl* tree = frame.TabsView()->NodeTree();
  tree->ExpandAll();
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    CMlfNode node;
    if (CMlfTreeCtrl::ItemValue(*it) > 0 &&
        node.Attach(&frame.Document(), uint32_t(CMlfTreeCtrl::ItemValue(*it))) && node.GetType() == ntNote) {
      tree->setCurrentItem(*it);
      tree->ActivateItem(*it);
      return;
    }
  }
}

}  // namespace

void StartScriptedRun(CMainFrame& mainFrame) {
  QString target = qEnvironmentVariable("MLF_SMOKE_SCREENSHOT");
  if (target.isEmpty()) return;
  QTimer::singleShot(300, &mainFrame, [&mainFrame] {
    if (CChildFrame* frame = mainFrame.ActiveChild()) OpenFirstNote(*frame);
  });
  QTimer::singleShot(1200, &mainFrame, [&mainFrame, target] {
    bool saved = mainFrame.grab().save(target);
    AppLog().WriteLine(saved ? "Scripted run: screenshot saved." : "Scripted run: FAILED to save the screenshot.");
    mainFrame.close();
  });
}

}  // namespace mlf
