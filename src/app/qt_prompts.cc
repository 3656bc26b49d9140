#include "app/qt_prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "dialogs/set_password_dlg.h"

namespace mlf {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

MessageAnswer Answer(int button) {
  switch (button) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Abort: return MessageAnswer::Abort;
    case QMessageBox::Retry: return MessageAnswer::Retry;
    case QMessageBox::Ignore: return MessageAnswer::Ignore;
    default: return MessageAnswer::Cancel;
  }
}

QWidget* Owner() {
  QWidget* owner = QApplication::activeModalWidget();
  return owner ? owner : QApplication::activeWindow();
}

// Windows live on the program's thread: a question from a worker (an export, an import) is
// asked there while the worker waits for the answer.
bool OffGuiThread() { return QThread::currentThread() != qApp->thread(); }

template <class Ask>
auto OnGuiThread(Ask ask) {
  decltype(ask()) answer{};
  QMetaObject::invokeMethod(qApp, [&] { answer = ask(); }, Qt::BlockingQueuedConnection);
  return answer;
}

}  // namespace

MessageAnswer QtPrompts::Message(const std::string& text, const std::string& caption, MessageIcon icon,
                                 MessageButtons buttons) {
  if (OffGuiThread()) return OnGuiThread([&] { return Message(text, caption, icon, buttons); });
  if (m_beforeShow) m_beforeShow();
  QString body = QString::fromStdString(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), body, BoxButtons(buttons), Owner());
  return Answer(box.exec());
}

ChangedFileAnswer QtPrompts::AskChangedFile(const std::string& path) {
  if (OffGuiThread()) return OnGuiThread([&] { return AskChangedFile(path); });
  if (m_beforeShow) m_beforeShow();
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppCaption),
                  QString::fromStdString(ChangedFileQuestion(path)), QMessageBox::NoButton, Owner());
  QPushButton* saveAs = box.addButton(QStringLiteral("Save &As..."), QMessageBox::AcceptRole);
  QPushButton* overwrite = box.addButton(QStringLiteral("&Overwrite"), QMessageBox::DestructiveRole);
  QPushButton* keep = box.addButton(QStringLiteral("&Keep Editing"), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(keep);
  box.exec();
  if (box.clickedButton() == saveAs) return ChangedFileAnswer::SaveAs;
  if (box.clickedButton() == overwrite) return ChangedFileAnswer::Overwrite;
  return ChangedFileAnswer::KeepEditing;
}

std::optional<PasswordAnswer> QtPrompts::AskPassword(const PasswordRequest& request) {
  if (OffGuiThread()) return OnGuiThread([&] { return AskPassword(request); });
  if (m_beforeShow) m_beforeShow();
  CSetPasswordDlg dialog(request.mode, request.document, request.nodeId, Owner());
  if (request.mode & kPasswordConfirm) dialog.SetNewText(request.presetNew);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  PasswordAnswer answer;
  answer.first = dialog.FirstText();
  answer.newText = dialog.NewText();
  return answer;
}

}  // namespace mlf
