#include "views/node_preview_view.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>

#include "rtf/plain_text.h"
#include <QScrollArea>
#include <QVBoxLayout>

#include "store/node.h"
#include "store/node_data.h"
#include "widgets/mlf_status.h"

namespace mlf {

CNodePreviewView::CNodePreviewView(QWidget* parent)
    : QWidget(parent), m_text(new QPlainTextEdit(this)), m_pictureArea(new QScrollArea(this)), m_picture(new QLabel) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_text->setReadOnly(true);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_text->setFrameShape(QFrame::NoFrame);
  m_text->setTabChangesFocus(true);
  m_picture->setAlignment(Qt::AlignCenter);
  m_pictureArea->setWidget(m_picture);
  m_pictureArea->setWidgetResizable(true);
  m_pictureArea->setFrameShape(QFrame::NoFrame);
  layout->addWidget(m_text);
  layout->addWidget(m_pictureArea);
  m_pictureArea->hide();
  setFocusProxy(m_text);
}

bool CNodePreviewView::Load(CMlfNode& node) {
  QByteArray content;
  if (node.HasContent()) {
    CMlfStatus status("Decompressing document...");
    CMlfNodeData* data = node.GetNodeDataForRead(&status);
    if (!data) return false;
    status.BeginProgress(node.GetRawLength());
    char buffer[64 * 1024];
    while (size_t n = data->Get(buffer, sizeof buffer)) content.append(buffer, qsizetype(n));
    if (!data->Release()) return false;
  }
  QPixmap picture;
  if (node.GetType() == ntImage && picture.loadFromData(content)) {
    m_picture->setPixmap(picture);
    m_text->hide();
    m_pictureArea->show();
    setFocusProxy(m_pictureArea);
    return true;
  }
  // A picture Qt cannot decode waits for the image view rather than showing its bytes.
  if (node.GetType() == ntImage) m_text->setPlainText(QStringLiteral("This picture cannot be shown yet."));
  else if (node.GetType() == ntNote) m_text->setPlainText(QString::fromStdString(rtf::RtfToPlainText(content.toStdString())));
  else m_text->setPlainText(QString::fromUtf8(content));
  return true;
}

}  // namespace mlf
