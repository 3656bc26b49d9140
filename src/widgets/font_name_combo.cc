#include "widgets/font_name_combo.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <algorithm>

#include "widgets/selection_format.h"
#include "widgets/svg_art.h"

namespace mlf {
namespace {

constexpr int kSampleInterval = 200;  // ms
constexpr int kSampleGap = 5;         // pixels right of the list
constexpr int kSamplePixels = 18;     // height of the sample's font

}  // namespace

CFontNameCombo::CFontNameCombo(QWidget* parent) : CFormatCombo(parent) {
  setAccessibleName(QStringLiteral("Font Name"));
  const QIcon picture = SvgIcon(QStringLiteral(":/widgets/font_face.svg"));
  for (const QString& family : InstalledFamilies()) addItem(picture, family);
  setCurrentIndex(-1);
  m_sampleTimer.setInterval(kSampleInterval);
  connect(&m_sampleTimer, &QTimer::timeout, this, &CFontNameCombo::UpdateSample);
}

CFontNameCombo::~CFontNameCombo() { delete m_sample; }

QStringList CFontNameCombo::InstalledFamilies() {
  QStringList families;
  for (const QString& family : QFontDatabase::families())
    if (!QFontDatabase::isPrivateFamily(family)) families.push_back(family);
  // Ordered by bytes, not by locale, so the order is the same on every machine.
  std::sort(families.begin(), families.end(),
            [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
  families.erase(std::unique(families.begin(), families.end()), families.end());
  return families;
}

void CFontNameCombo::ShowFamily(const QString& family) {
  ShowText(findText(family, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0 ? family : QString());
}

void CFontNameCombo::showPopup() {
  CFormatCombo::showPopup();
  m_sampleTimer.start();
}

void CFontNameCombo::hidePopup() {
  m_sampleTimer.stop();
  delete m_sample;
  CFormatCombo::hidePopup();
}

void CFontNameCombo::UpdateSample() {
  QAbstractItemView* list = view();
  const QModelIndex item = list->currentIndex();
  const QRect itemRect = list->visualRect(item);
  if (!item.isValid() || !list->viewport()->rect().intersects(itemRect)) {
    if (m_sample) m_sample->hide();
    return;
  }
  if (!m_sample) {
    m_sample = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    m_sample->setFrameShape(QFrame::Box);
    m_sample->setBackgroundRole(QPalette::Base);
    m_sample->setAutoFillBackground(true);
    m_sample->setMargin(2);
  }
  const QString family = item.data(Qt::DisplayRole).toString();
  if (m_sample->text() != family) {
    QFont font(family);
    font.setPixelSize(kSamplePixels);
    m_sample->setFont(font);
    m_sample->setText(family);
    m_sample->adjustSize();
  }
  const int right = list->window()->geometry().right();
  const int below = list->viewport()->mapToGlobal(itemRect.bottomLeft()).y() + 1;
  m_sample->move(right + 1 + kSampleGap, below);
  m_sample->show();
}

void CFontNameCombo::Apply(QTextEdit& target, const QString& text) {
  if (text.isEmpty()) return target.setFocus(Qt::OtherFocusReason);
  QTextCharFormat format;
  format.setFontFamilies(QStringList{text});
  ApplySelectionFormat(target, format);
}

}  // namespace mlf
