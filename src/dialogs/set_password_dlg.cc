#include "dialogs/set_password_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QVBoxLayout>

#include "store/node_password.h"
#include "store/prompts.h"

namespace mlf {
namespace {

constexpr const char* kCaption = "User Authentication";

QLineEdit* PasswordEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMinimumWidth(220);
  return edit;
}

}  // namespace

SecureString PasswordText(const QLineEdit* edit) {
  QByteArray bytes = edit->text().toUtf8();
  SecureString text(std::string_view(bytes.constData(), size_t(bytes.size())));
  SecureZero(bytes.data(), size_t(bytes.size()));
  return text;
}

CSetPasswordDlg::CSetPasswordDlg(uint32_t mode, CMarrowleafDoc* document, uint32_t nodeId, QWidget* parent)
    : QDialog(parent),
      m_mode(mode),
      m_document(document),
      m_nodeId(nodeId),
      m_firstLabel(new QLabel(QStringLiteral("&Old Password: "), this)),
      m_first(PasswordEdit(this)),
      m_new(PasswordEdit(this)),
      m_retyped(PasswordEdit(this)) {
  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_firstLabel->setBuddy(m_first);
  form->addRow(m_firstLabel, m_first);
  form->addRow(QStringLiteral("&New Password: "), m_new);
  form->addRow(QStringLiteral("&Re-type Password: "), m_retyped);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSetPasswordDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  m_first->setEnabled(false);
  if (mode & kPasswordSet) {
    setWindowTitle(QStringLiteral("Enter New Password"));
    m_firstLabel->setText(QStringLiteral("Old Password: "));
    if (mode & (kPasswordEnter | kPasswordConfirm)) m_first->setEnabled(true);
  } else {
    bool confirm = mode & kPasswordConfirm;
    setWindowTitle(QString::fromLatin1(confirm ? "Confirm New Password" : "Enter Password"));
    m_firstLabel->setText(QString::fromLatin1(confirm ? "Confirm Password: " : "Password: "));
    m_first->setEnabled(true);
    // One row only: the others are hidden and the window shrinks around what is left.
    for (QLineEdit* edit : {m_new, m_retyped}) {
      form->setRowVisible(edit, false);
      edit->setEnabled(false);
    }
  }
  (m_first->isEnabled() ? m_first : m_new)->setFocus();
}

void CSetPasswordDlg::SetNewText(const SecureString& text) { m_presetNew = text; }

SecureString CSetPasswordDlg::FirstText() const { return PasswordText(m_first); }

SecureString CSetPasswordDlg::NewText() const { return m_new->isEnabled() ? PasswordText(m_new) : m_presetNew; }

SecureString CSetPasswordDlg::RetypedText() const { return PasswordText(m_retyped); }

bool CSetPasswordDlg::Refuse(const char* text, QLineEdit* focus, bool selectAll) {
  AppPrompts().Message(text, kCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  if (selectAll) focus->selectAll();
  focus->setFocus();
  return false;
}

void CSetPasswordDlg::accept() {
  SecureString first = FirstText();
  if ((m_mode & kPasswordConfirm) && !(first == m_presetNew)) {
    Refuse("You have not correctly retyped your new password.", m_first, true);
    return;
  }
  if ((m_mode & kPasswordEnter) && m_nodeId != 0 && m_document &&
      !VerifyNodePassword(*m_document, m_nodeId, first)) {
    // The pause makes guessing by hand slow.
    QThread::msleep(501);
    Refuse("Incorrect password!", m_first, true);
    return;
  }
  if (m_mode & kPasswordSet) {
    SecureString fresh = PasswordText(m_new);
    if (fresh.empty()) {
      Refuse("Please enter a new password.", m_new, false);
      return;
    }
    if (!(RetypedText() == fresh)) {
      Refuse("The re-typed password did not match, please check your input.", m_retyped, true);
      return;
    }
  }
  QDialog::accept();
}

}  // namespace mlf
