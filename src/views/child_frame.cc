#include "views/child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>
#include <QTreeWidget>

#include "app/app_settings.h"
#include "convert/text_conv_lib.h"
#include "diagnostics/log.h"
#include "dialogs/file_options_sheet.h"
#include "dialogs/node_password_question.h"
#include "dialogs/processing_dlg.h"
#include "exchange/node_export.h"
#include "exchange/node_import.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_unlock.h"
#include "store/prompts.h"
#include "tree/bookmark_tree_ctrl.h"
#include "tree/mlf_tree_ctrl.h"
#include "tree/task_ctrl.h"
#include "views/blank_area_view.h"
#include "views/mlf_html_view.h"
#include "views/mlf_scroll_view.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/tabs_view.h"
#include "widgets/stored_text.h"
#include "widgets/wait_cursor.h"

namespace mlf {
namespace {

MessageAnswer Warn(const std::string& text, const char* caption = kAppCaption) {
  return AppPrompts().Message(text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

constexpr const char* kNotStored = "Warning: Could not verify correct saving of note data.";

// A file-dialog filter from a text and a pattern list ("*.BMP;*.GIF;"): each pattern in both
// cases, since the file names of this platform are case-sensitive.
QString DialogFilter(const std::string& text, const std::string& pattern) {
  QStringList patterns;
  for (const QString& one : QString::fromStdString(pattern).split(u';', Qt::SkipEmptyParts)) {
    if (one == QLatin1String("*.*")) {
      patterns << QStringLiteral("*");
      continue;
    }
    patterns << one.toLower() << one.toUpper();
  }
  patterns.removeDuplicates();
  return QString::fromStdString(text) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

QString DialogFilters(const std::vector<FileFilterEntry>& entries) {
  QStringList filters;
  for (const FileFilterEntry& entry : entries) filters << DialogFilter(entry.text, entry.pattern);
  return filters.join(QStringLiteral(";;"));
}

const std::vector<FileFilterEntry> kImageFilters = {
    {"All Supported Files", "*.BMP;*.GIF;*.JIF;*.JPEG;*.JPG;*.PCT;*.PCX;*.PGM;*.PNG;*.TGA;*.TIF;*.TIFF;"},
    {"Compuserve Graphics Interchange (*.gif)", "*.GIF"},
    {"JPEG - JFIF Compliant (*.jif, *.jpeg, *.jpg)", "*.JIF;*.JPEG;*.JPG"},
    {"Macintosh PICT (*.pct)", "*.PCT"},
    {"Portable Greymap (*.pgm)", "*.PGM"},
    {"Portable Network Graphics (*.png)", "*.PNG"},
    {"Tagged Image File Format (*.tif, *.tiff)", "*.TIF;*.TIFF"},
    {"Truevision Targa (*.tga)", "*.TGA"},
    {"Windows or OS/2 Bitmap (*.bmp)", "*.BMP"},
    {"ZSoft Paintbrush (*.pcx)", "*.PCX"},
};
const std::vector<FileFilterEntry> kAllFiles = {{"All Files (*.*)", "*.*;"}};
const std::vector<FileFilterEntry> kHtmlFilters = {{"HTML Files (*.html, *.htm)", "*.HTML;*.HTM;"},
                                                   {"All Files (*.*)", "*.*;"}};
// The picture formats of a single export, with their format codes.
const std::vector<std::pair<FileFilterEntry, int>> kPictureExports = {
    {{"JPEG - JFIF Compliant (*.jpg, *.jif, *.jpeg)", "*.JPG;*.JIF;*.JPEG"}, 3},
    {{"Portable Network Graphics (*.png)", "*.PNG"}, 7},
    {{"Tagged Image File Format (*.tif, *.tiff)", "*.TIF;*.TIFF"}, 9},
    {{"Windows or OS/2 Bitmap (*.bmp)", "*.BMP"}, 1},
};

}  // namespace

CChildFrame::CChildFrame(std::unique_ptr<CMarrowleafDoc> document, const QString& untitledName, QWidget* parent)
    : QMainWindow(parent),
      m_document(std::move(document)),
      m_tempFiles(m_document->GetEnv()),
      m_untitledName(untitledName),
      m_splitter(new QSplitter(Qt::Horizontal, this)),
      m_tabsView(new CMlfTabsView(*m_document, *this)),
      m_taskBar(new QDockWidget(QStringLiteral("Tasks"), this)),
      m_taskList(new CTaskCtrl) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(DocumentTitle() + QStringLiteral("[*]"));
  m_splitter->setChildrenCollapsible(false);
  m_splitter->addWidget(m_tabsView);
  m_tabsView->setMinimumWidth(120);
  ShowBlankView();
  m_splitter->setStretchFactor(0, 0);
  m_splitter->setStretchFactor(1, 1);
  m_splitter->setSizes({220, 600});
  setCentralWidget(m_splitter);

  m_taskList->SetDocument(m_document.get());
  connect(m_taskList, &CTaskCtrl::OpenNodeRequested, this, [this](uint32_t nodeId) { ShowNode(nodeId, true); });
  connect(m_tabsView->NodeTree(), &CMlfTreeCtrl::TaskChanged, m_taskList, &CTaskCtrl::UpdateTaskRow);
  connect(m_tabsView->NodeTree(), &CMlfTreeCtrl::TaskAdded, m_taskList, &CTaskCtrl::AddTaskRow);
  m_taskBar->setObjectName(QStringLiteral("TaskBar"));
  m_taskBar->setWidget(m_taskList);
  m_taskBar->setAllowedAreas(Qt::BottomDockWidgetArea);
  m_taskBar->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetFloatable |
                         QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::BottomDockWidgetArea, m_taskBar);
  m_taskBar->hide();
  connect(m_taskBar, &QDockWidget::visibilityChanged, this, &CChildFrame::StateChanged);
  connect(m_tabsView, &QTabWidget::currentChanged, this, &CChildFrame::StateChanged);

  m_document->SetObserver(this);
}

CChildFrame::~CChildFrame() {
  m_document->SetObserver(nullptr);
  // The view goes before the temporary pages it shows.
  if (m_splitter->count() > 1) delete m_splitter->widget(1);
}

QString CChildFrame::DocumentTitle() const {
  std::string path = m_document->GetPathName();
  return path.empty() ? m_untitledName : QFileInfo(QString::fromStdString(path)).fileName();
}

void CChildFrame::ReplaceContentView(QWidget* view) {
  if (m_splitter->count() > 1) delete m_splitter->widget(1);
  m_blankView = nullptr;
  m_richEditView = nullptr;
  m_imageView = nullptr;
  m_htmlView = nullptr;
  m_splitter->addWidget(view);
  m_splitter->setStretchFactor(1, 1);
}

void CChildFrame::ShowBlankView() {
  if (m_blankView) return;
  auto* blank = new CBlankAreaView(m_document.get());
  ReplaceContentView(blank);
  m_blankView = blank;
  m_splitter->repaint();
}

bool CChildFrame::ActivateNode(bool open, int64_t nodeId) {
  WaitCursor wait;
  if (nodeId == m_activeNodeId) return false;
  // A note that cannot be written back stays open, so that nothing typed is lost.
  if (!StoreOpenNode()) return false;
  Q_EMIT NoteStored();
  // A password lasts only while its node stays open.
  if (!m_blankView && m_activeNodeId > 0) {
    CMlfNode old;
    if (old.Attach(m_document.get(), uint32_t(m_activeNodeId))) old.SetPassword(false, SecureString());
  }
  auto showBlank = [this] {
    m_activeNodeId = -1;
    ShowBlankView();
    Q_EMIT StateChanged();
  };
  if (!open) {
    m_activeNodeId = nodeId;
    ShowBlankView();
    Q_EMIT StateChanged();
    return true;
  }

  CMlfNode node;
  if (nodeId <= 0 || !node.Attach(m_document.get(), uint32_t(nodeId))) {
    showBlank();
    return false;
  }
  if (node.IsEncrypted()) {
    if (!CanAccessEncryptedNode(*m_document, node.GetId())) {
      showBlank();
      return false;
    }
    std::optional<SecureString> password = AskNodePasswordUntilRight(*m_document, node.GetId());
    if (!password) {
      Warn("Access Denied");
      showBlank();
      return false;
    }
    node.SetPassword(true, *password);
  }

  bool loaded = false;
  switch (node.GetType()) {
    case ntImage: {
      auto* view = new CMlfScrollView;
      ReplaceContentView(view);
      m_imageView = view;
      m_activeNodeId = nodeId;
      // The node's password, set above, serves the read.
      loaded = view->LoadImage(m_document.get(), uint32_t(nodeId), false, SecureString());
      break;
    }
    case ntHtml: {
      auto* view = new CMlfHtmlView;
      ReplaceContentView(view);
      m_htmlView = view;
      m_activeNodeId = nodeId;
      loaded = view->LoadHtml(*m_document, uint32_t(nodeId), m_tempFiles);
      break;
    }
    case ntNote: {
      auto* view = new CMlfRichEditViewEx(nullptr, m_noteWriter);
      ReplaceContentView(view);
      m_richEditView = view;
      m_activeNodeId = nodeId;
      loaded = view->Load(m_document.get(), uint32_t(nodeId));
      break;
    }
    case ntForeign:
      Warn("Foreign data cannot be opened in Marrowleaf.\n\nTry exporting it instead.", "Open Foreign Data");
      showBlank();
      return false;
    case ntFolder:
      break;
    default: {
      const char* text = "This node does not have a recognised data type.\n\nI do not know how to access it.";
      AppLog().WriteLine(text);
      Warn(text, "Unknown Data");
      break;
    }
  }
  if (loaded) {
    Q_EMIT StateChanged();
    return true;
  }
  AppLog().WriteLine("Warning: Could not load node data.");
  Warn("Warning: Could not load node data.");
  showBlank();
  return false;
}

bool CChildFrame::StoreOpenNode() {
  if (!m_richEditView || m_richEditView->Store(m_document.get(), uint32_t(m_activeNodeId))) return true;
  // Also when the document is saved: the saved file then holds the note as last stored, and
  // the user must know that the editor's text is not in it.
  AppLog().WriteLine(kNotStored);
  AppPrompts().Message(kNotStored, kAppCaption, MessageIcon::None, MessageButtons::Ok);
  return false;
}

bool CChildFrame::SaveTo(const QString& path) {
  m_document->SetBackupCount(AppSettings().BackupsKept());
  CMarrowleafDoc::SaveResult result = m_document->Save(path.toStdString());
  if (result == CMarrowleafDoc::SaveResult::SaveAsChosen) return SaveAs();
  bool saved = result == CMarrowleafDoc::SaveResult::Saved || result == CMarrowleafDoc::SaveResult::Committed;
  if (!saved && result != CMarrowleafDoc::SaveResult::KeptEditing) {
    std::string text = "Warning, file '" + path.toStdString() + "' has not been saved.";
    AppLog().WriteLine(text);
    Warn(text);
  }
  setWindowTitle(DocumentTitle() + QStringLiteral("[*]"));
  Q_EMIT StateChanged();
  return saved;
}

bool CChildFrame::Save() {
  std::string path = m_document->GetPathName();
  if (path.empty()) return SaveAs();
  Env& env = m_document->GetEnv();
  if (env.FileExists(path) && env.IsReadOnly(path)) {
    MessageAnswer answer = AppPrompts().Message(
        "The file '" + path + "' is read-only and has not been saved.\n\nWould you like to save it to a different location?",
        kAppCaption, MessageIcon::Exclamation, MessageButtons::YesNo);
    return answer == MessageAnswer::Yes && SaveAs();
  }
  return SaveTo(QString::fromStdString(path));
}

bool CChildFrame::SaveAs() {
  QString start = QString::fromStdString(m_document->GetPathName());
  if (start.isEmpty()) start = m_untitledName.trimmed() + QStringLiteral(".mlf");
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), start,
                                              QStringLiteral("Marrowleaf Files (*.mlf)"));
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".mlf");
  return SaveTo(path);
}

