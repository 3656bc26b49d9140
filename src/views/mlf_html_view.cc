#include "views/mlf_html_view.h"

#include <QFile>
#include <QUrl>

#include "diagnostics/log.h"
#include "platform/env.h"
#include "store/document.h"
#include "views/temporary_files.h"

namespace mlf {

CMlfHtmlView::CMlfHtmlView(QWidget* parent) : QWebEngineView(parent) { setAccessibleName(QStringLiteral("HTML Page")); }

bool CMlfHtmlView::LoadHtml(CMarrowleafDoc& document, uint32_t nodeId, TemporaryFiles& keep) {
  Env& env = document.GetEnv();
  std::string page;
  try {
    std::string reserved = env.CreateTempFile("MLF", ".tmp", false)->Path();
    keep.Add(reserved);
    page = reserved.substr(0, reserved.size() - 3) + "html";
    // The page is made new, so nothing already there (a planted link) is followed or
    // overwritten, and readable by its owner only, as the node's content may be secret.
    env.OpenFile(page, FileAccess::ReadWrite, FileCreation::CreateNew, FileShare::Exclusive);
    keep.Add(page);
    QFile::setPermissions(QString::fromStdString(page), QFile::ReadOwner | QFile::WriteOwner);
  } catch (const FileError& error) {
    AppLog().WriteLine(std::string("WARNING: No temporary file for the HTML page: ") + error.what());
    return true;
  }
  if (!document.Data_CopyToFile(nodeId, page)) AppLog().WriteLine("WARNING: The HTML page could not be written: " + page);
  load(QUrl::fromLocalFile(QString::fromStdString(page)));
  return true;
}

}  // namespace mlf
