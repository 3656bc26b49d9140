#include "dialogs/crypt_settings_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "crypt/crypt_provider.h"

namespace mlf {
namespace {

// Fills a sorted list with the module's entries and selects the one in use; a type in use that
// the module does not offer (a file made elsewhere, an older module) shows as the unknown entry.
void Fill(QComboBox* list, const std::vector<CryptAlgorithmInfo>& entries, int64_t inUse, const char* unknownText) {
  for (const CryptAlgorithmInfo& entry : entries) list->addItem(QString::fromStdString(entry.name), qint64(entry.id));
  bool offered = list->findData(qint64(inUse)) >= 0;
  if (inUse > 0 && !offered) list->addItem(QString::fromLatin1(unknownText), qint64(kUnknownAlgorithm));
  list->model()->sort(0);
  list->setCurrentIndex(inUse > 0 ? list->findData(qint64(offered ? inUse : kUnknownAlgorithm)) : -1);
}

int64_t Selected(const QComboBox* list) {
  return list->currentIndex() < 0 ? kUnknownAlgorithm : list->currentData().toLongLong();
}

}  // namespace

CCryptSettingsDlg::CCryptSettingsDlg(const CryptProvider& crypt, int64_t cipher, int64_t keyDerivation,
                                     uint32_t keyLength, QWidget* parent)
    : QDialog(parent),
      m_crypt(crypt),
      m_keyLength(keyLength),
      m_hashes(new QComboBox(this)),
      m_ciphers(new QComboBox(this)),
      m_strength(new QLabel(QStringLiteral("56-bit"), this)) {
  setWindowTitle(QStringLiteral("Encryption Settings"));
  m_hashes->setAccessibleName(QStringLiteral("Hash Algorithm"));
  m_ciphers->setAccessibleName(QStringLiteral("Encryption Algorithm"));
  m_strength->setAccessibleName(QStringLiteral("Key strength"));
  for (QComboBox* list : {m_hashes, m_ciphers}) {
    list->setMaxVisibleItems(12);
    list->setMinimumContentsLength(24);
  }
  Fill(m_ciphers, crypt.Ciphers(), cipher, "Unknown Encryption Algorithm");
  Fill(m_hashes, crypt.KeyDerivations(), keyDerivation, "Unknown Hashing Algorithm");
  m_hashes->setEnabled(false);
  UpdateStrength();
  connect(m_ciphers, &QComboBox::currentIndexChanged, this, &CCryptSettingsDlg::UpdateStrength);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Hash Algorithm:"), m_hashes);
  auto* cipherRow = new QHBoxLayout;
  cipherRow->addWidget(m_ciphers, 1);
  cipherRow->addWidget(m_strength);
  form->addRow(QStringLiteral("Encryption Algorithm:"), cipherRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int64_t CCryptSettingsDlg::CipherType() const { return Selected(m_ciphers); }

int64_t CCryptSettingsDlg::KeyDerivationType() const { return Selected(m_hashes); }

void CCryptSettingsDlg::UpdateStrength() {
  uint32_t bytes = 0;
  int64_t cipher = CipherType();
  for (const CryptAlgorithmInfo& entry : m_crypt.Ciphers())
    if (int64_t(entry.id) == cipher) bytes = entry.defaultKeyLength;
  m_strength->setText(QStringLiteral("%1-bit").arg(bytes * 8));
}

bool EditCryptChoice(const CryptProvider& crypt, CryptChoice& choice, QWidget* parent) {
  CCryptSettingsDlg dialog(crypt, choice.cipher, choice.keyDerivation, choice.keyLength, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = {dialog.CipherType(), dialog.KeyDerivationType(), dialog.KeyLength()};
  return true;
}

}  // namespace mlf