void CChildFrame::ShowNode(uint32_t nodeId, bool open) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()); sub && sub->mdiArea())
    sub->mdiArea()->setActiveSubWindow(sub);
  CMlfTreeCtrl* tree = m_tabsView->NodeTree();
  QTreeWidgetItem* item = tree->FindItem(nodeId);
  if (!item) return;
  SwitchToTab(0);
  tree->setCurrentItem(item);
  tree->scrollToItem(item);
  if (open) tree->ActivateItem(item);
}

void CChildFrame::ImportFiles(ImportKind kind, uint32_t parentId) {
  QString title, filters;
  switch (kind) {
    case ImportKind::Notes: {
      CTextConvLib converters(m_document->GetEnv());
      converters.LoadConverters();
      title = QStringLiteral("Import");
      filters = DialogFilters(converters.ImportFilter());
      break;
    }
    case ImportKind::Images:
      title = QStringLiteral("Add Image(s)");
      filters = DialogFilters(kImageFilters);
      break;
    case ImportKind::ForeignData:
      title = QStringLiteral("Add Foreign Data File(s)");
      filters = DialogFilters(kAllFiles);
      break;
    case ImportKind::Html:
      title = QStringLiteral("Add Html File(s)");
      filters = DialogFilters(kHtmlFilters);
      break;
  }
  QStringList files = QFileDialog::getOpenFileNames(this, title, QString(), filters);
  if (!files.isEmpty()) ImportChosenFiles(kind, parentId, files);
}

