#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QTextEdit>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/app_settings.h"
#include "app/qt_settings_store.h"
#include "dialogs/about_dlg.h"
#include "store/document.h"
#include "views/child_frame.h"
#include "views/html_ctrl.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/mlf_scroll_view.h"
#include "views/tabs_view.h"
#include "widgets/format_bar.h"
#include "widgets/lock_keys.h"
#include "widgets/mlf_status.h"
#include "widgets/svg_art.h"
#include "widgets/window_state.h"

namespace mlf {
namespace {

constexpr const char* kIdleText = "For Help, press F1";
constexpr const char* kUpgradePage = "https://www.quarn.example/marrowleaf/download";
constexpr const char* kSupportPage = "https://www.quarn.example/support";
constexpr const char* kHomePage = "https://www.quarn.example/";

// The menu text up to the tab, without the mnemonic marks.
QString PlainText(const QAction* action) {
  QString text = action->text();
  text = text.left(text.indexOf(QLatin1Char('\t')));
  return text.remove(QLatin1Char('&'));
}

}  // namespace

CMainFrame::CMainFrame(RecentFileList& recentFiles, QWidget* parent)
    : QMainWindow(parent), m_recentFiles(recentFiles), m_mdiArea(new QMdiArea(this)) {
  setObjectName(QStringLiteral("MainFrame"));
  setWindowTitle(QStringLiteral("Quarn Marrowleaf"));
  setWindowIcon(QIcon(RenderSvg(QStringLiteral(":/art/marrowleaf.svg"), {64, 64}, 1.0)));
  setAcceptDrops(true);
  m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_mdiArea);
  CreateActions();
  CreateFormatActions();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();
  CreateHelpBar();
  RestoreLayout();
  SetAlwaysOnTop(AppSettings().alwaysOnTop);
  connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCommands);
  // The modified state of a document changes deep inside the core; the commands follow it at
  // idle time, as the toolbar of a desktop program does.
  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommands);
  idle->start(300);
  resize(960, 640);
  UpdateCommands();
}

CMainFrame::~CMainFrame() {
  // Document windows still open die with the frame; their last signals must not reach it.
  for (CChildFrame* frame : ChildFrames()) frame->disconnect(this);
  m_mdiArea->disconnect(this);
  m_helpBar->disconnect(this);
  delete m_mdiArea;
  CMlfStatus::SetStatusBar(nullptr);
}

QAction* CMainFrame::MakeAction(const char* text, const char* icon, const char* prompt) {
  auto* action = new QAction(QString::fromLatin1(text), this);
  if (icon) action->setIcon(ToolbarIcon(icon));
  if (prompt) {
    QString full = QString::fromLatin1(prompt);
    int split = full.indexOf(QLatin1Char('\n'));
    action->setStatusTip(full.left(split));
    if (split >= 0) action->setToolTip(full.mid(split + 1));
  }
  action->setEnabled(false);  // until its feature or its window exists
  return action;
}

