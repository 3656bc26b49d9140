#include "dialogs/find_replace_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace mlf {

CFindReplaceDlg::CFindReplaceDlg(bool replace, QWidget* parent)
    : QDialog(parent),
      m_replace(replace),
      m_find(new QLineEdit(this)),
      m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word only"), this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_up(new QRadioButton(QStringLiteral("&Up"), this)),
      m_down(new QRadioButton(QStringLiteral("&Down"), this)),
      m_findNext(new QPushButton(QStringLiteral("&Find Next"), this)) {
  setWindowTitle(QString::fromLatin1(replace ? "Replace" : "Find"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  m_find->setMinimumWidth(200);

  auto* fields = new QGridLayout;
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
  findLabel->setBuddy(m_find);
  fields->addWidget(findLabel, 0, 0);
  fields->addWidget(m_find, 0, 1);
  if (replace) {
    m_replaceWith = new QLineEdit(this);
    auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    replaceLabel->setBuddy(m_replaceWith);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replaceWith, 1, 1);
  }
  auto* options = new QHBoxLayout;
  auto* checks = new QVBoxLayout;
  checks->addWidget(m_wholeWord);
  checks->addWidget(m_matchCase);
  checks->addStretch();
  options->addLayout(checks);
  auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
  auto* directionLayout = new QHBoxLayout(direction);
  directionLayout->addWidget(m_up);
  directionLayout->addWidget(m_down);
  m_down->setChecked(true);
  // Replacing always goes down.
  direction->setVisible(!replace);
  options->addWidget(direction);

  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addLayout(options);
  auto* buttons = new QVBoxLayout;
  m_findNext->setDefault(true);
  buttons->addWidget(m_findNext);
  connect(m_findNext, &QPushButton::clicked, this, &CFindReplaceDlg::FindNextRequested);
  if (replace) {
    m_replaceOne = new QPushButton(QStringLiteral("&Replace"), this);
    m_replaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
    buttons->addWidget(m_replaceOne);
    buttons->addWidget(m_replaceAll);
    connect(m_replaceOne, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceRequested);
    connect(m_replaceAll, &QPushButton::clicked, this, &CFindReplaceDlg::ReplaceAllRequested);
  }
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(m_find, &QLineEdit::textChanged, this, &CFindReplaceDlg::UpdateButtons);
  UpdateButtons();
}

void CFindReplaceDlg::SetTexts(const QString& find, const QString& replace) {
  m_find->setText(find);
  m_find->selectAll();
  if (m_replaceWith) m_replaceWith->setText(replace);
}

void CFindReplaceDlg::SetOptions(bool matchCase, bool wholeWord, bool down) {
  m_matchCase->setChecked(matchCase);
  m_wholeWord->setChecked(wholeWord);
  (down ? m_down : m_up)->setChecked(true);
}

QString CFindReplaceDlg::FindText() const { return m_find->text(); }
QString CFindReplaceDlg::ReplaceText() const { return m_replaceWith ? m_replaceWith->text() : QString(); }
bool CFindReplaceDlg::MatchCase() const { return m_matchCase->isChecked(); }
bool CFindReplaceDlg::WholeWord() const { return m_wholeWord->isChecked(); }
bool CFindReplaceDlg::SearchDown() const { return m_replace || m_down->isChecked(); }

void CFindReplaceDlg::UpdateButtons() {
  bool any = !m_find->text().isEmpty();
  for (QPushButton* button : {m_findNext, m_replaceOne, m_replaceAll})
    if (button) button->setEnabled(any);
}

void CFindReplaceDlg::MoveOutOfTheWay(const QRect& hit) {
  QRect frame = frameGeometry();
  if (!frame.intersects(hit)) return;
  QScreen* shown = screen();
  QRect available = shown ? shown->availableGeometry() : QRect();
  int above = hit.top() - frame.height();
  int y = available.isNull() || above >= available.top() ? above : hit.bottom() + 1;
  move(frame.left(), y);
}

void CFindReplaceDlg::done(int result) {
  Q_EMIT Closed();
  QDialog::done(result);
}

}  // namespace mlf