void CChildFrame::ImportDroppedFiles(uint32_t parentId, const std::vector<std::string>& files) {
  QStringList paths;
  for (const std::string& file : files) paths << QString::fromStdString(file);
  ImportChosenFiles(ImportKind::Notes, parentId, paths);
}

std::vector<uint32_t> CChildFrame::ImportChosenFiles(ImportKind kind, uint32_t parentId, const QStringList& files) {
  std::vector<std::string> paths;
  for (const QString& file : files) paths.push_back(file.toStdString());
  std::unique_ptr<CNodeBatchImport> process;
  CProcessingDlg::Watchdog watchdog = CProcessingDlg::Watchdog::On;
  switch (kind) {
    case ImportKind::ForeignData: process = std::make_unique<CForeignDataImport>(*m_document, parentId, paths); break;
    case ImportKind::Html: process = std::make_unique<CHtmlImport>(*m_document, parentId, paths); break;
    default:
      process = std::make_unique<CNodeBatchImport>(*m_document, parentId);
      for (const std::string& path : paths) process->AddFile(path);
      watchdog = CProcessingDlg::Watchdog::Off;
  }
  CProcessingDlg dialog(this);
  dialog.RunProcess(*process, watchdog);
  if (dialog.Abandoned()) {
    // The worker may still write into the document; it is left to end by itself.
    AppLog().WriteLine("WARNING: The import process was abandoned");
    (void)process.release();
    return {};
  }
  std::vector<uint32_t> created = process->Created();
  bool batch = kind == ImportKind::Notes || kind == ImportKind::Images;
  const std::vector<std::string>& skipped = process->Skipped();
  if (batch && !skipped.empty() && process->GetIndex() == paths.size()) {
    // The batch import skips files it cannot read (one that vanished since it was chosen, one
    // no importer takes) without a word; the user hears of them here, once, by name.
    std::string text = std::to_string(skipped.size()) + " of " + std::to_string(paths.size()) +
                       " file(s) could not be imported:";
    for (const std::string& path : skipped) text += "\n" + path;
    AppLog().WriteLine(text);
    Warn(text);
  }
  m_tabsView->NodeTree()->RebuildTree(kind == ImportKind::ForeignData || kind == ImportKind::Html);
  return created;
}

