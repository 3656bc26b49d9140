#include "modules/quarnspellcheck/typing_checker.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include "modules/quarnspellcheck/misspelt_words.h"
#include "modules/quarnspellcheck/module_state.h"
#include "modules/quarnspellcheck/speller.h"

namespace quarnspell {
namespace {

constexpr const char* kOptInProperty = "quarnSpellCheckAsYouType";
// Tells our extra selections from those of others, which are kept.
constexpr int kMarkProperty = QTextFormat::UserProperty + 0x5173;
constexpr int kMostSuggestions = 8;

bool IsMark(const QTextEdit::ExtraSelection& selection) { return selection.format.hasProperty(kMarkProperty); }

QList<QTextEdit::ExtraSelection> OthersSelections(const QTextEdit& editor) {
  QList<QTextEdit::ExtraSelection> kept = editor.extraSelections();
  kept.removeIf(IsMark);
  return kept;
}

QTextCharFormat MarkFormat() {
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  format.setUnderlineColor(Qt::red);
  format.setProperty(kMarkProperty, true);
  return format;
}

}  // namespace

TypingChecker::TypingChecker(QTextEdit& editor, ModuleState& state)
    : QObject(&editor), m_editor(editor), m_state(state) {
  m_pending.setSingleShot(true);
  m_pending.setInterval(0);
  connect(&m_pending, &QTimer::timeout, this, &TypingChecker::MarkVisibleWords);
  connect(editor.document(), &QTextDocument::contentsChanged, this, &TypingChecker::Refresh);
  connect(&editor, &QTextEdit::textChanged, this, &TypingChecker::Refresh);  // a new document
  connect(editor.verticalScrollBar(), &QScrollBar::valueChanged, this, &TypingChecker::Refresh);
  connect(editor.horizontalScrollBar(), &QScrollBar::valueChanged, this, &TypingChecker::Refresh);
  editor.installEventFilter(this);
  editor.viewport()->installEventFilter(this);
  Refresh();
}

void TypingChecker::ClearMarks() { m_editor.setExtraSelections(OthersSelections(m_editor)); }

int TypingChecker::MarkVisibleWords() {
  QList<QTextEdit::ExtraSelection> selections = OthersSelections(m_editor);
  QString error;
  const QString& language = m_state.Settings().language;
  const bool wanted = m_state.Settings().checkAsYouType && m_editor.property(kOptInProperty).toBool();
  Speller* speller = wanted ? m_state.SpellerFor(language, error) : nullptr;
  if (wanted && !speller) m_state.ReportMissingDictionary(language, error, &m_editor);
  int marked = 0;
  if (speller) {
    const QRect area = m_editor.viewport()->rect();
    QTextBlock last = m_editor.cursorForPosition(area.bottomRight()).block();
    const QTextCharFormat format = MarkFormat();
    for (QTextBlock block = m_editor.cursorForPosition(area.topLeft()).block(); block.isValid(); block = block.next()) {
      ForEachWord(block.text(), [&](int start, int length, const QString& word) {
        if (!m_state.IsMisspelt(*speller, word)) return true;
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + start);
        cursor.setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
        selections.append({cursor, format});
        ++marked;
        return true;
      });
      if (block == last) break;
    }
  }
  m_editor.setExtraSelections(selections);
  return marked;
}

QTextCursor TypingChecker::MisspeltWordAt(const QPoint& point) const {
  QTextCursor at = m_editor.cursorForPosition(point);
  for (const QTextEdit::ExtraSelection& selection : m_editor.extraSelections()) {
    if (!IsMark(selection)) continue;
    const QTextCursor& word = selection.cursor;
    if (at.position() >= word.selectionStart() && at.position() <= word.selectionEnd()) return word;
  }
  return {};
}

bool TypingChecker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ContextMenu:
      // The editor makes its menu next; the word's actions join it when it shows.
      if (watched == m_editor.viewport()) m_menuWord = MisspeltWordAt(static_cast<QContextMenuEvent*>(event)->pos());
      break;
    case QEvent::ChildAdded:
      // The child is still being made, so whether it is the menu shows only when it shows.
      if (QObject* child = static_cast<QChildEvent*>(event)->child();
          watched == &m_editor && !m_menuWord.isNull() && child->isWidgetType())
        child->installEventFilter(this);
      break;
    case QEvent::Show:
      if (watched != &m_editor && watched != m_editor.viewport()) {
        watched->removeEventFilter(this);
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu && !m_menuWord.isNull()) {
          AddWordActions(*menu);
          m_menuWord = QTextCursor();
        }
      }
      break;
    case QEvent::Resize:
      if (watched == m_editor.viewport()) Refresh();
      break;
    default:
      break;
  }
  return false;
}

void TypingChecker::AddWordActions(QMenu& menu) {
  QAction* first = menu.actions().value(0);
  const QTextCursor word = m_menuWord;
  const QString text = word.selectedText();
  QString error;
  Speller* speller = m_state.SpellerFor(m_state.Settings().language, error);
  QList<QAction*> added;
  const QStringList suggestions = speller ? speller->Suggestions(text).mid(0, kMostSuggestions) : QStringList();
  for (const QString& suggestion : suggestions) {
    auto* action = new QAction(suggestion, &menu);
    connect(action, &QAction::triggered, &m_editor, [word, suggestion] { QTextCursor(word).insertText(suggestion); });
    added << action;
  }
  if (suggestions.isEmpty()) {
    auto* none = new QAction("(no suggestions)", &menu);
    none->setEnabled(false);
    added << none;
  }
  auto* separator = new QAction(&menu);
  separator->setSeparator(true);
  auto* ignoreAll = new QAction("Ignore All", &menu);
  auto* add = new QAction("Add to Dictionary", &menu);
  auto* after = new QAction(&menu);
  after->setSeparator(true);
  ModuleState* state = &m_state;
  connect(ignoreAll, &QAction::triggered, &m_editor, [state, text] { state->Ignore(text); });
  connect(add, &QAction::triggered, &m_editor, [state, text] { state->AddPersonalWord(text); });
  added << separator << ignoreAll << add;
  if (first) added << after;
  menu.insertActions(first, added);
}

TypingWatcher::TypingWatcher(ModuleState& state) : m_state(state) { qApp->installEventFilter(this); }

TypingWatcher::~TypingWatcher() {
  if (qApp) qApp->removeEventFilter(this);
  // The module is about to go: nothing of it may stay behind in the editors.
  for (const QPointer<TypingChecker>& checker : m_checkers) {
    if (!checker) continue;
    checker->ClearMarks();
    delete checker.data();
  }
}

void TypingWatcher::RefreshAll() {
  for (const QPointer<TypingChecker>& checker : m_checkers)
    if (checker) checker->Refresh();
}

bool TypingWatcher::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show) return false;
  auto* editor = qobject_cast<QTextEdit*>(watched);
  if (!editor || !editor->property(kOptInProperty).toBool() || editor->findChild<TypingChecker*>(QString(), Qt::FindDirectChildrenOnly))
    return false;
  m_checkers.removeAll(nullptr);
  m_checkers << new TypingChecker(*editor, m_state);
  return false;
}

}  // namespace quarnspell
