#include "widgets/hyper_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>

#include "diagnostics/log.h"
#include "store/prompts.h"

namespace mlf {
namespace {

constexpr int kOpened = 42;  // any result above 32 is success
constexpr int kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5, kNoAssociation = 31;

// A target without a scheme, or with a drive letter for one, is a file.
bool IsFileTarget(const QUrl& url) { return url.scheme().size() <= 1 || url.isLocalFile(); }

}  // namespace

CHyperLink::CHyperLink(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent), m_target(target.isEmpty() ? text : target) {
  if (text.isEmpty()) setText(m_target);
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  setToolTip(m_target);
  Refresh();
  AdjustToText();
}

void CHyperLink::SetTarget(const QString& target) {
  m_target = target;
  setToolTip(target);
  AdjustToText();
}

void CHyperLink::SetColours(const QColor& link, const QColor& visited, const QColor& hover) {
  m_linkColour = link;
  m_visitedColour = visited;
  m_hoverColour = hover;
  Refresh();
}

void CHyperLink::SetVisited(bool visited) {
  m_visited = visited;
  Refresh();
}

void CHyperLink::SetAdjustToFit(bool adjust) {
  m_adjustToFit = adjust;
  AdjustToText();
}

QColor CHyperLink::TextColour() const {
  if (m_over) return m_hoverColour.isValid() ? m_hoverColour : palette().color(QPalette::Highlight);
  return m_visited ? m_visitedColour : m_linkColour;
}

void CHyperLink::Refresh() {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, TextColour());
  setPalette(colours);
}

void CHyperLink::AdjustToText() {
  if (!m_adjustToFit) return;
  QSize text = fontMetrics().size(0, this->text()) + QSize(2 * margin(), 2 * margin());
  QRect old = geometry();
  QRect fitted(old.topLeft(), text);
  Qt::Alignment align = alignment();
  if (align & Qt::AlignHCenter) fitted.moveLeft(old.left() + (old.width() - text.width()) / 2);
  else if (align & Qt::AlignRight) fitted.moveRight(old.right());
  if (align & Qt::AlignVCenter) fitted.moveTop(old.top() + (old.height() - text.height()) / 2);
  setGeometry(fitted);
}

void CHyperLink::enterEvent(QEnterEvent* event) {
  m_over = true;
  Refresh();
  QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event) {
  m_over = false;
  Refresh();
  QLabel::leaveEvent(event);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
  int result = OpenLinkTarget(m_target, 5);
  if (result > 32) {
    m_over = false;
    SetVisited(true);
    return;
  }
  QApplication::beep();
  ReportHyperlinkError(result);
}

int OpenLinkTarget(const QString& target, int) {
  QUrl url(target);
  if (IsFileTarget(url)) {
    QFileInfo file(url.isLocalFile() ? url.toLocalFile() : target);
    if (!file.exists()) return file.dir().exists() ? kFileNotFound : kPathNotFound;
    if (!file.isReadable()) return kAccessDenied;
    url = QUrl::fromLocalFile(file.absoluteFilePath());
  }
  // The desktop finds the program for the address itself, the HTML handler included.
  return QDesktopServices::openUrl(url) ? kOpened : kNoAssociation;
}

QString HyperlinkErrorText(int result) {
  switch (result) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred.");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
      return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(result);
  }
}

void ReportHyperlinkError(int result) {
  std::string text = "Unable to open hyperlink:\n\n" + HyperlinkErrorText(result).toStdString();
  std::string line = text;
  std::replace(line.begin(), line.end(), '\n', ' ');  // one line in the log
  AppLog().WriteLine(line);
  AppPrompts().Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace mlf
