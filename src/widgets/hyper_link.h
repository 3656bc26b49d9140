// CHyperLink: a label that looks and behaves like a web link: coloured and underlined, the
// hover colour and the hand cursor while the mouse is over it, its target as tool tip, and a
// click opens the target with the desktop's "open". A target that cannot be opened beeps and
// is reported; the label stays unvisited.
#pragma once

#include <QColor>
#include <QLabel>

namespace mlf {

class CHyperLink : public QLabel {
  Q_OBJECT
 public:
  // Without a target the text is the target; without a text the target is the text.
  explicit CHyperLink(const QString& text, const QString& target = {}, QWidget* parent = nullptr);

  QString Target() const { return m_target; }
  void SetTarget(const QString& target);
  // An invalid hover colour means the system's highlight colour.
  void SetColours(const QColor& link, const QColor& visited, const QColor& hover);
  void SetVisited(bool visited);
  bool IsVisited() const { return m_visited; }
  // Resizes the label to its text, keeping its centre, or its right or left edge, where its
  // alignment puts the text.
  void SetAdjustToFit(bool adjust);
  // The colour the text is painted in now.
  QColor TextColour() const;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void AdjustToText();
  void Refresh();

  QColor m_linkColour{0, 0, 128};
  QColor m_visitedColour{128, 0, 128};
  QColor m_hoverColour{0, 0, 255};
  bool m_over = false;
  bool m_visited = false;
  bool m_adjustToFit = true;
  QString m_target;
};

// Opens a web address, a mail address or a file with the desktop's "open". A result above
// 32 means success; otherwise it is one of the error numbers HyperlinkErrorText knows.
// showCommand is how a started program shows its window, where the platform lets us say.
int OpenLinkTarget(const QString& target, int showCommand);

// The text of a failed OpenLinkTarget result.
QString HyperlinkErrorText(int result);
// "Unable to open hyperlink:" with that text, in the log and in a message box.
void ReportHyperlinkError(int result);

}  // namespace mlf
