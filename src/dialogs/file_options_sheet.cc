#include "dialogs/file_options_sheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "crypt/crypt_provider.h"
#include "dialogs/background_work.h"
#include "dialogs/cipher_choice.h"
#include "dialogs/file_options_pages.h"
#include "dialogs/set_password_dlg.h"
#include "store/document.h"
#include "store/prompts.h"

namespace mlf {
namespace {

void Warn(const std::string& text, const char* caption) {
  AppPrompts().Message(text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace

CFileOptionsSheet::CFileOptionsSheet(CMarrowleafDoc& document, const QString& imageFilter, QWidget* parent)
    : QDialog(parent), m_document(document), m_tabs(new QTabWidget(this)) {
  QString path = QDir::toNativeSeparators(QFile::decodeName(document.GetPathName().c_str()));
  setWindowTitle(QStringLiteral("File Properties (%1)").arg(path));
  m_sortPage = new CFileOptionsPage_Sort(document, m_tabs);
  m_logoPage = new CFileOptionsPage_Logo(document, imageFilter, m_tabs);
  m_cryptPage = new CFileOptionsPage_Crypt(document, m_tabs);
  m_tabs->addTab(m_sortPage, QStringLiteral("Sorting"));
  m_tabs->addTab(m_logoPage, QStringLiteral("Logo"));
  m_tabs->addTab(m_cryptPage, QStringLiteral("Encryption"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &CFileOptionsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(buttons);
  resize(440, 280);
}

void CFileOptionsSheet::accept() {
  if (CollectEncryption()) QDialog::accept();
}

bool CFileOptionsSheet::AskAgainForPassword() {
  Warn("Please enter a new password.", "New Password");
  m_tabs->setCurrentWidget(m_cryptPage);
  m_cryptPage->PasswordEdit()->setFocus();
  return false;
}

bool CFileOptionsSheet::CollectEncryption() {
  FileEncryption current = m_document.GetFileEncryption();
  const CryptProvider& crypt = m_document.GetCryptProvider();
  CFileOptionsPage_Crypt& page = *m_cryptPage;
  if (!page.Encrypt()) {
    m_encryptionChanged = current.nCryptType || current.nHashType || current.nKeyLength;
    m_cipher = m_keyLength = m_keyDerivation = 0;
    m_newPassword.Clear();
    return true;
  }
  QString text = page.PasswordEdit()->text();
  if (text.isEmpty()) return AskAgainForPassword();
  bool unchanged = text == CFileOptionsPage_Crypt::UnchangedPassword();
  uint32_t cipher = ChosenOrDefault(page.Choice().cipher, crypt.DefaultCipher());
  uint32_t keyDerivation = ChosenOrDefault(page.Choice().keyDerivation, crypt.DefaultKeyDerivation());
  uint32_t keyLength = page.Choice().keyLength;
  m_encryptionChanged = cipher != current.nCryptType || keyDerivation != current.nHashType ||
                        keyLength != current.nKeyLength || !unchanged;
  if (!m_encryptionChanged) return true;
  // New settings derive a new key, which needs the password typed again.
  if (unchanged) return AskAgainForPassword();
  std::optional<CryptAlgorithmInfo> chosen = FindCipher(crypt, cipher);
  // A cipher the module does not serve would save the file without a key, that is in clear.
  if (!chosen) {
    Warn("The chosen encryption algorithm is not available.", "File Properties");
    return false;
  }
  SecureString typed = PasswordText(page.PasswordEdit());
  PasswordRequest request;
  request.mode = kPasswordConfirm;
  request.document = &m_document;
  request.presetNew = typed;
  std::optional<PasswordAnswer> answer = AppPrompts().AskPassword(request);
  if (!answer) return false;
  // The dialog compares itself; whoever else answers the question must repeat the password too.
  if (!(answer->first == typed)) {
    Warn("You have not correctly retyped your new password.", "User Authentication");
    return false;
  }
  m_cipher = cipher;
  m_keyLength = ValidKeyLength(*chosen, keyLength);
  m_keyDerivation = keyDerivation;
  m_newPassword = std::move(typed);
  return true;
}

bool RunFileProperties(CMarrowleafDoc& document, const QString& imageFilter, QWidget* parent) {
  CFileOptionsSheet sheet(document, imageFilter, parent);
  if (sheet.exec() != QDialog::Accepted) return false;

  const CFileOptionsPage_Sort& sort = *sheet.SortPage();
  FileHeader header = document.GetHeader();
  header.sortFlags = uint16_t(sort.AlphabeticalIndex() + (sort.NumericCheck()->isChecked() ? kSortNumerical : 0));
  header.folderArrangement = uint16_t(sort.FolderIndex());
  document.SetHeader(header, true);

  const CFileOptionsPage_Logo& logo = *sheet.LogoPage();
  bool custom = logo.CustomLogoCheck()->isChecked();
  if (logo.NewPictureChosen() && custom) {
    if (!document.SetLogoFromFile(QFile::encodeName(logo.PicturePath()).toStdString()))
      Warn("The logo could not be changed; the document keeps its old logo.", "Change Logo");
  } else if (!custom && document.HasLogo()) {
    document.ClearLogo();
  }

  if (sheet.EncryptionChanged()) {
    RunInBackground("Setting the file password...", [&] {
      document.SetFileEncryption(sheet.CipherType(), sheet.KeyLength(), sheet.KeyDerivationType(), sheet.NewPassword());
      return true;
    });
    document.SetModifiedFlag();
  }
  return true;
}

}  // namespace mlf
