#include "tree/task_images.h"

#include <QPainter>

#include "widgets/svg_art.h"

namespace mlf {
namespace {

const char* const kArt[] = {"0_clock", "1_sort_ascending", "2_sort_descending", "3_attached_note"};

QPixmap Render(int index, qreal ratio) {
  return RenderSvg(QStringLiteral(":/tasks/%1.svg").arg(QLatin1String(kArt[index])), {16, 16}, ratio);
}

}  // namespace

TaskImages& TaskImages::Instance() {
  static TaskImages images;
  return images;
}

TaskImages::TaskImages() {
  for (int i = 0; i < 4; ++i) m_images[i] = Render(i, 1.0);
  for (qreal ratio : {1.0, 2.0}) {
    QPixmap clock = Render(kTaskImageClock, ratio);
    m_plain.addPixmap(clock);
    QPainter painter(&clock);
    painter.drawPixmap(0, 0, Render(kTaskImageAttachedNote, ratio));
    painter.end();
    m_attached.addPixmap(clock);
  }
}

QPixmap TaskImages::Image(int index) const {
  return index >= 0 && index < static_cast<int>(m_images.size()) ? m_images[index] : QPixmap();
}

QIcon TaskImages::RowIcon(bool attached) const { return attached ? m_attached : m_plain; }

}  // namespace mlf