void CMainFrame::CreateActions() {
  Actions& a = m_act;
  auto on = [this](QAction* action, auto slot) {
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, slot);
  };
  auto child = [this](auto member) {
    return [this, member] {
      if (CChildFrame* frame = ActiveChild()) (frame->*member)();
    };
  };
  a.newDoc = MakeAction("&New\tCtrl+N", "new", "Create a new document\nNew");
  a.newDoc->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  on(a.newDoc, [this] { NewDocument(); });
  a.open = MakeAction("&Open...\tCtrl+O", "open", "Open an existing document\nOpen");
  a.open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  on(a.open, &CMainFrame::OnOpen);
  a.close = MakeAction("&Close", nullptr, "Close the active document\nClose");
  on(a.close, [this] { m_mdiArea->closeActiveSubWindow(); });
  a.save = MakeAction("&Save\tCtrl+S", "save", "Save the active document\nSave");
  a.save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(a.save, &QAction::triggered, this, [this] {
    if (CChildFrame* frame = ActiveChild(); frame && frame->Save())
      m_recentFiles.Add(QString::fromStdString(frame->Document().GetPathName()));
  });
  a.saveAs = MakeAction("Save &As...", nullptr, "Save the active document with a new name\nSave As");
  connect(a.saveAs, &QAction::triggered, this, [this] {
    if (CChildFrame* frame = ActiveChild(); frame && frame->SaveAs())
      m_recentFiles.Add(QString::fromStdString(frame->Document().GetPathName()));
  });
  a.print = MakeAction("&Print...\tCtrl+P", "print", "Print the active document\nPrint");
  a.print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  a.printPreview = MakeAction("Print Pre&view", nullptr, "Display full pages\nPrint Preview");
  a.printSetup = MakeAction("P&rint Setup...", nullptr, "Change the printer and printing options\nPrint Setup");
  on(a.printSetup, [this] {
    if (!m_printer) m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog(m_printer.get(), this).exec();
  });
  a.properties = MakeAction("Properties\tAlt+Enter");
  a.sendToTray = MakeAction("Send To &Tray", nullptr, "Minimize the application to the system tray\nSend To Tray");
  on(a.sendToTray, &CMainFrame::SendToTray);
  a.exit = MakeAction("E&xit", nullptr, "Quit the application; prompts to save documents\nExit");
  on(a.exit, &QWidget::close);

  a.undo = MakeAction("&Undo\tCtrl+Z", "undo", "Undo the last action\nUndo");
  a.redo = MakeAction("Redo\tCtrl+Y", "redo", "Redo the previously undone action\nRedo");
  a.redo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  a.cut = MakeAction("Cu&t\tCtrl+X", "cut", "Cut the selection and put it on the Clipboard\nCut");
  a.copy = MakeAction("&Copy\tCtrl+C", "copy", "Copy the selection and put it on the Clipboard\nCopy");
  a.paste = MakeAction("&Paste\tCtrl+V", "paste", "Insert Clipboard contents\nPaste");
  a.selectAll = MakeAction("Select A&ll\tCtrl+A");
  a.find = MakeAction("&Find...\tCtrl+F", "find", "Find the specified text\nFind");
  a.find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  a.findInNodes = MakeAction("Find in Nodes...", nullptr, "Searches for a string in multiple nodes");
  a.replace = MakeAction("&Replace...\tCtrl+H");
  a.replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  a.insertObject = MakeAction("Insert &New Object...");
  a.links = MakeAction("Lin&ks...");
  a.objectProperties = MakeAction("Object P&roperties\tAlt+Enter");

  auto toggle = [this, on](QAction* action, QWidget* target) {
    action->setCheckable(true);
    on(action, [target] { target->setVisible(!target->isVisible()); });
  };
  a.standardBar = MakeAction("&Standard", nullptr, "Show or hide the Standard toolbar.\nToggle Standard toolbar");
  a.formatBar = MakeAction("&Formatting", nullptr, "Show or hide the Formatting toolbar.\nToggle Formatting toolbar");
  a.imageBar = MakeAction("&Image", nullptr, "Show or hide the Image toolbar.\nToggle Image toolbar");
  a.statusBar = MakeAction("&Status Bar", nullptr, "Show or hide the status bar\nToggle StatusBar");
  toggle(a.statusBar, statusBar());
  a.mainTree = MakeAction("Main Tree\tAlt + 1");
  a.mainTree->setShortcut(QKeySequence(Qt::ALT | Qt::Key_1));
  a.mainTree->setCheckable(true);
  connect(a.mainTree, &QAction::triggered, this, [this] {
    if (CChildFrame* frame = ActiveChild()) frame->SwitchToTab(CMlfTabsView::kMainTab);
  });
  a.bookmarksList = MakeAction("Bookmarks List\tAlt + 2");
  a.bookmarksList->setShortcut(QKeySequence(Qt::ALT | Qt::Key_2));
  a.bookmarksList->setCheckable(true);
  connect(a.bookmarksList, &QAction::triggered, this, [this] {
    if (CChildFrame* frame = ActiveChild()) frame->SwitchToTab(CMlfTabsView::kBookmarksTab);
  });
  a.taskBar = MakeAction("Task Bar", "taskbar", "Show or hide the task bar\nToggle Task Bar");
  a.taskBar->setCheckable(true);
  connect(a.taskBar, &QAction::triggered, this, child(&CChildFrame::ToggleTaskBar));
  a.alwaysOnTop = MakeAction("&Always On Top");
  a.alwaysOnTop->setCheckable(true);
  on(a.alwaysOnTop, [this] { SetAlwaysOnTop(!AppSettings().alwaysOnTop); });

  a.font = MakeAction("&Font...");
  a.paragraph = MakeAction("&Paragraph...");
  a.refresh = MakeAction("&Refresh\tF5", "refresh", "Rebuild the tree from the document\nRefresh");
  a.refresh->setShortcut(QKeySequence(Qt::Key_F5));
  connect(a.refresh, &QAction::triggered, this, child(&CChildFrame::Refresh));
  a.collapseAll = MakeAction("C&ollapse All");
  connect(a.collapseAll, &QAction::triggered, this, child(&CChildFrame::CollapseAll));
  a.expandAll = MakeAction("E&xpand All");
  connect(a.expandAll, &QAction::triggered, this, child(&CChildFrame::ExpandAll));
  a.batchExport = MakeAction("&Batch Export...");
  a.checkSpelling = MakeAction("&Check Spelling\tF7");
  a.options = MakeAction("&Options...", nullptr, "Set general options");

  a.cascade = MakeAction("&Cascade", nullptr, "Arrange windows so they overlap\nCascade Windows");
  connect(a.cascade, &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
  a.tile = MakeAction("&Tile", nullptr, "Arrange windows as non-overlapping tiles\nTile Windows");
  connect(a.tile, &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
  a.arrangeIcons = MakeAction("&Arrange Icons", nullptr, "Arrange icons at the bottom of the window\nArrange Icons");
  connect(a.arrangeIcons, &QAction::triggered, this, &CMainFrame::ArrangeIcons);

  a.helpBar = MakeAction("&Help Bar", "helpbar", "Show or hide the Help Bar.\nToggle Help Bar");
  a.helpBar->setShortcut(QKeySequence(Qt::Key_F1));
  a.helpBar->setCheckable(true);
  on(a.helpBar, [this] {
    m_helpBar->setVisible(m_helpBar->isHidden());
    UpdateCommands();
  });
  auto link = [this, on](QAction* action, const char* address) {
    on(action, [address] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(address))); });
  };
  a.upgrade = MakeAction("Check for &Upgrade", nullptr, "Checks for available upgrades on the Internet");
  link(a.upgrade, kUpgradePage);
  a.bugReport = MakeAction("Submit &Bug Report", nullptr, "Opens the bug report web page");
  link(a.bugReport, kSupportPage);
  a.homePage = MakeAction("Quarn &Home Page", nullptr, "Opens the Quarn home page");
  link(a.homePage, kHomePage);
  a.about = MakeAction("&About Quarn Marrowleaf...", nullptr, "Display program information, version number and copyright\nAbout");
  on(a.about, [this] { CAboutDlg(this).exec(); });

  auto image = [this](auto member) {
    return [this, member] {
      if (CChildFrame* frame = ActiveChild(); frame && frame->ImageView()) (frame->ImageView()->*member)();
    };
  };
  a.rotateAnticlockwise = MakeAction("Rotate Anticlockwise", "rotate_ccw", "Rotate Anticlockwise\nRotate Anticlockwise");
  connect(a.rotateAnticlockwise, &QAction::triggered, this, image(&CMlfScrollView::RotateAnticlockwise));
  a.rotateClockwise = MakeAction("Rotate Clockwise", "rotate_cw", "Rotate Clockwise\nRotate Clockwise");
  connect(a.rotateClockwise, &QAction::triggered, this, image(&CMlfScrollView::RotateClockwise));
  a.scaleToFit = MakeAction("Scale images to fit window", "fit", "Scale images to fit window\nScale images to fit window");
  a.scaleToFit->setCheckable(true);
  connect(a.scaleToFit, &QAction::triggered, this, [this, image] {
    AppSettings().imageScaleToFit = !AppSettings().imageScaleToFit;
    image(&CMlfScrollView::Layout)();
    UpdateCommands();
  });
  a.zoom = MakeAction("Zoom", "zoom", "Zoom\nZoom");
  a.zoom->setCheckable(true);
  connect(a.zoom, &QAction::triggered, this, [this, image] {
    image(&CMlfScrollView::ToggleZoomMode)();
    UpdateCommands();
  });

  connect(a.print, &QAction::triggered, this, [this] { PrintContent(false); });
  connect(a.printPreview, &QAction::triggered, this, [this] { PrintContent(true); });

  a.restore = MakeAction("&Restore Marrowleaf", nullptr, "Restores the application\nRestore");
  on(a.restore, &CMainFrame::RestoreFromTray);
  a.trayExit = MakeAction("&Exit Marrowleaf", nullptr, "Quit the application; prompts to save documents\nExit");
  on(a.trayExit, [this] {
    if (m_tray) m_tray->hide();
    close();
  });
  for (QAction* action : {a.undo, a.redo, a.cut, a.copy, a.paste, a.print})
    action->setToolTip(PlainText(action));
}

