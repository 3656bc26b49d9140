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
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>

#include "app/app_settings.h"
#include "app/child_placement.h"
#include "app/command_registry.h"
#include "app/qt_settings_store.h"
#include "dialogs/about_dlg.h"
#include "dialogs/find_nodes_dlg.h"
#include "dialogs/options_sheet.h"
#include "store/document.h"
#include "views/child_frame.h"
#include "views/html_ctrl.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/mlf_scroll_view.h"
#include "views/tabs_view.h"
#include "widgets/format_bar.h"
#include "widgets/lock_keys.h"
#include "widgets/mlf_status.h"
#include "tree/mlf_tree_ctrl.h"
#include "widgets/svg_art.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_state.h"

namespace mlf {
namespace {

constexpr const char* kIdleText = "For Help, press F1";
constexpr const char* kUpgradePage = "https://www.quarn.example/marrowleaf/download";
constexpr const char* kSupportPage = "https://www.quarn.example/support";
constexpr const char* kHomePage = "https://www.quarn.example/";
// How long a help bar shown at start-up waits, once the window's first events are handled,
// before its browser starts: long enough for the window to be idle and answer the user first.
constexpr int kHelpBrowserDelayMs = 300;

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
  ConnectCommands();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();
  CreateHelpBar();
  RestoreLayout();
  for (auto [id, bar] : {std::pair<CommandId, QWidget*>{CommandId::kStandardBar, m_standardBar},
                         {CommandId::kFormatBar, m_formatBar}, {CommandId::kImageBar, m_imageBar},
                         {CommandId::kStatusBar, statusBar()}, {CommandId::kHelpBar, m_helpBar}})
    ConnectBarToggle(id, bar);
  SetAlwaysOnTop(AppSettings().alwaysOnTop);
  connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateCommands);
  resize(960, 640);
  UpdateCommands();
}

CMainFrame::~CMainFrame() {
  delete m_findNodes;  // its search reads a document that goes with the windows below
  // Document windows still open die with the frame; their last signals must not reach it.
  for (CChildFrame* frame : ChildFrames()) frame->disconnect(this);
  m_mdiArea->disconnect(this);
  m_helpBar->disconnect(this);
  delete m_mdiArea;
  CMlfStatus::SetStatusBar(nullptr);
}

QAction* CMainFrame::Cmd(CommandId id) { return AppCommands().Action(id); }

