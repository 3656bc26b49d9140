// CCryptSettingsDlg: the "Advanced..." dialog of the encryption pages. It lists the module's
// ciphers and key-derivation types, shows the strength of the chosen cipher, and returns the
// chosen types; the key length passes through unchanged. The key-derivation list is shown but
// disabled: the user changes only the cipher.
#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QLabel;

namespace mlf {

class CryptProvider;

// The identifier of the "Unknown ... Algorithm" entries, and of no selection.
inline constexpr int64_t kUnknownAlgorithm = -1;

// The three values an encryption page holds and "Advanced..." edits; a type of 0 or below
// means none was chosen.
struct CryptChoice {
  int64_t cipher = 0;
  int64_t keyDerivation = 0;
  uint32_t keyLength = 0;
};

class CCryptSettingsDlg : public QDialog {
  Q_OBJECT
 public:
  // cipher and keyDerivation: the types in use, 0 when none was chosen yet.
  CCryptSettingsDlg(const CryptProvider& crypt, int64_t cipher, int64_t keyDerivation, uint32_t keyLength,
                    QWidget* parent = nullptr);

  // The selected entries' identifiers (kUnknownAlgorithm for an unknown entry or none).
  int64_t CipherType() const;
  int64_t KeyDerivationType() const;
  uint32_t KeyLength() const { return m_keyLength; }

  QComboBox* CipherList() const { return m_ciphers; }
  QComboBox* HashList() const { return m_hashes; }
  QLabel* StrengthText() const { return m_strength; }

 private:
  void UpdateStrength();

  const CryptProvider& m_crypt;
  uint32_t m_keyLength;
  QComboBox* m_hashes;
  QComboBox* m_ciphers;
  QLabel* m_strength;
};

// Runs the dialog on the choice; true, with the choice updated, on OK.
bool EditCryptChoice(const CryptProvider& crypt, CryptChoice& choice, QWidget* parent);

}  // namespace mlf
