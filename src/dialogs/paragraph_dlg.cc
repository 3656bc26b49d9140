#include "dialogs/paragraph_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <optional>

#include "store/prompts.h"

namespace mlf {
namespace {

constexpr int kTwipsPerPoint = 20;

// The list's items in order, with their alignment values.
constexpr struct {
  const char* text;
  int alignment;
} kAlignments[] = {{"Left", ParagraphDlgFormat::kLeft},
                   {"Center", ParagraphDlgFormat::kCenter},
                   {"Right", ParagraphDlgFormat::kRight},
                   {"Justified", ParagraphDlgFormat::kJustify}};

// The indent in points, or nothing after telling the user what is wrong with it.
std::optional<int> ReadPoints(QLineEdit* edit) {
  bool isNumber = false;
  int points = edit->text().trimmed().toInt(&isNumber);
  const char* problem = nullptr;
  if (!isNumber) problem = "Please enter an integer.";
  else if (points < 0 || points > CParagraphDlg::kMaxIndentPoints) problem = "Please enter an integer between 0 and 432.";
  if (!problem) return points;
  AppPrompts().Message(problem, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  edit->setFocus();
  edit->selectAll();
  return std::nullopt;
}

}  // namespace

CParagraphDlg::CParagraphDlg(const ParagraphDlgFormat& format, QWidget* parent)
    : QDialog(parent), m_given(format), m_alignment(new QComboBox(this)), m_left(new QLineEdit(this)), m_right(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Paragraph"));
  for (const auto& item : kAlignments) {
    m_alignment->addItem(QString::fromLatin1(item.text));
    if (item.alignment == format.alignment) m_alignment->setCurrentIndex(m_alignment->count() - 1);
  }
  if (m_alignment->count() && std::none_of(std::begin(kAlignments), std::end(kAlignments),
                                           [&](const auto& item) { return item.alignment == format.alignment; }))
    m_alignment->setCurrentIndex(-1);
  m_left->setText(QString::number(format.startIndent / kTwipsPerPoint));
  m_right->setText(QString::number(format.rightIndent / kTwipsPerPoint));
  for (QLineEdit* edit : {m_left, m_right}) edit->setMaximumWidth(80);

  auto* grid = new QGridLayout;
  auto label = [this](const char* text, QWidget* buddy) {
    auto* widget = new QLabel(QString::fromLatin1(text), this);
    widget->setBuddy(buddy);
    return widget;
  };
  grid->addWidget(label("&Alignment:", m_alignment), 0, 0);
  grid->addWidget(m_alignment, 0, 1, 1, 2);
  grid->addWidget(label("&Left:", m_left), 1, 0);
  grid->addWidget(m_left, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("points   (1 inch = 72 points)"), this), 1, 2);
  grid->addWidget(label("&Right:", m_right), 2, 0);
  grid->addWidget(m_right, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("points"), this), 2, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CParagraphDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CParagraphDlg::accept() {
  std::optional<int> left = ReadPoints(m_left);
  if (!left) return;
  std::optional<int> right = ReadPoints(m_right);
  if (!right) return;
  int index = m_alignment->currentIndex();
  m_result.mask = ParagraphDlgFormat::kStartIndent | ParagraphDlgFormat::kRightIndent | ParagraphDlgFormat::kAlignment;
  m_result.startIndent = *left * kTwipsPerPoint;
  m_result.rightIndent = *right * kTwipsPerPoint;
  m_result.alignment = index >= 0 ? kAlignments[index].alignment : m_given.alignment;
  QDialog::accept();
}

}  // namespace mlf
