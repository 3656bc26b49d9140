// The pages of the File Properties sheet: the tree's sort order, the custom logo, and the file
// password.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

#include "dialogs/crypt_settings_dlg.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mlf {

class CMarrowleafDoc;
class CryptProvider;

class CFileOptionsPage_Sort : public QWidget {
  Q_OBJECT
 public:
  explicit CFileOptionsPage_Sort(const CMarrowleafDoc& document, QWidget* parent = nullptr);

  int AlphabeticalIndex() const;  // 0 "A to Z", 1 "Z to A"
  int FolderIndex() const;        // 0 "Folders First", 1 "Folders Last", 2 "None"
  QButtonGroup* Alphabetical() const { return m_alphabetical; }
  QButtonGroup* Folders() const { return m_folders; }
  QCheckBox* NumericCheck() const { return m_numeric; }

 private:
  QButtonGroup* m_alphabetical;
  QButtonGroup* m_folders;
  QCheckBox* m_numeric;
};

class CFileOptionsPage_Logo : public QWidget {
  Q_OBJECT
 public:
  // imageFilter: the open dialog's filter list of pictures.
  CFileOptionsPage_Logo(const CMarrowleafDoc& document, QString imageFilter, QWidget* parent = nullptr);

  // Takes the picture as the new logo when it decodes; otherwise the user is told the
  // decoder's reason and the choice stays as it was.
  bool ChooseLogo(const QString& path);

  bool NewPictureChosen() const { return m_newPicture; }
  const QString& PicturePath() const { return m_path; }
  QCheckBox* CustomLogoCheck() const { return m_custom; }
  QPushButton* ChangeButton() const { return m_change; }

 private:
  void OnChangeLogo();

  const CMarrowleafDoc& m_document;
  QString m_imageFilter;
  QCheckBox* m_custom;
  QPushButton* m_change;
  QString m_path;
  bool m_newPicture = false;
};

class CFileOptionsPage_Crypt : public QWidget {
  Q_OBJECT
 public:
  CFileOptionsPage_Crypt(const CMarrowleafDoc& document, QWidget* parent = nullptr);

  // What the password edit holds while the file password stays as it is; it cannot be typed.
  static const QString& UnchangedPassword();

  bool Encrypt() const { return m_encrypt; }
  bool Unavailable() const { return m_unavailable; }
  const CryptChoice& Choice() const { return m_choice; }

  // "Advanced...": the encryption settings dialog; new settings need a new password.
  void OnAdvanced();

  QCheckBox* EncryptCheck() const { return m_encryptCheck; }
  QLineEdit* PasswordEdit() const { return m_password; }
  QLabel* PasswordLabel() const { return m_passwordLabel; }
  QPushButton* AdvancedButton() const { return m_advanced; }
  QLabel* StatusText() const { return m_status; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnEncryptToggled(bool checked);

  const CryptProvider& m_crypt;
  bool m_unavailable;
  CryptChoice m_choice;
  bool m_encrypt = false;
  QLineEdit* m_password;
  QLabel* m_passwordLabel;
  QPushButton* m_advanced;
  QCheckBox* m_encryptCheck;
  QLabel* m_status;
};

}  // namespace mlf