void CMainFrame::FillRecentFiles(QMenu* menu) {
  // The recent files sit between the separators that surround them.
  QAction* anchor = menu->property("recentAnchor").value<QAction*>();
  for (QAction* action : menu->actions())
    if (action->property("recent").toBool()) delete action;
  const QStringList& files = m_recentFiles.Files();
  QList<QAction*> entries;
  for (int i = 0; i < files.size(); ++i) {
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])), menu);
    QString path = files[i];
    connect(action, &QAction::triggered, this, [this, path] { OpenDocument(path); });
    entries.push_back(action);
  }
  if (entries.isEmpty()) {
    auto* none = new QAction(QStringLiteral("Recent File"), menu);
    none->setEnabled(false);
    entries.push_back(none);
  }
  for (QAction* action : entries) {
    action->setProperty("recent", true);
    menu->insertAction(anchor, action);
  }
}

void CMainFrame::FillWindowList(QMenu* menu) {
  // The open document windows follow the arrangement commands, the active one checked.
  for (QAction* action : menu->actions())
    if (action->property("window").toBool()) delete action;
  QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
  if (!windows.isEmpty()) menu->addSeparator()->setProperty("window", true);
  for (int i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* sub = windows[i];
    auto* frame = qobject_cast<CChildFrame*>(sub->widget());
    QString title = frame ? frame->DocumentTitle() : sub->windowTitle();
    QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
    action->setProperty("window", true);
    action->setCheckable(true);
    action->setChecked(sub == m_mdiArea->activeSubWindow());
    connect(action, &QAction::triggered, this, [this, sub] { m_mdiArea->setActiveSubWindow(sub); });
  }
}