void CChildFrame::ExportNode(uint32_t nodeId) {
  CMlfNode node;
  if (!node.Attach(m_document.get(), nodeId)) return;
  QString filters;
  QString name = FromStored(node.GetTitle());
  switch (node.GetType()) {
    case ntNote: {
      CTextConvLib converters(m_document->GetEnv());
      converters.LoadConverters();
      filters = DialogFilters(converters.ExportFilter());
      name += QStringLiteral(".rtf");
      break;
    }
    case ntImage: {
      QStringList list;
      for (const auto& [entry, code] : kPictureExports) list << DialogFilter(entry.text, entry.pattern);
      filters = list.join(QStringLiteral(";;"));
      break;
    }
    default: filters = DialogFilters(kAllFiles);
  }
  QString chosenFilter;
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export"), name, filters, &chosenFilter);
  if (path.isEmpty()) return;
  int imageFormat = 0;
  for (const auto& [entry, code] : kPictureExports)
    if (node.GetType() == ntImage && chosenFilter.startsWith(QString::fromStdString(entry.text))) imageFormat = code;
  bool asText = node.GetType() == ntNote && chosenFilter.startsWith(QStringLiteral("Plain Text"));
  ExportNodeTo(nodeId, path, imageFormat, asText);
}

bool CChildFrame::ExportNodeTo(uint32_t nodeId, const QString& path, int imageFormat, bool asText) {
  CNodeSingleExport process(*m_document, nodeId, path.toStdString(), imageFormat, asText);
  CProcessingDlg dialog(this);
  dialog.RunProcess(process);
  if (process.Succeeded()) return true;
  std::string text = "Could not export to '" + path.toStdString() + "'.";
  if (!process.Reason().empty()) text += "\n\n" + process.Reason();
  AppLog().WriteLine(text);
  Warn(text);
  return false;
}

void CChildFrame::BatchExport() {
  QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Select the export destination:"));
  if (folder.isEmpty()) return;
  BatchExportTo(folder);
}

