// CBlankAreaView: the content pane while no node is open. It shows the document's logo (the
// application's default logo when the document has none) in a sunken frame, centred, on the
// button-face colour.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace mlf {

class CMarrowleafDoc;

class CBlankAreaView : public QWidget {
  Q_OBJECT
 public:
  explicit CBlankAreaView(const CMarrowleafDoc* document, QWidget* parent = nullptr);
  // Fetches the logo again and repaints at once.
  void RefreshLogo();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const CMarrowleafDoc* m_document;
  QPixmap m_logo;
};

// The picture the blank view shows when a document has no logo of its own.
QPixmap DefaultLogo();

}  // namespace mlf