void CMainFrame::CreateMenus() {
  Actions& a = m_act;
  auto fileMenu = [&](bool document) {
    auto* menu = new QMenu(QStringLiteral("&File"), this);
    menu->addAction(a.newDoc);
    menu->addAction(a.open);
    if (document) {
      menu->addAction(a.close);
      menu->addAction(a.save);
      menu->addAction(a.saveAs);
      menu->addSeparator();
      menu->addAction(a.print);
      menu->addAction(a.printPreview);
    } else {
      menu->addSeparator();
    }
    menu->addAction(a.printSetup);
    menu->addSeparator();
    if (document) {
      menu->addAction(a.properties);
      menu->addSeparator();
    }
    QAction* anchor = menu->addSeparator();
    menu->setProperty("recentAnchor", QVariant::fromValue(anchor));
    menu->addAction(a.sendToTray);
    menu->addSeparator();
    menu->addAction(a.exit);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillRecentFiles(menu); });
    FillRecentFiles(menu);
    return menu;
  };
  auto toolbarsMenu = [&] {
    auto* menu = new QMenu(QStringLiteral("&Toolbars"), this);
    menu->addActions({a.standardBar, a.formatBar, a.imageBar});
    return menu;
  };
  auto helpMenu = [&] {
    auto* menu = new QMenu(QStringLiteral("&Help"), this);
    menu->addAction(a.helpBar);
    menu->addSeparator();
    QMenu* web = menu->addMenu(QStringLiteral("&Marrowleaf on the Web"));
    web->addAction(a.upgrade);
    web->addAction(a.bugReport);
    web->addSeparator();
    web->addAction(a.homePage);
    menu->addSeparator();
    menu->addAction(a.about);
    return menu;
  };
  auto toolsMenu = [&](bool document) {
    auto* menu = new QMenu(QStringLiteral("&Tools"), this);
    if (document) {
      menu->addAction(a.checkSpelling);
      menu->addSeparator();
    }
    menu->addAction(a.options);
    return menu;
  };

  auto* edit = new QMenu(QStringLiteral("&Edit"), this);
  edit->addActions({a.undo, a.redo});
  edit->addSeparator();
  edit->addActions({a.cut, a.copy, a.paste});
  edit->addSeparator();
  edit->addAction(a.selectAll);
  edit->addSeparator();
  edit->addActions({a.find, a.findInNodes, a.replace});
  edit->addSeparator();
  edit->addActions({a.insertObject, a.links, a.objectProperties});

  auto* view = new QMenu(QStringLiteral("&View"), this);
  view->addMenu(toolbarsMenu());
  view->addAction(a.statusBar);
  view->addSeparator();
  view->addActions({a.mainTree, a.bookmarksList});
  view->addSeparator();
  view->addAction(a.taskBar);
  view->addSeparator();
  view->addAction(a.alwaysOnTop);

  const FormatActions& f = m_format;
  auto* format = new QMenu(QStringLiteral("F&ormat"), this);
  format->addActions({a.font, a.paragraph});
  format->addSeparator();
  format->addActions({f.bold, f.italic, f.underline, f.strikethrough, f.doubleUnderline, f.dottedUnderline});
  format->addSeparator();
  format->addActions({f.alignLeft, f.alignCenter, f.alignRight, f.alignJustify});
  format->addSeparator();
  format->addActions({f.bullets, f.indentLess, f.indentMore});

  auto* tree = new QMenu(QStringLiteral("T&ree"), this);
  tree->addAction(a.refresh);
  tree->addSeparator();
  tree->addAction(a.findInNodes);
  tree->addSeparator();
  tree->addActions({a.collapseAll, a.expandAll});
  tree->addSeparator();
  tree->addAction(a.batchExport);

  auto* window = new QMenu(QStringLiteral("&Window"), this);
  window->addActions({a.cascade, a.tile, a.arrangeIcons});
  connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowList(window); });

  m_documentMenus = {fileMenu(true), edit, view, format, tree, toolsMenu(true), window, helpMenu()};

  auto* defaultView = new QMenu(QStringLiteral("&View"), this);
  defaultView->addMenu(toolbarsMenu());
  defaultView->addAction(a.statusBar);
  defaultView->addSeparator();
  defaultView->addAction(a.alwaysOnTop);
  m_defaultMenus = {fileMenu(false), defaultView, toolsMenu(false), helpMenu()};
  ShowMenus(false);
}