void CMainFrame::ConnectCommands() {
  using C = CommandId;
  // Commands that work whenever the main window exists.
  auto always = [this](CommandId id, auto slot) {
    Cmd(id)->setEnabled(true);
    connect(Cmd(id), &QAction::triggered, this, slot);
  };
  auto on = [this](CommandId id, auto slot) { connect(Cmd(id), &QAction::triggered, this, slot); };
  auto child = [this](auto command) {
    return [this, command] {
      if (CChildFrame* frame = ActiveChild()) std::invoke(command, frame);
    };
  };
  auto image = [this](auto member) {
    return [this, member] {
      if (CChildFrame* frame = ActiveChild(); frame && frame->ImageView()) (frame->ImageView()->*member)();
    };
  };
  auto saved = [this](bool (CChildFrame::*save)()) {
    return [this, save] {
      if (CChildFrame* frame = ActiveChild(); frame && (frame->*save)())
        m_recentFiles.Add(QString::fromStdString(frame->Document().GetPathName()));
    };
  };
  auto link = [always](CommandId id, const char* address) {
    always(id, [address] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(address))); });
  };

  always(C::kNew, [this] { NewDocument(); });
  always(C::kOpen, &CMainFrame::OnOpen);
  always(C::kFindInNodes, &CMainFrame::OnFindInNodes);
  always(C::kOptions, &CMainFrame::OnOptions);
  on(C::kClose, [this] { m_mdiArea->closeActiveSubWindow(); });
  on(C::kSave, saved(&CChildFrame::Save));
  on(C::kSaveAs, saved(&CChildFrame::SaveAs));
  on(C::kPrint, [this] { PrintContent(false); });
  on(C::kPrintPreview, [this] { PrintContent(true); });
  always(C::kPrintSetup, [this] {
    if (!m_printer) m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog(m_printer.get(), this).exec();
  });
  always(C::kSendToTray, &CMainFrame::SendToTray);
  always(C::kExit, &QWidget::close);

  on(C::kMainTree, child([](CChildFrame* frame) { frame->SwitchToTab(CMlfTabsView::kMainTab); }));
  on(C::kBookmarksList, child([](CChildFrame* frame) { frame->SwitchToTab(CMlfTabsView::kBookmarksTab); }));
  on(C::kTaskBar, child(&CChildFrame::ToggleTaskBar));
  on(C::kFileProperties, child(&CChildFrame::FileProperties));
  always(C::kAlwaysOnTop, [this] { SetAlwaysOnTop(!AppSettings().alwaysOnTop); });

  // The keys without a menu item work through the window itself.
  addActions({Cmd(C::kNextPane), Cmd(C::kPreviousPane)});
  on(C::kNextPane, child(&CChildFrame::FocusOtherPane));
  on(C::kPreviousPane, child(&CChildFrame::FocusOtherPane));
  on(C::kRefresh, child(&CChildFrame::Refresh));
  on(C::kCollapseAll, child([](CChildFrame* frame) { frame->TabsView()->NodeTree()->SetAllExpanded(false); }));
  on(C::kExpandAll, child([](CChildFrame* frame) { frame->TabsView()->NodeTree()->SetAllExpanded(true); }));
  on(C::kBatchExport, child(&CChildFrame::BatchExport));

  on(C::kCascade, &CMainFrame::Cascade);
  on(C::kTile, [this] { m_mdiArea->tileSubWindows(); });
  on(C::kArrangeIcons, &CMainFrame::ArrangeIcons);

  link(C::kUpgrade, kUpgradePage);
  link(C::kBugReport, kSupportPage);
  link(C::kHomePage, kHomePage);
  always(C::kAbout, [this] { CAboutDlg(this).exec(); });

  on(C::kRotateAnticlockwise, image(&CMlfScrollView::RotateAnticlockwise));
  on(C::kRotateClockwise, image(&CMlfScrollView::RotateClockwise));
  on(C::kScaleToFit, [this, image] {
    AppSettings().imageScaleToFit = !AppSettings().imageScaleToFit;
    image(&CMlfScrollView::Layout)();
    UpdateImageCommands();
  });
  on(C::kZoom, [this, image] {
    image(&CMlfScrollView::ToggleZoomMode)();
    UpdateImageCommands();
  });

  always(C::kRestore, &CMainFrame::RestoreFromTray);
  always(C::kTrayExit, [this] {
    if (m_tray) m_tray->hide();
    close();
  });

  for (auto [id, command] : kEditorCommands) {
    on(id, [this, command] {
      if (CMlfRichEditViewEx* editor = ActiveEditor()) {
        editor->RunCommand(command);
        UpdateEditorCommands();
      }
    });
  }
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
  using C = CommandId;
  CommandRegistry& commands = AppCommands();
  auto menu = [this, &commands](const char* title, std::initializer_list<CommandId> ids) {
    auto* made = new QMenu(QString::fromLatin1(title), this);
    commands.AddTo(made, ids);
    return made;
  };
  auto fileMenu = [&](bool document) {
    QMenu* file = document ? menu("&File", {C::kNew, C::kOpen, C::kClose, C::kSave, C::kSaveAs, C::kSeparator, C::kPrint,
                                            C::kPrintPreview, C::kPrintSetup, C::kSeparator, C::kFileProperties,
                                            C::kSeparator})
                           : menu("&File", {C::kNew, C::kOpen, C::kSeparator, C::kPrintSetup, C::kSeparator});
    // The recent files sit between the separators that surround them.
    QAction* anchor = file->addSeparator();
    file->setProperty("recentAnchor", QVariant::fromValue(anchor));
    commands.AddTo(file, {C::kSendToTray, C::kSeparator, C::kExit});
    connect(file, &QMenu::aboutToShow, this, [this, file] { FillRecentFiles(file); });
    FillRecentFiles(file);
    return file;
  };
  auto viewMenu = [&](bool document) {
    QMenu* view = menu("&View", {});
    view->addMenu(menu("&Toolbars", {C::kStandardBar, C::kFormatBar, C::kImageBar}));
    if (document)
      commands.AddTo(view, {C::kStatusBar, C::kSeparator, C::kMainTree, C::kBookmarksList, C::kSeparator, C::kTaskBar,
                            C::kSeparator, C::kAlwaysOnTop});
    else
      commands.AddTo(view, {C::kStatusBar, C::kSeparator, C::kAlwaysOnTop});
    return view;
  };
  auto helpMenu = [&] {
    QMenu* help = menu("&Help", {C::kHelpBar, C::kSeparator});
    help->addMenu(menu("&Marrowleaf on the Web", {C::kUpgrade, C::kBugReport, C::kSeparator, C::kHomePage}));
    commands.AddTo(help, {C::kSeparator, C::kAbout});
    return help;
  };

  QMenu* edit = menu("&Edit", {C::kUndo, C::kRedo, C::kSeparator, C::kCut, C::kCopy, C::kPaste, C::kSeparator,
                               C::kSelectAll, C::kSeparator, C::kFind, C::kFindInNodes, C::kReplace, C::kSeparator,
                               C::kInsertObject, C::kLinks, C::kObjectProperties});
  QMenu* format = menu("F&ormat", {C::kFont, C::kParagraph, C::kSeparator, C::kBold, C::kItalic, C::kUnderline,
                                   C::kStrikethrough, C::kDoubleUnderline, C::kDottedUnderline, C::kSeparator,
                                   C::kAlignLeft, C::kAlignCenter, C::kAlignRight, C::kAlignJustify, C::kSeparator,
                                   C::kBullets, C::kIndentLess, C::kIndentMore});
  QMenu* tree = menu("T&ree", {C::kRefresh, C::kSeparator, C::kFindInNodes, C::kSeparator, C::kCollapseAll,
                               C::kExpandAll, C::kSeparator, C::kBatchExport});
  QMenu* window = menu("&Window", {C::kCascade, C::kTile, C::kArrangeIcons});
  connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowList(window); });

  m_documentMenus = {fileMenu(true), edit, viewMenu(true), format, tree,
                     menu("&Tools", {C::kCheckSpelling, C::kSeparator, C::kOptions}), window, helpMenu()};
  m_defaultMenus = {fileMenu(false), viewMenu(false), menu("&Tools", {C::kOptions}), helpMenu()};
  ShowMenus(false);
}

