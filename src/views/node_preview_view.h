// A plain read-only view of a node's content until the rich-text, image and HTML views exist:
// pictures are shown when Qt can decode them, everything else as its raw text.
#pragma once

#include <QWidget>
#include <cstdint>

class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace mlf {

class CMlfNode;

class CNodePreviewView : public QWidget {
  Q_OBJECT
 public:
  explicit CNodePreviewView(QWidget* parent = nullptr);
  // Reads the node's whole content; false when stored content could not be read.
  bool Load(CMlfNode& node);

 private:
  QPlainTextEdit* m_text;
  QScrollArea* m_pictureArea;
  QLabel* m_picture;
};

}  // namespace mlf