void CMainFrame::ShowMenus(bool documentMenu) {
  if (documentMenu == m_showingDocumentMenu) return;
  m_showingDocumentMenu = documentMenu;
  menuBar()->clear();
  for (QMenu* menu : documentMenu ? m_documentMenus : m_defaultMenus) menuBar()->addMenu(menu);
}

void CMainFrame::CreateToolBars() {
  Actions& a = m_act;
  auto bar = [this](const char* title, const char* name) {
    QToolBar* toolbar = addToolBar(QString::fromLatin1(title));
    toolbar->setObjectName(QString::fromLatin1(name));
    toolbar->setIconSize({16, 16});
    toolbar->setAllowedAreas(Qt::TopToolBarArea);
    return toolbar;
  };
  m_standardBar = bar("Standard", "StandardBar");
  m_standardBar->addActions({a.newDoc, a.open, a.save});
  m_standardBar->addSeparator();
  m_standardBar->addActions({a.cut, a.copy, a.paste});
  m_standardBar->addSeparator();
  m_standardBar->addActions({a.undo, a.redo});
  m_standardBar->addSeparator();
  m_standardBar->addActions({a.print, a.helpBar});
  m_standardBar->addSeparator();
  m_standardBar->addAction(a.taskBar);
  const FormatActions& f = m_format;
  m_formatBar = new CFormatBar({f.bold, f.italic, f.underline, f.strikethrough, f.alignLeft, f.alignCenter, f.alignRight,
                                f.alignJustify, f.bullets, f.indentLess, f.indentMore, a.find},
                               {[] { return AppSettings().customColours; },
                                [](const std::string& text) { AppSettings().customColours = text; }},
                               this);
  addToolBarBreak();  // the formatting bar starts a row of its own
  addToolBar(m_formatBar);
  m_imageBar = bar("Image", "ImageBar");
  m_imageBar->addActions({a.rotateAnticlockwise, a.rotateClockwise});
  m_imageBar->addSeparator();
  m_imageBar->addActions({a.scaleToFit, a.zoom});
  for (auto [action, toolbar] : {std::pair{a.standardBar, m_standardBar}, std::pair<QAction*, QToolBar*>{a.formatBar, m_formatBar},
                                 std::pair{a.imageBar, m_imageBar}}) {
    action->setCheckable(true);
    action->setEnabled(true);
    QToolBar* target = toolbar;
    connect(action, &QAction::triggered, this, [target] { target->setVisible(!target->isVisible()); });
  }
}

void CMainFrame::CreateHelpBar() {
  m_helpBar = new QDockWidget(QStringLiteral("Help Bar"), this);
  m_helpBar->setObjectName(QStringLiteral("HelpBar"));
  m_helpBar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  auto* help = new CMlfHelpCtrl(m_helpBar);
  m_helpBar->setWidget(help);
  addDockWidget(Qt::LeftDockWidgetArea, m_helpBar);
  resizeDocks({m_helpBar}, {220}, Qt::Horizontal);
  connect(m_helpBar, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // The lock-key panes; their state is shown where the platform tells it.
  for (QLabel** pane : {&m_capsPane, &m_numPane, &m_scrollPane}) {
    *pane = new QLabel(bar);
    (*pane)->setFrameShape(QFrame::StyledPanel);
    (*pane)->setFrameShadow(QFrame::Sunken);
    (*pane)->setAlignment(Qt::AlignCenter);
    (*pane)->setMinimumWidth((*pane)->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
    (*pane)->setEnabled(false);
    bar->addPermanentWidget(*pane);
  }
  m_capsPane->setText(QStringLiteral("CAP"));
  m_numPane->setText(QStringLiteral("NUM"));
  m_scrollPane->setText(QStringLiteral("SCRL"));
  // A pane is lit while its key is locked; the state is asked for four times a second.
  auto* lockTimer = new QTimer(this);
  connect(lockTimer, &QTimer::timeout, this, &CMainFrame::UpdateLockPanes);
  lockTimer->start(250);
  UpdateLockPanes();
  bar->showMessage(QString::fromLatin1(kIdleText));
  CMlfStatus::SetStatusBar(bar);
  connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
    if (text.isEmpty()) bar->showMessage(QString::fromLatin1(kIdleText));
  });
}

void CMainFrame::UpdateLockPanes() {
  std::optional<LockKeys> keys = QueryLockKeys();
  m_capsPane->setEnabled(keys && keys->caps);
  m_numPane->setEnabled(keys && keys->num);
  m_scrollPane->setEnabled(keys && keys->scroll);
}