void CMainFrame::ShowMenus(bool documentMenu) {
  if (documentMenu == m_showingDocumentMenu) return;
  m_showingDocumentMenu = documentMenu;
  menuBar()->clear();
  for (QMenu* menu : documentMenu ? m_documentMenus : m_defaultMenus) menuBar()->addMenu(menu);
}

void CMainFrame::CreateToolBars() {
  using C = CommandId;
  auto bar = [this](const char* title, const char* name, std::initializer_list<CommandId> ids) {
    QToolBar* toolbar = addToolBar(QString::fromLatin1(title));
    toolbar->setObjectName(QString::fromLatin1(name));
    toolbar->setIconSize({16, 16});
    toolbar->setAllowedAreas(Qt::TopToolBarArea);
    AppCommands().AddTo(toolbar, ids);
    return toolbar;
  };
  m_standardBar = bar("Standard", "StandardBar",
                      {C::kNew, C::kOpen, C::kSave, C::kSeparator, C::kCut, C::kCopy, C::kPaste, C::kSeparator, C::kUndo,
                       C::kRedo, C::kSeparator, C::kPrint, C::kHelpBar, C::kSeparator, C::kTaskBar});
  m_formatBar = new CFormatBar({Cmd(C::kBold), Cmd(C::kItalic), Cmd(C::kUnderline), Cmd(C::kStrikethrough),
                                Cmd(C::kAlignLeft), Cmd(C::kAlignCenter), Cmd(C::kAlignRight), Cmd(C::kAlignJustify),
                                Cmd(C::kBullets), Cmd(C::kIndentLess), Cmd(C::kIndentMore), Cmd(C::kFind)},
                               {[] { return AppSettings().customColours; },
                                [](const std::string& text) { AppSettings().customColours = text; }},
                               this);
  addToolBarBreak();  // the formatting bar starts a row of its own
  addToolBar(m_formatBar);
  m_imageBar = bar("Image", "ImageBar",
                   {C::kRotateAnticlockwise, C::kRotateClockwise, C::kSeparator, C::kScaleToFit, C::kZoom});
}

void CMainFrame::ConnectBarToggle(CommandId id, QWidget* bar) {
  // The check follows the bar however it is shown or hidden: by the command, by its own close
  // button or by the window's context menu.
  QAction* toggle = Cmd(id);
  toggle->setEnabled(true);
  auto follow = [toggle, bar] { toggle->setChecked(!bar->isHidden()); };
  connect(toggle, &QAction::triggered, bar, [bar, follow] {
    bar->setVisible(bar->isHidden());
    follow();
  });
  if (auto* toolbar = qobject_cast<QToolBar*>(bar)) connect(toolbar, &QToolBar::visibilityChanged, toggle, follow);
  else if (auto* dock = qobject_cast<QDockWidget*>(bar)) connect(dock, &QDockWidget::visibilityChanged, toggle, follow);
  follow();
}

