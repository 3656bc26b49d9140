#include "dialogs/node_props_sheet.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "crypt/crypt_provider.h"
#include "dialogs/background_work.h"
#include "dialogs/cipher_choice.h"
#include "dialogs/node_password_question.h"
#include "dialogs/node_props_pages.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_password.h"
#include "store/node_unlock.h"
#include "store/prompts.h"
#include "widgets/stored_text.h"

namespace mlf {
namespace {

void Warn(const char* text, const char* caption) {
  AppPrompts().Message(text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace

CNodePropsSheet::CNodePropsSheet(CMarrowleafDoc& document, uint32_t nodeId, SecureString oldPassword, QWidget* parent)
    : QDialog(parent), m_nodeId(nodeId), m_document(document), m_oldPassword(std::move(oldPassword)), m_tabs(new QTabWidget(this)) {
  setWindowTitle(QStringLiteral("Node Properties"));
  CMlfNode node(&document, nodeId);
  m_keywordsPage = new CNodePropsPage_Keywords(document, nodeId, m_tabs);
  m_cryptPage = new CNodePropsPage_Crypt(document.GetCryptProvider(), node, m_tabs);
  m_tabs->addTab(m_keywordsPage, QStringLiteral("Keywords"));
  m_tabs->addTab(m_cryptPage, QStringLiteral("Encryption"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &CNodePropsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);
  resize(420, 300);
}

void CNodePropsSheet::accept() {
  if (CollectEncryption()) QDialog::accept();
}

bool CNodePropsSheet::CollectEncryption() {
  CMlfNode node(&m_document, m_nodeId);
  const CryptProvider& crypt = m_document.GetCryptProvider();
  bool encrypted = node.GetCryptType() != 0;
  if (!m_cryptPage->Encrypt()) {
    // Decrypting uses the password given when the sheet opened.
    m_encryptionChanged = encrypted;
    m_cipher = m_keyLength = m_keyDerivation = 0;
    m_newPassword.Clear();
    return true;
  }
  const CryptChoice& choice = m_cryptPage->Choice();
  uint32_t cipher = ChosenOrDefault(choice.cipher, crypt.DefaultCipher());
  std::optional<CryptAlgorithmInfo> chosen = FindCipher(crypt, cipher);
  // Without a cipher of its own the page takes the default's key length.
  uint32_t keyLength = choice.cipher > 0 ? choice.keyLength : (chosen ? chosen->defaultKeyLength : 0);
  uint32_t keyDerivation = ChosenOrDefault(choice.keyDerivation, crypt.DefaultKeyDerivation());
  bool changed = !encrypted || cipher != node.GetCryptType() || keyDerivation != node.GetHashType() ||
                 keyLength != node.GetKeyLength() || m_cryptPage->ChangePassword();
  m_encryptionChanged = changed;
  if (!changed) return true;
  // A cipher the module does not serve would leave the node without a key, that is in clear.
  if (!chosen) {
    Warn("The chosen encryption algorithm is not available.", "Node Properties");
    return false;
  }
  PasswordRequest request;
  request.mode = encrypted ? kPasswordSet | kPasswordEnter : kPasswordSet;
  request.document = &m_document;
  request.nodeId = m_nodeId;
  std::optional<PasswordAnswer> answer = AppPrompts().AskPassword(request);
  if (!answer) return false;
  // The dialog checks these itself; whoever else answers the question must pass them too.
  if (encrypted && !VerifyNodePassword(m_document, m_nodeId, answer->first)) {
    Warn("Incorrect password!", "User Authentication");
    return false;
  }
  if (answer->newText.empty()) {
    Warn("Please enter a new password.", "User Authentication");
    return false;
  }
  m_cipher = cipher;
  m_keyLength = ValidKeyLength(*chosen, keyLength);
  m_keyDerivation = keyDerivation;
  if (encrypted) m_oldPassword = std::move(answer->first);
  m_newPassword = std::move(answer->newText);
  return true;
}

bool RunNodeProperties(CMarrowleafDoc& document, uint32_t nodeId, bool active, QWidget* parent) {
  CMlfNode node;
  if (!node.Attach(&document, nodeId) || node.IsFolder()) return false;
  std::optional<SecureString> password = document.GetNodePassword(nodeId);
  bool hadPassword = password.has_value();
  if (node.IsEncrypted() && !password) {
    if (!CanAccessEncryptedNode(document, nodeId)) return false;
    password = AskNodePasswordUntilRight(document, nodeId);
    if (!password) return false;
  }
  CNodePropsSheet sheet(document, nodeId, password.value_or(SecureString()), parent);
  if (sheet.exec() != QDialog::Accepted) return false;

  CNodePropsPage_Keywords& keywords = *sheet.KeywordsPage();
  if (keywords.Changed()) {
    MLFNODEKEYWORDS entry;
    entry.nNodeId = nodeId;
    for (const QString& keyword : keywords.Keywords()) entry.ids.push_back(document.FindOrAddKeyword(ToStored(keyword)));
    document.SetNodeKeywords(nodeId, entry);
    document.SetModifiedFlag();
  }
  if (!sheet.EncryptionChanged()) return true;
  bool done = RunInBackground("Encrypting node...", [&] {
    return document.SetNodeEncryption(nodeId, sheet.CipherType(), sheet.KeyLength(), sheet.KeyDerivationType(),
                                      sheet.NewPassword(), sheet.OldPassword());
  });
  if (!done) {
    Warn("The encryption of this node could not be changed; the node keeps its old password.", "Node Properties");
    return true;
  }
  // The open node reads on with the new password; a remembered old one would no longer open it.
  if (sheet.CipherType() == 0) document.SetNodePassword(nodeId, std::nullopt);
  else if (active || hadPassword) document.SetNodePassword(nodeId, sheet.NewPassword());
  return true;
}

}  // namespace mlf