CChildFrame* CMainFrame::ActiveChild() const {
  QMdiSubWindow* sub = m_mdiArea->activeSubWindow();
  if (!sub && !m_mdiArea->subWindowList().isEmpty()) sub = m_mdiArea->currentSubWindow();
  return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

QList<CChildFrame*> CMainFrame::ChildFrames() const {
  QList<CChildFrame*> frames;
  for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
    if (auto* frame = qobject_cast<CChildFrame*>(sub->widget())) frames.push_back(frame);
  return frames;
}

CChildFrame* CMainFrame::AddChildFrame(std::unique_ptr<CMarrowleafDoc> document, const QString& untitledName) {
  auto* frame = new CChildFrame(std::move(document), untitledName);
  QMdiSubWindow* sub = m_mdiArea->addSubWindow(frame);
  sub->setWindowIcon(windowIcon());
  sub->setAttribute(Qt::WA_DeleteOnClose);
  connect(frame, &CChildFrame::StateChanged, this, &CMainFrame::UpdateCommands);
  connect(frame, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &CMainFrame::UpdateCommands); });
  // The last document window closed gives the next one its size and show state.
  const WindowPlacement& last = AppSettings().lastChildPlacement;
  if (last.IsSet() && IsMinimizedState(last.showState)) {
    sub->showMinimized();
  } else if (last.IsSet() && last.showState == kShowMaximized) {
    sub->showMaximized();
  } else {
    if (last.IsSet()) sub->resize(last.right - last.left, last.bottom - last.top);
    else if (m_mdiArea->isVisible()) sub->resize(m_mdiArea->size() * 0.85);
    else FitWhenShown(sub);
    sub->show();
  }
  connect(frame, &CChildFrame::Closing, this, [sub] { AppSettings().lastChildPlacement = CapturePlacement(*sub); });
  UpdateCommands();
  return frame;
}

void CMainFrame::FitWhenShown(QMdiSubWindow* sub) {
  // A window opened before the main window shows (the file of the command line) learns the
  // size of the document area, which the docked bars narrow, once it is shown.
  sub->resize(900, 520);
  QTimer::singleShot(0, sub, [this, sub] {
    if (!m_mdiArea->isVisible()) return;
    sub->resize(m_mdiArea->size() * 0.85);
    sub->move(0, 0);
  });
}

CChildFrame* CMainFrame::NewDocument() {
  auto document = std::make_unique<CMarrowleafDoc>();
  document->OnNewDocument();
  return AddChildFrame(std::move(document), QStringLiteral("Untitled %1").arg(++m_untitledCount));
}

CChildFrame* CMainFrame::OpenDocument(const QString& path) {
  QString canonical = QFileInfo(path).absoluteFilePath();
  for (CChildFrame* frame : ChildFrames()) {
    if (QFileInfo(QString::fromStdString(frame->Document().GetPathName())).absoluteFilePath() == canonical) {
      m_mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(frame->parentWidget()));
      return frame;
    }
  }
  // The window exists before the file is read, so that loading fills its tree; a file that
  // cannot be read takes its window with it.
  auto document = std::make_unique<CMarrowleafDoc>();
  CMarrowleafDoc* opened = document.get();
  CChildFrame* frame = AddChildFrame(std::move(document), QString());
  if (!opened->OnOpenDocument(canonical.toStdString())) {
    frame->parentWidget()->deleteLater();
    frame->parentWidget()->hide();
    return nullptr;
  }
  m_recentFiles.Add(canonical);
  return frame;
}

