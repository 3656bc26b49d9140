// CMainFrame: the main window. The document windows live in its MDI area; it holds the menus
// (the document menu while a document window is open, the default menu otherwise), the
// Standard, Formatting and Image toolbars, the status bar and the tray icon, and it routes the
// document commands to the active document window.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "app/commands.h"
#include "app/recent_file_list.h"

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QSystemTrayIcon;
class QToolBar;

namespace mlf {

class CChildFrame;
class CMarrowleafDoc;
class CFindNodesDlg;
class CFormatBar;
class CMlfRichEditViewEx;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(RecentFileList& recentFiles, QWidget* parent = nullptr);
  ~CMainFrame() override;

  QMdiArea* MdiArea() const { return m_mdiArea; }
  QDockWidget* HelpBar() const { return m_helpBar; }
  CChildFrame* ActiveChild() const;
  // Lights the CAP, NUM and SCRL panes by the state of their keys.
  void UpdateLockPanes();
  QList<CChildFrame*> ChildFrames() const;

  CChildFrame* NewDocument();
  // Opens the file in a new document window, or activates the window that shows it already;
  // null when it could not be opened (the document told the user why).
  CChildFrame* OpenDocument(const QString& path);
  // Reads the window's file again in a new window that takes its place; null when it could
  // not be read (the user was told why) or the window did not close.
  CChildFrame* ReopenDocument(CChildFrame* frame);
  // What the window does when it gets the focus: each document whose file another program
  // changed is told so, and reopened when unmodified and the user agrees.
  void CheckFilesOnDisk();
  // Shows the document in a new document window.
  CChildFrame* AddChildFrame(std::unique_ptr<CMarrowleafDoc> document, const QString& untitledName);

  void SendToTray();
  void RestoreFromTray();
  void SetAlwaysOnTop(bool on);
  // The states of the commands that follow the active document window, and which menu shows.
  void UpdateCommands();
  // The note editor of the active document window, if a note is open there.
  CMlfRichEditViewEx* ActiveEditor() const;
  // The Find in Nodes window, while it exists.
  CFindNodesDlg* FindNodesWindow() const;
  // Tools > Options: the sheet, and after OK the options applied and OptionsChanged sent.
  void OnOptions();
  // Window > Cascade: every document window that is not minimised, one title bar apart, at
  // a size that keeps each one usable.
  void Cascade();

 Q_SIGNALS:
  // The Options sheet closed with OK: every open document window reads its settings again.
  void OptionsChanged();

 Q_SIGNALS:
  // A document window was added to the main window.
  void ChildFrameAdded(CChildFrame* frame);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  static QAction* Cmd(CommandId id);
  // What each command does; the commands of the main window itself are enabled here.
  void ConnectCommands();
  void CreateMenus();
  void CreateToolBars();
  // The command shows and hides the bar and is checked while the bar shows.
  void ConnectBarToggle(CommandId id, QWidget* bar);
  void CreateStatusBar();
  void CreateHelpBar();
  void ShowMenus(bool documentMenu);
  void FillRecentFiles(QMenu* menu);
  void FillWindowList(QMenu* menu);
  void OnOpen();
  // Find in Nodes: the open window gets the focus, else a new one opens.
  void OnFindInNodes();
  // Save follows the active document's modified flag.
  void UpdateSaveCommand();
  void UpdateImageCommands();
  // Print and Print Preview of the open note, or of the open picture on one page.
  void PrintContent(bool preview);
  // The editor commands follow the active editor's selection.
  void WatchEditor(CMlfRichEditViewEx* editor);
  void UpdateEditorCommands();
  void ArrangeIcons();
  // A new document window wholly inside the document area, below and right of those open.
  void PlaceNewChild(QMdiSubWindow* sub);
  int TitleBarStep() const;
  void SaveLayout();
  void RestoreLayout();

  RecentFileList& m_recentFiles;
  std::unique_ptr<QPrinter> m_printer;  // the printer of Print Setup, made on first use
  QMdiArea* m_mdiArea;
  int m_untitledCount = 0;
  bool m_inTray = false;
  QSystemTrayIcon* m_tray = nullptr;
  QLabel* m_capsPane = nullptr;
  QLabel* m_numPane = nullptr;
  QLabel* m_scrollPane = nullptr;
  QToolBar* m_standardBar = nullptr;
  CFormatBar* m_formatBar = nullptr;
  QToolBar* m_imageBar = nullptr;
  QDockWidget* m_helpBar = nullptr;
  QList<QMenu*> m_documentMenus;
  QList<QMenu*> m_defaultMenus;
  bool m_showingDocumentMenu = true;

  QList<QPointer<QMdiSubWindow>> m_unplaced;  // opened while the main window was hidden
  QPointer<CMlfRichEditViewEx> m_watchedEditor;
  QPointer<CFindNodesDlg> m_findNodes;
  bool m_checkingFiles = false;
};

}  // namespace mlf
