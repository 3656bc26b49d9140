// CFindNodesDlg: "Find in Nodes", the modeless tool window that searches every node of the
// active document for a query (titles, keywords, note text). The search runs on NodeSearch's
// workers; a 50 ms timer moves the published matches into the list, so rows appear while the
// search runs. A chosen row opens in its document window with the first occurrence of the query
// selected in the note.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "search/query.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace mlf {

class CChildFrame;
class NodeSearch;

// The queries of Find in Nodes, most recent first, kept for the life of the process.
QStringList& FindQueryHistory();

class CFindNodesDlg : public QDialog {
  Q_OBJECT
 public:
  // activeFrame names the document window whose document Find Now searches.
  explicit CFindNodesDlg(std::function<CChildFrame*()> activeFrame, QWidget* parent = nullptr);
  ~CFindNodesDlg() override;

  // The document window is closing: a search of its document stops and the list empties.
  void NotifyFrameClosed(CChildFrame* frame);

  // The controls, named for tests and the main window.
  QComboBox* QueryBox() const { return m_query; }
  QComboBox* ModeBox() const { return m_mode; }
  QCheckBox* TitlesBox() const { return m_titles; }
  QCheckBox* KeywordsBox() const { return m_keywords; }
  QCheckBox* ContentBox() const { return m_content; }
  QPushButton* FindNowButton() const { return m_findNow; }
  QPushButton* StopButton() const { return m_stop; }
  QTreeWidget* Results() const { return m_results; }
  QLabel* StatusLabel() const { return m_statusLabel; }
  QProgressBar* ProgressBar() const { return m_progress; }
  bool Searching() const { return m_search != nullptr; }

  void FindNow();
  void StopSearch();
  // << and >>: the previous or next row (wrapping), opened.
  void StepResult(bool forward);
  // < and >: the selected row opened and the previous or next occurrence selected.
  void OpenSelected(bool forward);

  // Selects the nearest occurrence of the query in the editor from its selection on (or back),
  // wrapping once; false when there is none, the selection then unchanged.
  static bool SelectOccurrence(QTextEdit& editor, const std::vector<std::string>& words, bool forward);

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void RestoreSettings();
  void SaveSettings();
  void FillQueryCombo();
  void OnTick();
  void EndSearch();
  void ShowStatus(const QString& text);
  void AddRow(uint32_t nodeId);
  void Warn(const QString& text);

  std::function<CChildFrame*()> m_activeFrame;
  QComboBox* m_query;
  QComboBox* m_mode;
  QCheckBox* m_titles;
  QCheckBox* m_keywords;
  QCheckBox* m_content;
  QPushButton* m_findNow;
  QPushButton* m_stop;
  QPushButton* m_close;
  QTreeWidget* m_results;
  QLabel* m_statusLabel;
  QProgressBar* m_progress;
  int m_timerId = 0;
  bool m_stopping = false;  // Stop was pressed: no further rows are shown

  // The running or last search: its frame (null once the frame closed), its query's words.
  QPointer<CChildFrame> m_frame;
  SearchQuery m_lastQuery;
  std::unique_ptr<NodeSearch> m_search;

  void timerEvent(QTimerEvent* event) override;
};

}  // namespace mlf