void CMainFrame::PrintContent(bool preview) {
  CChildFrame* frame = ActiveChild();
  if (!frame) return;
  std::function<void(QPrinter&)> print;
  QWidget* view = nullptr;
  if (CMlfRichEditViewEx* editor = frame->RichEditView()) {
    view = editor;
    print = [editor](QPrinter& printer) { editor->Print(printer); };
  } else if (CMlfScrollView* image = frame->ImageView()) {
    view = image;
    print = [image](QPrinter& printer) { image->Print(printer); };
  }
  if (!view) return;
  if (!m_printer) m_printer = std::make_unique<QPrinter>();
  if (preview) {
    QPrintPreviewDialog dialog(m_printer.get(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, view, [print](QPrinter* printer) { print(*printer); });
    dialog.exec();
  } else if (QPrintDialog(m_printer.get(), this).exec() == QDialog::Accepted) {
    print(*m_printer);
  }
}

void CMainFrame::CreateFormatActions() {
  FormatActions& f = m_format;
  // icon: the toolbar picture and tool tip of the commands the formatting bar shows.
  auto make = [this](const char* text, QKeyCombination key = {}, const char* icon = nullptr, const char* tip = nullptr) {
    QAction* action = MakeAction(text, icon);
    if (tip) action->setToolTip(QString::fromLatin1(tip));
    if (key.key() != Qt::Key_unknown) action->setShortcut(QKeySequence(key));
    action->setCheckable(true);
    return action;
  };
  f.bold = make("&Bold\tCtrl+B", Qt::CTRL | Qt::Key_B, "bold", "Bold");
  f.italic = make("&Italic\tCtrl+I", Qt::CTRL | Qt::Key_I, "italic", "Italic");
  f.underline = make("&Underline\tCtrl+U", Qt::CTRL | Qt::Key_U, "underline", "Underline");
  f.strikethrough = make("&Strikethrough", {}, "strikethrough", "Strikethrough");
  f.doubleUnderline = make("&Double Underline");
  f.dottedUnderline = make("D&otted Underline");
  f.alignLeft = make("Align &Left\tCtrl+L", Qt::CTRL | Qt::Key_L, "align_left", "Align Left");
  f.alignCenter = make("&Center\tCtrl+E", Qt::CTRL | Qt::Key_E, "align_center", "Center");
  f.alignRight = make("Align &Right\tCtrl+R", Qt::CTRL | Qt::Key_R, "align_right", "Align Right");
  f.alignJustify = make("&Justify\tCtrl+J", Qt::CTRL | Qt::Key_J, "align_justify", "Justify");
  f.bullets = make("Bu&llets", {}, "bullets", "Bullets");
  f.indentLess = make("Indent L&ess", {}, "indent_less", "Indent Less");
  f.indentMore = make("Indent &More", {}, "indent_more", "Indent More");
  // These two set a kind rather than toggle one, and the indent steps are plain commands.
  for (QAction* action : {f.doubleUnderline, f.dottedUnderline, f.indentLess, f.indentMore}) action->setCheckable(false);

  const Actions& a = m_act;
  using C = EditorCommand;
  m_editorCommands = {
      {a.undo, C::kUndo}, {a.redo, C::kRedo}, {a.cut, C::kCut}, {a.copy, C::kCopy}, {a.paste, C::kPaste},
      {a.selectAll, C::kSelectAll}, {a.find, C::kFind}, {a.replace, C::kReplace}, {a.font, C::kFont},
      {a.paragraph, C::kParagraph}, {f.bold, C::kBold}, {f.italic, C::kItalic}, {f.underline, C::kUnderline},
      {f.strikethrough, C::kStrikethrough}, {f.doubleUnderline, C::kDoubleUnderline},
      {f.dottedUnderline, C::kDottedUnderline}, {f.alignLeft, C::kAlignLeft}, {f.alignCenter, C::kAlignCenter},
      {f.alignRight, C::kAlignRight}, {f.alignJustify, C::kAlignJustify}, {f.bullets, C::kBullets},
      {f.indentLess, C::kIndentLess}, {f.indentMore, C::kIndentMore},
  };
  for (auto [action, command] : m_editorCommands) {
    connect(action, &QAction::triggered, this, [this, command] {
      if (CMlfRichEditViewEx* editor = ActiveEditor()) {
        editor->RunCommand(command);
        UpdateEditorCommands();
      }
    });
  }
}

CMlfRichEditViewEx* CMainFrame::ActiveEditor() const {
  CChildFrame* frame = ActiveChild();
  return frame ? frame->RichEditView() : nullptr;
}

void CMainFrame::WatchEditor(CMlfRichEditViewEx* editor) {
  if (editor == m_watchedEditor) return;
  if (m_watchedEditor) m_watchedEditor->disconnect(this);
  m_watchedEditor = editor;
  // The formatting bar works on the open note; it is enabled while that editor has the focus
  // and until it goes.
  m_formatBar->SetTarget(editor);
  m_formatBar->SetEnabled(editor && editor->hasFocus());
  if (!editor) return;
  connect(editor, &CMlfRichEditViewEx::FocusGained, this, [this] { m_formatBar->SetEnabled(true); });
  connect(editor, &CMlfRichEditViewEx::AboutToBeDestroyed, this, [this] {
    m_formatBar->SetEnabled(false);
    m_formatBar->SetTarget(nullptr);
  });
  m_formatBar->ShowSelectionFont();
  for (auto signal : {&QTextEdit::selectionChanged, &QTextEdit::cursorPositionChanged, &QTextEdit::textChanged})
    connect(editor, signal, this, &CMainFrame::UpdateEditorCommands);
  connect(editor, &QTextEdit::currentCharFormatChanged, this, &CMainFrame::UpdateEditorCommands);
  connect(editor, &QTextEdit::undoAvailable, this, &CMainFrame::UpdateEditorCommands);
  connect(editor, &QTextEdit::redoAvailable, this, &CMainFrame::UpdateEditorCommands);
}

void CMainFrame::UpdateEditorCommands() {
  CMlfRichEditViewEx* editor = ActiveEditor();
  for (auto [action, command] : m_editorCommands) {
    CommandState state = editor ? editor->State(command) : CommandState{false, false};
    action->setEnabled(state.enabled);
    if (action->isCheckable()) action->setChecked(state.checked);
  }
}

void CMainFrame::OnOpen() {
  QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                              QStringLiteral("Marrowleaf Files (*.mlf);;All Files (*)"));
  if (!path.isEmpty()) OpenDocument(path);
}

