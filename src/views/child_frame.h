// CChildFrame: the window of one open document. Left the tabs view with the node tree and the
// bookmarks list, right the content pane (the blank view, or the view of the open node), and
// the "Tasks" bar below. It owns the act of opening a node and the document's own commands.
#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/env.h"
#include "store/document_observer.h"
#include "views/mlf_rich_edit_view_ex.h"
#include "views/temporary_files.h"
#include "tree/tree_host.h"

class QDockWidget;
class QSplitter;
class QTreeWidget;

namespace mlf {

class CBlankAreaView;
class CMarrowleafDoc;
class CMlfHtmlView;
class CMlfScrollView;
class CMlfTabsView;
class CTaskCtrl;

class CChildFrame : public QMainWindow, public DocumentObserver, public TreeHost {
  Q_OBJECT
 public:
  // Takes the document; the window shows it from now on and lives as long as it.
  CChildFrame(std::unique_ptr<CMarrowleafDoc> document, const QString& untitledName, QWidget* parent = nullptr);
  ~CChildFrame() override;

  CMarrowleafDoc& Document() const { return *m_document; }
  CMlfTabsView* TabsView() const { return m_tabsView; }
  CBlankAreaView* BlankView() const { return m_blankView; }
  CMlfRichEditViewEx* RichEditView() const { return m_richEditView; }
  CMlfScrollView* ImageView() const { return m_imageView; }
  CMlfHtmlView* HtmlView() const { return m_htmlView; }
  // The temporary pages of the HTML nodes shown so far; they go with the window.
  const TemporaryFiles& TempFiles() const { return m_tempFiles; }
  int64_t ActiveNodeId() const { return m_activeNodeId; }
  QDockWidget* TaskBar() const { return m_taskBar; }
  CTaskCtrl* TaskList() const { return m_taskList; }
  // The file's name, or the untitled name of a new document.
  QString DocumentTitle() const;

  // The RTF writer of the note editors opened from now on; the RTF engine's unless a test
  // hands in another.
  void SetNoteWriter(CMlfRichEditViewEx::RtfWriter writer) { m_noteWriter = std::move(writer); }

  bool ActivateNode(bool open, int64_t nodeId) override;
  void ImportFiles(ImportKind kind, uint32_t parentId) override;
  void ImportDroppedFiles(uint32_t parentId, const std::vector<std::string>& files) override;
  void ExportNode(uint32_t nodeId) override;
  // Batch Export: asks for a folder and exports the whole document into it.
  void BatchExport();

  // The imports and exports with the files the dialogs would give, under the progress dialog.
  // The import rebuilds the tree and returns the nodes it made.
  std::vector<uint32_t> ImportChosenFiles(ImportKind kind, uint32_t parentId, const QStringList& files);
  // imageFormat: the picture format code of an image (0 as stored); asText writes a note as
  // plain text. False when it failed (the user told why).
  bool ExportNodeTo(uint32_t nodeId, const QString& path, int imageFormat = 0, bool asText = false);
  // False when a node failed or the user stopped the export (the user told the totals).
  bool BatchExportTo(const QString& folder);
  // Writes the open note back into the document; false (and the user told) when it could not
  // be written.
  bool StoreOpenNode() override;
  // Brings the window forward, selects the node's tree entry on the "Main" tab and, with open,
  // opens it; nothing when the node has no entry.
  void ShowNode(uint32_t nodeId, bool open);

  // The document window's commands.
  bool Save();
  bool SaveAs();
  void Refresh();
  void ToggleTaskBar();
  // File > "Properties": the sheet, then the tree in the new sort order.
  void FileProperties();
  void SwitchToTab(int index);
  // Tab, F6 and Shift+F6: the focus moves between the list of the selected tab and the content
  // pane.
  void FocusOtherPane();
  // The options sheet closed: the views read their settings again.
  void OnOptionsChanged();
  // Before the window closes: stores the open note and asks whether to save a modified
  // document. False when the note could not be stored, the user cancelled or the save failed.
  bool CanClose();
  // When another program changed the document's file, tells the user so, once per change: an
  // unmodified document is offered to be read again (true when the user wants that), a
  // modified one is only told that saving will ask.
  bool AskToReopenChangedFile();

  // DocumentObserver
  void RefreshNode(uint32_t nodeId) override;
  void RefreshTask(uint32_t taskId) override;
  void RefreshLogo() override;
  bool PrepareForSave() override;
  void OnDocumentLoaded() override;
  void ModifiedChanged(bool modified) override;

 Q_SIGNALS:
  // The title, the modified state or a command's state changed (a note editor came or went).
  void StateChanged();
  // The document's modified flag changed; the window's modified mark shows it already.
  void ModifiedFlagChanged();
  // The window has agreed to close.
  void Closing();
  // The open note was written back into the document because another node is being opened.
  void NoteStored();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void ShowBlankView();
  void ReplaceContentView(QWidget* view);
  bool SaveTo(const QString& path);

  std::unique_ptr<CMarrowleafDoc> m_document;
  TemporaryFiles m_tempFiles;
  QString m_untitledName;
  QSplitter* m_splitter;
  CMlfTabsView* m_tabsView;
  CBlankAreaView* m_blankView = nullptr;
  CMlfRichEditViewEx* m_richEditView = nullptr;
  CMlfRichEditViewEx::RtfWriter m_noteWriter;
  CMlfScrollView* m_imageView = nullptr;
  CMlfHtmlView* m_htmlView = nullptr;
  int64_t m_activeNodeId = -1;
  std::optional<FileStamp> m_noticedChange;  // the change of the file on disk the user was told of
  QDockWidget* m_taskBar;
  CTaskCtrl* m_taskList;
};

}  // namespace mlf