void CMainFrame::CreateHelpBar() {
  m_helpBar = new QDockWidget(QStringLiteral("Help Bar"), this);
  m_helpBar->setObjectName(QStringLiteral("HelpBar"));
  m_helpBar->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  // The browser, and with it the web engine's processes, starts when the bar first shows: at
  // once when the user opens the bar, and for a bar shown at start-up once the window is ready
  // and idle, which it does not wait for the web engine to become. Until then the bar holds
  // an empty placeholder.
  m_helpBar->setWidget(new QWidget);
  auto startBrowser = [this] {
    if (m_helpBar->isHidden() || qobject_cast<CMlfHelpCtrl*>(m_helpBar->widget())) return;
    QWidget* placeholder = m_helpBar->widget();
    auto* help = new CMlfHelpCtrl(m_helpBar);
    m_helpBar->setWidget(help);
    help->show();
    delete placeholder;
  };
  auto atStartUp = std::make_shared<bool>(AppSettings().showHelpBar);
  connect(m_helpBar, &QDockWidget::visibilityChanged, this, [this, startBrowser, atStartUp](bool visible) {
    if (!visible) return;
    if (!std::exchange(*atStartUp, false)) return startBrowser();
    QTimer::singleShot(0, this, [this, startBrowser] { QTimer::singleShot(kHelpBrowserDelayMs, this, startBrowser); });
  });
  addDockWidget(Qt::LeftDockWidgetArea, m_helpBar);
  resizeDocks({m_helpBar}, {220}, Qt::Horizontal);
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
  connect(frame, &CChildFrame::ModifiedFlagChanged, this, [this, frame] {
    if (frame == ActiveChild()) UpdateSaveCommand();
  });
  connect(frame, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &CMainFrame::UpdateCommands); });
  connect(this, &CMainFrame::OptionsChanged, frame, &CChildFrame::OnOptionsChanged);
  // The last document window closed gives the next one its size and show state.
  const WindowPlacement& last = AppSettings().lastChildPlacement;
  if (last.IsSet() && IsMinimizedState(last.showState)) {
    sub->showMinimized();
  } else if (last.IsSet() && last.showState == kShowMaximized) {
    sub->showMaximized();
  } else {
    sub->show();
    PlaceNewChild(sub);
  }
  connect(frame, &CChildFrame::Closing, this, [this, sub, frame] {
    AppSettings().lastChildPlacement = CapturePlacement(*sub);
    if (m_findNodes) m_findNodes->NotifyFrameClosed(frame);
  });
  UpdateCommands();
  Q_EMIT ChildFrameAdded(frame);
  return frame;
}

void CMainFrame::PlaceNewChild(QMdiSubWindow* sub) {
  // A window opened before the main window shows (the file of the command line, also when
  // the program starts in the tray) learns the size of the document area, which the docked
  // bars narrow, once the main window shows.
  if (!m_mdiArea->isVisible()) {
    sub->resize(900, 520);
    m_unplaced.push_back(sub);
    return;
  }
  const QSize area = m_mdiArea->viewport()->size();
  const WindowPlacement& last = AppSettings().lastChildPlacement;
  const QSize preferred = last.IsSet() ? QSize(last.right - last.left, last.bottom - last.top) : area * 0.85;
  int open = 0;
  for (QMdiSubWindow* other : m_mdiArea->subWindowList())
    if (other != sub && other->isVisible() && !other->isMinimized() && !other->isMaximized()) ++open;
  sub->setGeometry(NewChildGeometry(area, preferred, open, TitleBarStep()));
}

int CMainFrame::TitleBarStep() const {
  QStyle* style = m_mdiArea->style();
  return style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, m_mdiArea) +
         style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, m_mdiArea);
}

void CMainFrame::Cascade() {
  // In stacking order, so the window on top stays on top, at the end of the run.
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::StackingOrder))
    if (sub->isVisible() && !sub->isMinimized()) windows.push_back(sub);
  for (QMdiSubWindow* sub : windows)
    if (sub->isMaximized()) sub->showNormal();
  const QList<QRect> places = CascadeGeometries(m_mdiArea->viewport()->size(), int(windows.size()), TitleBarStep());
  for (qsizetype i = 0; i < windows.size(); ++i) {
    windows[i]->setGeometry(places[i]);
    windows[i]->raise();
  }
}

