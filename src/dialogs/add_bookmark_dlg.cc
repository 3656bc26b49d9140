#include "dialogs/add_bookmark_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mlf {

CAddBookmarkDlg::CAddBookmarkDlg(QWidget* parent) : QDialog(parent), m_name(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Add Bookmark"));
  m_name->setMaxLength(kMaxName);
  m_name->setMinimumWidth(320);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("A link to this node will be placed in the Bookmarks list."), this));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Name:"), m_name);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CAddBookmarkDlg::SetName(const QString& name) {
  m_name->setText(name);
  m_name->selectAll();
}

QString CAddBookmarkDlg::Name() const { return m_name->text(); }

}  // namespace mlf
