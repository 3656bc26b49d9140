// CMlfTabsView: the left pane of a document window, the node tree on the "Main" tab and the
// bookmarks list on the "Bookmarks" tab, with the tabs at the bottom.
#pragma once

#include <QTabWidget>

namespace mlf {

class CBookmarkTreeCtrl;
class CMarrowleafDoc;
class CMlfTreeCtrl;
class TreeHost;

class CMlfTabsView : public QTabWidget {
  Q_OBJECT
 public:
  enum Tab { kMainTab = 0, kBookmarksTab = 1 };

  CMlfTabsView(CMarrowleafDoc& document, TreeHost& host, QWidget* parent = nullptr);

  CMlfTreeCtrl* NodeTree() const { return m_tree; }
  CBookmarkTreeCtrl* BookmarkList() const { return m_bookmarks; }
  // Shows the tab's list and gives it the focus.
  void SwitchToTab(int index);
  QWidget* CurrentList() const { return currentWidget(); }

 private:
  CMlfTreeCtrl* m_tree;
  CBookmarkTreeCtrl* m_bookmarks;
};

}  // namespace mlf