void CMainFrame::ArrangeIcons() {
  // Minimised document windows line up along the bottom edge of the document area.
  int x = 0;
  for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
    if (!sub->isMinimized()) continue;
    sub->move(x, m_mdiArea->viewport()->height() - sub->height());
    x += sub->width();
  }
}

void CMainFrame::UpdateCommands() {
  Actions& a = m_act;
  CChildFrame* frame = ActiveChild();
  ShowMenus(frame != nullptr);
  for (QAction* action : {a.close, a.saveAs, a.refresh, a.collapseAll, a.expandAll, a.taskBar, a.mainTree,
                          a.bookmarksList, a.cascade, a.tile, a.arrangeIcons})
    action->setEnabled(frame);
  a.save->setEnabled(frame && frame->Document().IsModified());
  a.taskBar->setChecked(frame && !frame->TaskBar()->isHidden());
  int tab = frame ? frame->TabsView()->currentIndex() : -1;
  a.mainTree->setChecked(tab == CMlfTabsView::kMainTab);
  a.bookmarksList->setChecked(tab == CMlfTabsView::kBookmarksTab);
  a.standardBar->setChecked(!m_standardBar->isHidden());
  a.formatBar->setChecked(!m_formatBar->isHidden());
  a.imageBar->setChecked(!m_imageBar->isHidden());
  a.statusBar->setChecked(!statusBar()->isHidden());
  a.helpBar->setChecked(!m_helpBar->isHidden());
  a.alwaysOnTop->setChecked(AppSettings().alwaysOnTop);
  CMlfScrollView* imageView = frame ? frame->ImageView() : nullptr;
  for (QAction* action : {a.rotateAnticlockwise, a.rotateClockwise, a.scaleToFit, a.zoom}) action->setEnabled(imageView);
  for (QAction* action : {a.print, a.printPreview}) action->setEnabled(imageView || ActiveEditor());
  WatchEditor(ActiveEditor());
  UpdateEditorCommands();
  a.zoom->setChecked(imageView && imageView->ZoomMode());
  a.scaleToFit->setChecked(AppSettings().imageScaleToFit);
  for (CChildFrame* child : ChildFrames()) {
    child->setWindowModified(child->Document().IsModified());
    child->setWindowTitle(child->DocumentTitle() + QStringLiteral("[*]"));
  }
  QString title = QStringLiteral("Quarn Marrowleaf");
  if (frame) title += QStringLiteral(" - ") + frame->DocumentTitle();
  setWindowTitle(title);
}

QAction* CMainFrame::Command(const QString& text) const {
  for (QAction* action : findChildren<QAction*>())
    if (PlainText(action) == text) return action;
  return nullptr;
}

void CMainFrame::SetAlwaysOnTop(bool on) {
  AppSettings().alwaysOnTop = on;
  bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) show();
  if (m_act.alwaysOnTop) m_act.alwaysOnTop->setChecked(on);
}

void CMainFrame::SendToTray() {
  if (m_inTray) return;  // a minimise while going to the tray must not start another one
  m_inTray = true;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    // Without a tray the window only minimises.
    showMinimized();
    m_inTray = false;
    return;
  }
  if (!m_tray) {
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    auto* menu = new QMenu(this);
    menu->addAction(m_act.restore);
    menu->setDefaultAction(m_act.restore);
    menu->addSeparator();
    menu->addAction(m_act.trayExit);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) RestoreFromTray();
    });
  }
  m_tray->setToolTip(windowTitle().left(63));
  m_tray->show();
  hide();
}

void CMainFrame::RestoreFromTray() {
  showNormal();
  raise();
  activateWindow();
  if (m_tray) m_tray->hide();
  m_inTray = false;
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && AppSettings().minimizeToTray && !m_inTray &&
      QSystemTrayIcon::isSystemTrayAvailable())
    QTimer::singleShot(0, this, &CMainFrame::SendToTray);
}

void CMainFrame::SaveLayout() {
  AppSettings().lastPlacement = CapturePlacement(*this);
  AppSettings().showHelpBar = !m_helpBar->isHidden();
  QSettings settings = ProgramSettings();
  settings.setValue(QStringLiteral("Toolbars/State"), saveState());
}

void CMainFrame::RestoreLayout() {
  QSettings settings = ProgramSettings();
  restoreState(settings.value(QStringLiteral("Toolbars/State")).toByteArray());
  m_helpBar->setVisible(AppSettings().showHelpBar);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
    if (auto* frame = qobject_cast<CChildFrame*>(sub->widget())) {
      if (!frame->CanClose()) {
        event->ignore();
        return;
      }
      frame->Document().SetModifiedFlag(false);  // answered already: the window closes quietly
    }
  }
  m_mdiArea->closeAllSubWindows();
  SaveLayout();
  if (m_tray) m_tray->hide();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) OpenDocument(url.toLocalFile());
}

}  // namespace mlf
