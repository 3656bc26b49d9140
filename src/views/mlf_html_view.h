// CMlfHtmlView: an HTML node, read-only in the embedded browser. The node's bytes go to a
// temporary "MLF*.html" beside the empty "MLF*.tmp" that reserved its name; links in the
// page are followed in the view itself, relative ones against the temporary folder.
#pragma once

#include <QWebEngineView>
#include <cstdint>

namespace mlf {

class CMarrowleafDoc;
class TemporaryFiles;

class CMlfHtmlView : public QWebEngineView {
  Q_OBJECT
 public:
  explicit CMlfHtmlView(QWidget* parent = nullptr);

  // Copies the node to a new temporary page, records both files in keep and shows the page.
  // True also when no temporary file could be made (the view then stays empty).
  bool LoadHtml(CMarrowleafDoc& document, uint32_t nodeId, TemporaryFiles& keep);

 protected:
  // A link meant for a new window opens here.
  QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override { return this; }
};

}  // namespace mlf