bool CChildFrame::BatchExportTo(const QString& folder) {
  CNodeBatchExport process(*m_document, folder.toStdString());
  CProcessingDlg dialog(this);
  bool completed = dialog.RunProcess(process) == QDialog::Accepted;
  const ExportTally& tally = process.Tally();
  if (completed && tally.failed.empty()) return true;
  // Each failure was asked about as it happened; the totals come once at the end.
  std::string text = std::to_string(tally.written) + " of " + std::to_string(process.GetCount()) +
                     " node(s) exported to " + folder.toStdString() + ".";
  if (!tally.failed.empty()) text += "\n" + std::to_string(tally.failed.size()) + " node(s) failed.";
  if (!completed) text += "\nThe export was cancelled.";
  AppLog().WriteLine(text);
  Warn(text);
  return false;
}

void CChildFrame::Refresh() { m_tabsView->NodeTree()->RebuildTree(false); }

void CChildFrame::ToggleTaskBar() {
  m_taskBar->setVisible(!m_taskBar->isVisible());
  Q_EMIT StateChanged();
}

void CChildFrame::OnOptionsChanged() {
  if (m_imageView) m_imageView->OnOptionsChanged();
  if (m_richEditView) m_richEditView->OnOptionsChanged();
  m_tabsView->NodeTree()->OnOptionsChanged();
  m_tabsView->BookmarkList()->OnOptionsChanged();
}

void CChildFrame::SwitchToTab(int index) {
  m_tabsView->SwitchToTab(index);
  Q_EMIT StateChanged();
}

bool CChildFrame::CanClose() {
  if (!StoreOpenNode()) return false;
  if (!m_document->IsModified()) return true;
  std::string question = "Save changes to " + DocumentTitle().toStdString() + "?";
  switch (AppPrompts().Message(question, kAppCaption, MessageIcon::Question, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes: return Save();
    case MessageAnswer::No: return true;
    default: return false;
  }
}

bool CChildFrame::AskToReopenChangedFile() {
  if (!m_document->ChangedOnDisk()) return false;
  std::string path = m_document->GetPathName();
  std::optional<FileStamp> change = m_document->GetEnv().Stamp(path);
  if (change == m_noticedChange) return false;
  m_noticedChange = change;
  std::string text = "'" + path + "' was changed by another program.\n\n";
  if (m_document->IsModified()) {
    AppPrompts().Message(text + "Your changes are not saved yet. Saving will ask whether to overwrite the file or "
                                "to save your version to another file.",
                         kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
  }
  return AppPrompts().Message(text + "Do you want to reopen it?", kAppCaption, MessageIcon::Question,
                              MessageButtons::YesNo) == MessageAnswer::Yes;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (!CanClose()) {
    event->ignore();
    return;
  }
  Q_EMIT Closing();
  event->accept();
}

void CChildFrame::FocusOtherPane() {
  QWidget* list = m_tabsView->CurrentList();
  QWidget* focus = QApplication::focusWidget();
  bool inList = focus && (focus == list || list->isAncestorOf(focus));
  QWidget* content = m_splitter->count() > 1 ? m_splitter->widget(1) : nullptr;
  if (inList && content) content->setFocus();
  else list->setFocus();
}

bool CChildFrame::focusNextPrevChild(bool) {
  FocusOtherPane();
  return true;
}

void CChildFrame::FileProperties() {
  if (RunFileProperties(*m_document, DialogFilters(kImageFilters), this)) m_tabsView->NodeTree()->RebuildTree(false);
}

void CChildFrame::RefreshNode(uint32_t nodeId) { m_tabsView->NodeTree()->RefreshItem(nodeId); }

void CChildFrame::RefreshTask(uint32_t taskId) { m_taskList->UpdateTaskRow(taskId); }

void CChildFrame::RefreshLogo() {
  if (m_blankView) m_blankView->RefreshLogo();
}

bool CChildFrame::PrepareForSave() {
  StoreOpenNode();
  return !m_taskBar->isHidden();
}

void CChildFrame::ModifiedChanged(bool modified) {
  // The flag may change on a worker thread; the window hears of it on its own.
  QMetaObject::invokeMethod(
      this,
      [this, modified] {
        setWindowModified(modified);
        Q_EMIT ModifiedFlagChanged();
      },
      Qt::AutoConnection);
}

void CChildFrame::OnDocumentLoaded() {
  m_taskBar->setVisible(m_document->GetHeader().viewFlags & kViewTaskBar);
  m_tabsView->NodeTree()->RebuildTree(false);
  m_tabsView->BookmarkList()->FillBookmarks();
  m_taskList->FillTasks();
  RefreshLogo();  // the blank view was made before the file brought its logo
  setWindowTitle(DocumentTitle() + QStringLiteral("[*]"));
  Q_EMIT StateChanged();
}

}  // namespace mlf

