#include "views/tabs_view.h"

#include <QTabBar>

#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"

namespace mlf {

CMlfTabsView::CMlfTabsView(CMarrowleafDoc& document, TreeHost& host, QWidget* parent)
    : QTabWidget(parent), m_tree(new CMlfTreeCtrl(document, host)), m_bookmarks(new CBookmarkTreeCtrl(document)) {
  setTabPosition(QTabWidget::South);
  setDocumentMode(true);
  tabBar()->setFocusPolicy(Qt::NoFocus);
  tabBar()->setExpanding(false);
  m_tree->SetBookmarkList(m_bookmarks);
  m_bookmarks->SetNodeTree(m_tree);
  addTab(m_tree, QStringLiteral("Main"));
  addTab(m_bookmarks, QStringLiteral("Bookmarks"));
  connect(this, &QTabWidget::currentChanged, this, [this](int index) {
    if (QWidget* list = widget(index)) list->setFocus();
  });
}

void CMlfTabsView::SwitchToTab(int index) {
  setCurrentIndex(index);
  if (QWidget* list = widget(index)) list->setFocus();
}

}  // namespace mlf
