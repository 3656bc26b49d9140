// CFileOptionsSheet: the File Properties sheet with its Sorting, Logo and Encryption pages. It
// changes nothing until OK; OK collects and confirms a new file password (a cancelled
// confirmation keeps the sheet open), and RunFileProperties hands the result to the document.
#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/secure_memory.h"

class QPushButton;
class QTabWidget;

namespace mlf {

class CFileOptionsPage_Crypt;
class CFileOptionsPage_Logo;
class CFileOptionsPage_Sort;
class CMarrowleafDoc;

class CFileOptionsSheet : public QDialog {
  Q_OBJECT
 public:
  CFileOptionsSheet(CMarrowleafDoc& document, const QString& imageFilter, QWidget* parent = nullptr);

  void accept() override;

  // After OK: the file's new encryption (cipher 0: none) and its password.
  bool EncryptionChanged() const { return m_encryptionChanged; }
  uint32_t CipherType() const { return m_cipher; }
  uint32_t KeyLength() const { return m_keyLength; }
  uint32_t KeyDerivationType() const { return m_keyDerivation; }
  const SecureString& NewPassword() const { return m_newPassword; }

  QTabWidget* Tabs() const { return m_tabs; }
  QPushButton* OkButton() const { return m_ok; }
  CFileOptionsPage_Sort* SortPage() const { return m_sortPage; }
  CFileOptionsPage_Logo* LogoPage() const { return m_logoPage; }
  CFileOptionsPage_Crypt* CryptPage() const { return m_cryptPage; }

 private:
  bool CollectEncryption();
  bool AskAgainForPassword();

  uint32_t m_keyLength = 0;
  bool m_encryptionChanged = false;
  CMarrowleafDoc& m_document;
  SecureString m_newPassword;
  uint32_t m_keyDerivation = 0;
  uint32_t m_cipher = 0;
  QTabWidget* m_tabs;
  QPushButton* m_ok;
  CFileOptionsPage_Sort* m_sortPage;
  CFileOptionsPage_Logo* m_logoPage;
  CFileOptionsPage_Crypt* m_cryptPage;
};

// File > "Properties": runs the sheet and, after OK, gives the document the sort options (the
// caller rebuilds the tree), the logo and the file encryption, which the next save writes.
// True when the sheet closed with OK.
bool RunFileProperties(CMarrowleafDoc& document, const QString& imageFilter, QWidget* parent);

}  // namespace mlf
