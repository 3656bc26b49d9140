#include "dialogs/find_nodes_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "search/node_search.h"
#include "store/document.h"
#include "store/node.h"
#include "store/prompts.h"
#include "tree/tree_images.h"
#include "views/child_frame.h"
#include "widgets/stored_text.h"

namespace mlf {
namespace {

constexpr const char* kCaption = "Find in Nodes";
constexpr int kTickMs = 50;
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 250;

void AddToHistory(const QString& text) {
  QStringList& history = FindQueryHistory();
  history.removeOne(text);
  history.prepend(text);
}

// The occurrence of any word nearest to from in the direction, or a null cursor.
QTextCursor Nearest(const QTextDocument& document, const std::vector<std::string>& words, int from, bool forward) {
  QTextCursor best;
  QTextDocument::FindFlags flags = forward ? QTextDocument::FindFlags() : QTextDocument::FindBackward;
  for (const std::string& word : words) {
    QTextCursor hit = document.find(QString::fromStdString(word), from, flags);
    if (hit.isNull()) continue;
    if (best.isNull() || (forward ? hit.selectionStart() < best.selectionStart()
                                  : hit.selectionStart() > best.selectionStart()))
      best = hit;
  }
  return best;
}

}  // namespace

QStringList& FindQueryHistory() {
  static QStringList history;
  return history;
}

CFindNodesDlg::CFindNodesDlg(std::function<CChildFrame*()> activeFrame, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_activeFrame(std::move(activeFrame)) {
  setObjectName(QStringLiteral("FindInNodes"));
  setWindowTitle(QString::fromLatin1(kCaption));
  setModal(false);
  setSizeGripEnabled(true);
  BuildControls();
  setMinimumSize(kMinWidth, kMinHeight);
  resize(kMinWidth, kMinHeight);
  RestoreSettings();
  m_query->setFocus();
  m_query->lineEdit()->selectAll();
}

CFindNodesDlg::~CFindNodesDlg() = default;  // a running search stops and is joined

void CFindNodesDlg::BuildControls() {
  m_query = new QComboBox;
  m_query->setEditable(true);
  m_query->setInsertPolicy(QComboBox::NoInsert);
  m_query->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  m_mode = new QComboBox;
  m_mode->addItems({QStringLiteral("All Words"), QStringLiteral("Any Words"), QStringLiteral("Exact Phrase")});
  m_titles = new QCheckBox(QStringLiteral("Titles"));
  m_keywords = new QCheckBox(QStringLiteral("Keywords"));
  m_content = new QCheckBox(QStringLiteral("Content"));
  m_findNow = new QPushButton(QStringLiteral("&Find Now"));
  m_stop = new QPushButton(QStringLiteral("&Stop"));
  m_close = new QPushButton(QStringLiteral("Close"));
  m_stop->setEnabled(false);
  m_findNow->setDefault(true);

  // The arrows say little to a screen reader; each also carries what it does.
  auto stepButton = [this](const char* text, const char* name, auto slot) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setAccessibleName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(28);
    connect(button, &QPushButton::clicked, this, slot);
    return button;
  };
  QPushButton* previousResult = stepButton("<<", "Previous result", [this] { StepResult(false); });
  QPushButton* nextResult = stepButton(">>", "Next result", [this] { StepResult(true); });
  QPushButton* previousHit = stepButton("<", "Previous occurrence", [this] { OpenSelected(false); });
  QPushButton* nextHit = stepButton(">", "Next occurrence", [this] { OpenSelected(true); });

  m_results = new QTreeWidget;
  m_results->setAccessibleName(QStringLiteral("Results"));
  m_results->setHeaderLabels({QStringLiteral("Node")});
  m_results->setRootIsDecorated(false);
  m_results->setSelectionMode(QAbstractItemView::SingleSelection);
  m_results->setAllColumnsShowFocus(true);
  m_results->setUniformRowHeights(true);
  m_results->header()->setStretchLastSection(true);
  m_results->installEventFilter(this);
  connect(m_results, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelected(true); });

  auto* status = new QStatusBar;
  status->setSizeGripEnabled(false);
  m_statusLabel = new QLabel(QStringLiteral("Ready"));
  m_progress = new QProgressBar;
  m_progress->setRange(0, 1000);
  m_progress->setTextVisible(false);
  m_progress->setMaximumHeight(14);
  status->addWidget(m_statusLabel);
  status->addWidget(m_progress, 1);

  auto* dataBox = new QGroupBox(QStringLiteral("Data to search"));
  auto* dataLayout = new QHBoxLayout(dataBox);
  for (QCheckBox* box : {m_titles, m_keywords, m_content}) dataLayout->addWidget(box);

