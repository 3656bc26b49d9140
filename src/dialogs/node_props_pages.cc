#include "dialogs/node_props_pages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "crypt/crypt_provider.h"
#include "store/document.h"
#include "store/keyword_table.h"
#include "store/node.h"
#include "store/prompts.h"
#include "widgets/stored_text.h"

namespace mlf {

CNodePropsPage_Keywords::CNodePropsPage_Keywords(CMarrowleafDoc& document, uint32_t nodeId, QWidget* parent)
    : QWidget(parent),
      m_edit(new QLineEdit(this)),
      m_add(new QPushButton(QStringLiteral("Add >"), this)),
      m_remove(new QPushButton(QStringLiteral("< Remove"), this)),
      m_list(new QListWidget(this)) {
  m_edit->setAccessibleName(QStringLiteral("New keyword"));
  m_list->setAccessibleName(QStringLiteral("Keywords"));
  m_list->setSortingEnabled(true);
  m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_edit->installEventFilter(this);
  document.EnumNodeKeywordNames(nodeId, [this](const std::string& name) {
    m_keywords.push_back(FromStored(name));
    m_list->addItem(m_keywords.back());
  });
  connect(m_add, &QPushButton::clicked, this, &CNodePropsPage_Keywords::OnAdd);
  connect(m_remove, &QPushButton::clicked, this, &CNodePropsPage_Keywords::OnRemove);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_add);
  buttons->addWidget(m_remove);
  buttons->addStretch();
  auto* layout = new QGridLayout(this);
  layout->addWidget(m_edit, 0, 0, Qt::AlignTop);
  layout->addLayout(buttons, 0, 1);
  layout->addWidget(m_list, 0, 2);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(2, 1);
}

bool CNodePropsPage_Keywords::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OnAdd();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CNodePropsPage_Keywords::Refuse(const char* text) {
  AppPrompts().Message(text, "Add Keyword", MessageIcon::Exclamation, MessageButtons::Ok);
}

void CNodePropsPage_Keywords::OnAdd() {
  QString keyword = m_edit->text().toLower();
  if (keyword.isEmpty()) Refuse("Please enter a keyword");
  else if (ToStored(keyword).size() > kMaxKeywordLength) Refuse("A keyword can be at most 255 characters long.");
  else if (std::find(m_keywords.begin(), m_keywords.end(), keyword) != m_keywords.end()) Refuse("Keyword already exists");
  else {
    m_keywords.push_back(keyword);
    m_list->addItem(keyword);
    m_changed = true;
  }
  m_edit->setFocus();
  m_edit->selectAll();
}

void CNodePropsPage_Keywords::OnRemove() {
  int row = m_list->currentRow();
  if (row < 0 || !m_list->currentItem()->isSelected()) return;
  QString keyword = m_list->currentItem()->text().toLower();
  m_keywords.erase(std::remove(m_keywords.begin(), m_keywords.end(), keyword), m_keywords.end());
  delete m_list->takeItem(row);
  if (m_list->count() > 0) m_list->setCurrentRow(std::min(row, m_list->count() - 1));
  m_changed = true;
}

CNodePropsPage_Crypt::CNodePropsPage_Crypt(const CryptProvider& crypt, const CMlfNode& node, QWidget* parent)
    : QWidget(parent),
      m_crypt(crypt),
      m_nodeEncrypted(node.GetCryptType() != 0),
      m_encryptCheck(new QCheckBox(QStringLiteral("Encrypt this node"), this)),
      m_changeCheck(new QCheckBox(QStringLiteral("Change Password"), this)),
      m_advanced(new QPushButton(QStringLiteral("Advanced..."), this)),
      m_status(new QLabel(this)) {
  m_status->setAccessibleName(QStringLiteral("Encryption status"));
  m_status->setWordWrap(true);
  m_changeCheck->setEnabled(false);
  m_advanced->setEnabled(false);
  if (!crypt.IsAvailable()) {
    m_encryptCheck->setEnabled(false);
    m_status->setText(QStringLiteral("Encryption is not available."));
  }
  if (m_nodeEncrypted) {
    m_choice.cipher = node.GetCryptType();
    m_choice.keyLength = node.GetKeyLength();
    m_choice.keyDerivation = node.GetHashType();
    m_encrypt = true;
    m_encryptCheck->setChecked(true);
    m_advanced->setEnabled(true);
    m_changeCheck->setEnabled(true);
  } else {
    m_choice.cipher = crypt.DefaultCipher();
    m_choice.keyDerivation = crypt.DefaultKeyDerivation();
  }
  connect(m_encryptCheck, &QCheckBox::toggled, this, &CNodePropsPage_Crypt::OnEncryptToggled);
  connect(m_changeCheck, &QCheckBox::toggled, this, &CNodePropsPage_Crypt::OnChangeToggled);
  connect(m_advanced, &QPushButton::clicked, this, &CNodePropsPage_Crypt::OnAdvanced);

  auto* group = new QGroupBox(QStringLiteral("Password"), this);
  auto* inGroup = new QVBoxLayout(group);
  inGroup->addWidget(m_changeCheck);
  auto* top = new QHBoxLayout;
  top->addWidget(m_encryptCheck);
  top->addStretch();
  top->addWidget(m_advanced);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(group);
  layout->addWidget(m_status);
  layout->addStretch();
}

void CNodePropsPage_Crypt::OnEncryptToggled(bool checked) {
  m_encrypt = checked;
  m_advanced->setEnabled(checked);
  // A new password is asked for anyway when a plain node gets one.
  m_changeCheck->setEnabled(checked && m_nodeEncrypted);
}

void CNodePropsPage_Crypt::OnChangeToggled(bool checked) {
  m_changePassword = checked;
  if (checked && std::exchange(m_showChangeHint, false))
    AppPrompts().Message("You will be prompted for a new password when the Node Properties window is closed.",
                         "Change Password", MessageIcon::Information, MessageButtons::Ok);
}

void CNodePropsPage_Crypt::OnAdvanced() { EditCryptChoice(m_crypt, m_choice, this); }

}  // namespace mlf