void CMainFrame::OnOptions() {
  COptionsSheet sheet(AppSettings(), this);
  if (sheet.exec() != QDialog::Accepted) return;
  WaitCursor wait;
  ApplyImportFont();
  Q_EMIT OptionsChanged();
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

CChildFrame* CMainFrame::ReopenDocument(CChildFrame* frame) {
  auto* sub = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
  QString path = QString::fromStdString(frame->Document().GetPathName());
  if (!sub->close()) return nullptr;
  delete sub;  // at once, not later: its document must let go of the file before it is read again
  return OpenDocument(path);
}

void CMainFrame::CheckFilesOnDisk() {
  if (std::exchange(m_checkingFiles, true)) return;  // the questions below take the focus and give it back
  for (CChildFrame* frame : ChildFrames())
    if (frame->AskToReopenChangedFile()) ReopenDocument(frame);
  m_checkingFiles = false;
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
  if (CMlfRichEditViewEx* editor = ActiveEditor()) {
    editor->ShowCommandStates();
    return;
  }
  for (auto [id, command] : kEditorCommands) {
    Cmd(id)->setEnabled(false);
    Cmd(id)->setChecked(false);
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
  using C = CommandId;
  CChildFrame* frame = ActiveChild();
  ShowMenus(frame != nullptr);
  for (CommandId id : {C::kClose, C::kFileProperties, C::kSaveAs, C::kRefresh, C::kCollapseAll, C::kExpandAll, C::kBatchExport, C::kTaskBar, C::kMainTree,
                       C::kBookmarksList, C::kCascade, C::kTile, C::kArrangeIcons, C::kNextPane, C::kPreviousPane})
    Cmd(id)->setEnabled(frame);
  Cmd(C::kTaskBar)->setChecked(frame && !frame->TaskBar()->isHidden());
  int tab = frame ? frame->TabsView()->currentIndex() : -1;
  Cmd(C::kMainTree)->setChecked(tab == CMlfTabsView::kMainTab);
  Cmd(C::kBookmarksList)->setChecked(tab == CMlfTabsView::kBookmarksTab);
  for (CommandId id : {C::kPrint, C::kPrintPreview}) Cmd(id)->setEnabled(frame && (frame->ImageView() || ActiveEditor()));
  UpdateImageCommands();
  WatchEditor(ActiveEditor());
  UpdateEditorCommands();
  UpdateSaveCommand();
  for (CChildFrame* child : ChildFrames()) {
    child->setWindowModified(child->Document().IsModified());
    child->setWindowTitle(child->DocumentTitle() + QStringLiteral("[*]"));
  }
  QString title = QStringLiteral("Quarn Marrowleaf");
  if (frame) title += QStringLiteral(" - ") + frame->DocumentTitle();
  setWindowTitle(title);
}

void CMainFrame::UpdateSaveCommand() {
  CChildFrame* frame = ActiveChild();
  Cmd(CommandId::kSave)->setEnabled(frame && frame->Document().IsModified());
}

void CMainFrame::UpdateImageCommands() {
  using C = CommandId;
  CChildFrame* frame = ActiveChild();
  CMlfScrollView* imageView = frame ? frame->ImageView() : nullptr;
  for (CommandId id : {C::kRotateAnticlockwise, C::kRotateClockwise, C::kScaleToFit, C::kZoom})
    Cmd(id)->setEnabled(imageView);
  Cmd(C::kZoom)->setChecked(imageView && imageView->ZoomMode());
  Cmd(C::kScaleToFit)->setChecked(AppSettings().imageScaleToFit);
}

void CMainFrame::SetAlwaysOnTop(bool on) {
  AppSettings().alwaysOnTop = on;
  bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) show();
  Cmd(CommandId::kAlwaysOnTop)->setChecked(on);
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
    AppCommands().AddTo(menu, {CommandId::kRestore, CommandId::kSeparator, CommandId::kTrayExit});
    menu->setDefaultAction(Cmd(CommandId::kRestore));
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
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    QTimer::singleShot(0, this, &CMainFrame::CheckFilesOnDisk);
  if (event->type() == QEvent::WindowStateChange && isMinimized() && AppSettings().minimizeToTray && !m_inTray &&
      QSystemTrayIcon::isSystemTrayAvailable())
    QTimer::singleShot(0, this, &CMainFrame::SendToTray);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Once the layout has given the document area its size.
  QTimer::singleShot(0, this, [this] {
    for (QMdiSubWindow* sub : std::exchange(m_unplaced, {}))
      if (sub) PlaceNewChild(sub);
  });
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

CFindNodesDlg* CMainFrame::FindNodesWindow() const { return m_findNodes; }

void CMainFrame::OnFindInNodes() {
  // A closed window is only hidden; the next request replaces it.
  if (!m_findNodes || !m_findNodes->isVisible()) {
    delete m_findNodes;
    m_findNodes = new CFindNodesDlg([this] { return ActiveChild(); }, this);
    m_findNodes->show();
  }
  m_findNodes->raise();
  m_findNodes->activateWindow();
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