  auto* top = new QGridLayout;
  // The query box has no text of its own to be read out; it carries its label's.
  m_query->setAccessibleName(QStringLiteral("Keywords:"));
  top->addWidget(new QLabel(QStringLiteral("Keywords:")), 0, 0);
  auto* queryRow = new QHBoxLayout;
  queryRow->addWidget(m_query, 1);
  queryRow->addSpacing(6);
  queryRow->setSpacing(4);
  for (QPushButton* button : {previousResult, nextResult, previousHit, nextHit}) queryRow->addWidget(button);
  top->addLayout(queryRow, 0, 1, 1, 2);
  top->addWidget(new QLabel(QStringLiteral("Mode:")), 1, 0);
  top->addWidget(m_mode, 1, 1);
  top->addWidget(dataBox, 2, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {m_findNow, m_stop, m_close}) buttons->addWidget(button);
  buttons->addStretch();
  top->addLayout(buttons, 1, 2, 2, 1);
  top->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 1, 0);
  layout->addLayout(top);
  layout->addWidget(m_results, 1);
  layout->addWidget(status);

  connect(m_findNow, &QPushButton::clicked, this, &CFindNodesDlg::FindNow);
  connect(m_stop, &QPushButton::clicked, this, &CFindNodesDlg::StopSearch);
  connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void CFindNodesDlg::RestoreSettings() {
  const MlfSettings& settings = AppSettings();
  int mode = settings.searchMode;
  m_mode->setCurrentIndex(mode >= 0 && mode <= 2 ? mode : 0);
  m_titles->setChecked(settings.dataSearchOptions & kSearchTitles);
  m_keywords->setChecked(settings.dataSearchOptions & kSearchKeywords);
  m_content->setChecked(settings.dataSearchOptions & kSearchContent);
  const ScreenRect& rect = settings.findInNodesRect;
  if (rect.top != 0 || rect.left != 0) {
    move(rect.left, rect.top);
    resize(std::max(kMinWidth, rect.right - rect.left), std::max(kMinHeight, rect.bottom - rect.top));
  } else if (parentWidget()) {
    move(parentWidget()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
  }
  FillQueryCombo();
  if (m_query->count() > 0) m_query->setCurrentIndex(0);
}

void CFindNodesDlg::SaveSettings() {
  MlfSettings& settings = AppSettings();
  QRect frame = frameGeometry();
  settings.findInNodesRect = {frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1};
  settings.dataSearchOptions = (m_titles->isChecked() ? kSearchTitles : 0u) |
                               (m_keywords->isChecked() ? kSearchKeywords : 0u) |
                               (m_content->isChecked() ? kSearchContent : 0u);
  settings.searchMode = m_mode->currentIndex();
}

void CFindNodesDlg::FillQueryCombo() {
  QLineEdit* edit = m_query->lineEdit();
  QString text = edit->text();
  int start = edit->selectionStart();
  int length = edit->selectionLength();
  int cursor = edit->cursorPosition();
  m_query->clear();
  m_query->addItems(FindQueryHistory());
  edit->setText(text);
  if (start >= 0) edit->setSelection(start, length);
  else edit->setCursorPosition(cursor);
}

void CFindNodesDlg::Warn(const QString& text) {
  AppPrompts().Message(text.toStdString(), kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

void CFindNodesDlg::ShowStatus(const QString& text) { m_statusLabel->setText(text); }

void CFindNodesDlg::FindNow() {
  if (m_search) return;  // one search at a time
  CChildFrame* frame = m_activeFrame ? m_activeFrame() : nullptr;
  if (!frame) {
    Warn(QStringLiteral("No data available for search"));
    return;
  }
  QString typed = m_query->currentText();
  m_query->lineEdit()->selectAll();
  m_query->setFocus();
  // Kept as typed, even when it is only spaces.
  AddToHistory(typed);
  FillQueryCombo();
  AppSettings().searchMode = m_mode->currentIndex();

  SearchQuery query;
  query.text = TrimSpaces(typed.toStdString());
  if (query.text.empty()) {
    Warn(QStringLiteral("Please enter a query"));
    return;
  }
  query.mode = SearchMode(m_mode->currentIndex());
  query.titles = m_titles->isChecked();
  query.keywords = m_keywords->isChecked();
  query.content = m_content->isChecked();

  m_results->clear();
  m_findNow->setEnabled(false);
  m_close->setEnabled(false);
  m_stop->setEnabled(true);
  m_frame = frame;
  m_lastQuery = query;
  m_progress->setValue(0);
  ShowStatus(QStringLiteral("0% Complete"));
  m_search = std::make_unique<NodeSearch>(frame->Document(), query);
  m_search->Start();
  m_timerId = startTimer(kTickMs);
}

void CFindNodesDlg::StopSearch() {
  if (!m_search) return;
  m_search->Stop();
  m_stopping = true;
  ShowStatus(QStringLiteral("Cancelling Search..."));
}

void CFindNodesDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timerId) OnTick();
  else QDialog::timerEvent(event);
}

void CFindNodesDlg::OnTick() {
  if (!m_search) return;
  bool finished = m_search->Finished();  // read first: results taken after it are complete
  if (!m_stopping) {
    for (uint32_t id : m_search->TakeResults()) AddRow(id);
    m_progress->setValue(m_search->Progress());
    ShowStatus(QStringLiteral("%1% Complete").arg(m_search->Progress() * 100 / 1000));
  }
  if (finished) {
    if (!m_stopping) m_progress->setValue(1000);
    EndSearch();
  }
}

void CFindNodesDlg::EndSearch() {
  if (m_timerId) killTimer(m_timerId);
  m_timerId = 0;
  m_search.reset();
  m_stopping = false;
  ShowStatus(QStringLiteral("Ready"));
  m_progress->setValue(0);
  m_findNow->setEnabled(true);
  m_close->setEnabled(true);
  m_stop->setEnabled(false);
  if (!m_frame) m_results->clear();
}

void CFindNodesDlg::AddRow(uint32_t nodeId) {
  if (!m_frame) return;
  CMlfNode node;
  if (!node.Attach(&m_frame->Document(), nodeId)) return;  // deleted since it matched
  auto* row = new QTreeWidgetItem(m_results, {FromStored(node.GetTitle())});
  row->setData(0, Qt::UserRole, qulonglong(nodeId));
  row->setIcon(0, TreeImages::Instance().Icon(TreeImage(node.Record().nIcon), NodeOverlay(node.Record(), node.HasTask())));
}

void CFindNodesDlg::NotifyFrameClosed(CChildFrame* frame) {
  if (!frame || frame != m_frame) return;
  m_frame = nullptr;
  // The search reads the frame's document, which goes with the frame: it ends here.
  if (m_search) {
    m_search->Stop();
    m_search->Wait();
    EndSearch();
  }
  m_results->clear();
}

void CFindNodesDlg::OpenSelected(bool forward) {
  QTreeWidgetItem* row = m_results->currentItem();
  if (!row || !row->isSelected()) row = m_results->selectedItems().value(0);
  if (!row) return;
  uint32_t nodeId = row->data(0, Qt::UserRole).toUInt();
  CMlfNode node;
  if (!m_frame || !node.Attach(&m_frame->Document(), nodeId)) {
    Warn(QStringLiteral("Cannot find node '%1' - it may have been moved or deleted.").arg(row->text(0)));
    return;
  }
  CChildFrame* frame = m_frame;
  frame->ShowNode(nodeId, !node.IsFolder());
  if (QTextEdit* editor = frame->RichEditView(); editor && frame->ActiveNodeId() == int64_t(nodeId))
    SelectOccurrence(*editor, QueryWords(m_lastQuery.text, m_lastQuery.mode), forward);
  m_results->setFocus();
}

bool CFindNodesDlg::SelectOccurrence(QTextEdit& editor, const std::vector<std::string>& words, bool forward) {
  const QTextDocument& document = *editor.document();
  QTextCursor selection = editor.textCursor();
  int start = selection.selectionStart();
  int end = selection.selectionEnd();
  QTextCursor hit = Nearest(document, words, forward ? end : start, forward);
  // Wrap once: from the start (unless the range began there), or back from the end.
  if (hit.isNull() && forward && end > 0) hit = Nearest(document, words, 0, true);
  if (hit.isNull() && !forward) hit = Nearest(document, words, document.characterCount() - 1, false);
  if (hit.isNull()) return false;
  editor.setTextCursor(hit);
  editor.ensureCursorVisible();
  return true;
}

void CFindNodesDlg::StepResult(bool forward) {
  int count = m_results->topLevelItemCount();
  if (count == 0) return;
  QTreeWidgetItem* current = m_results->selectedItems().value(0);
  int index = current ? m_results->indexOfTopLevelItem(current) : -1;
  if (index < 0) index = forward ? 0 : count - 1;
  else index = (index + (forward ? 1 : count - 1)) % count;
  QTreeWidgetItem* row = m_results->topLevelItem(index);
  m_results->setCurrentItem(row);
  row->setSelected(true);
  m_results->scrollToItem(row);
  OpenSelected(true);
}

bool CFindNodesDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_results && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space:
        OpenSelected(true);
        return true;
      case Qt::Key_Left:
      case Qt::Key_Right:
        if (key->modifiers() & Qt::ShiftModifier) {
          OpenSelected(key->key() == Qt::Key_Right);
          return true;
        }
        break;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CFindNodesDlg::done(int result) {
  // Escape, Close and the close box end here; a running search is stopped first.
  if (m_search) {
    m_search->Stop();
    m_search->Wait();
    EndSearch();
  }
  SaveSettings();
  QDialog::done(result);
}

}  // namespace mlf
