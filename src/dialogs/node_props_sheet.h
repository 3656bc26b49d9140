// CNodePropsSheet: the Node Properties sheet of a node that is not a folder, with its Keywords
// and Encryption pages. It changes nothing until OK; OK collects the new password when the
// encryption changes (a cancelled password question keeps the sheet open), and
// ApplyNodeProperties hands the result to the document.
#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/secure_memory.h"

class QPushButton;
class QTabWidget;

namespace mlf {

class CMarrowleafDoc;
class CNodePropsPage_Crypt;
class CNodePropsPage_Keywords;

class CNodePropsSheet : public QDialog {
  Q_OBJECT
 public:
  // oldPassword: the node's current password (empty for a plain node).
  CNodePropsSheet(CMarrowleafDoc& document, uint32_t nodeId, SecureString oldPassword, QWidget* parent = nullptr);

  void accept() override;

  // After OK: the new settings (cipher 0: no encryption) and the passwords.
  bool EncryptionChanged() const { return m_encryptionChanged; }
  uint32_t CipherType() const { return m_cipher; }
  uint32_t KeyLength() const { return m_keyLength; }
  uint32_t KeyDerivationType() const { return m_keyDerivation; }
  const SecureString& OldPassword() const { return m_oldPassword; }
  const SecureString& NewPassword() const { return m_newPassword; }

  QTabWidget* Tabs() const { return m_tabs; }
  QPushButton* OkButton() const { return m_ok; }
  CNodePropsPage_Keywords* KeywordsPage() const { return m_keywordsPage; }
  CNodePropsPage_Crypt* CryptPage() const { return m_cryptPage; }

 private:
  // The encryption to set at OK; false when the sheet must stay open.
  bool CollectEncryption();

  bool m_encryptionChanged = false;
  uint32_t m_nodeId;
  CMarrowleafDoc& m_document;
  SecureString m_oldPassword;
  SecureString m_newPassword;
  uint32_t m_keyDerivation = 0;
  uint32_t m_cipher = 0;
  uint32_t m_keyLength = 0;
  QTabWidget* m_tabs;
  QPushButton* m_ok;
  CNodePropsPage_Crypt* m_cryptPage;
  CNodePropsPage_Keywords* m_keywordsPage;
};

// The tree's "Properties...." on a node: asks for the password of an encrypted node first
// (nothing is shown without it), runs the sheet and applies it. active: the node is open in
// its window, so the new password must keep it readable. True when the sheet closed with OK.
bool RunNodeProperties(CMarrowleafDoc& document, uint32_t nodeId, bool active, QWidget* parent);

}  // namespace mlf
