// The pages of the Node Properties sheet: the node's keywords, and its encryption.
#pragma once

#include <QWidget>
#include <cstdint>

#include "dialogs/crypt_settings_dlg.h"
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace mlf {

class CMarrowleafDoc;
class CMlfNode;
class CryptProvider;

class CNodePropsPage_Keywords : public QWidget {
  Q_OBJECT
 public:
  CNodePropsPage_Keywords(CMarrowleafDoc& document, uint32_t nodeId, QWidget* parent = nullptr);

  // "Add >": the edit's text in lower case joins the list, unless it is empty, too long or
  // listed already (the user is told).
  void OnAdd();
  // "< Remove": the selected line leaves the list.
  void OnRemove();

  bool Changed() const { return m_changed; }
  // The node's keywords in the order they were listed and added, in lower case.
  const std::vector<QString>& Keywords() const { return m_keywords; }

  QLineEdit* Edit() const { return m_edit; }
  QPushButton* AddButton() const { return m_add; }
  QPushButton* RemoveButton() const { return m_remove; }
  QListWidget* List() const { return m_list; }

 protected:
  // Enter in the edit box adds the keyword instead of closing the sheet.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refuse(const char* text);

  bool m_changed = false;
  std::vector<QString> m_keywords;
  QLineEdit* m_edit;
  QPushButton* m_add;
  QPushButton* m_remove;
  QListWidget* m_list;
};

class CNodePropsPage_Crypt : public QWidget {
  Q_OBJECT
 public:
  CNodePropsPage_Crypt(const CryptProvider& crypt, const CMlfNode& node, QWidget* parent = nullptr);

  bool Encrypt() const { return m_encrypt; }
  bool ChangePassword() const { return m_changePassword; }
  // The settings chosen: the node's own, the module's defaults, or those of "Advanced...".
  const CryptChoice& Choice() const { return m_choice; }

  // "Advanced...": the encryption settings dialog with the page's values.
  void OnAdvanced();

  QCheckBox* EncryptCheck() const { return m_encryptCheck; }
  QCheckBox* ChangeCheck() const { return m_changeCheck; }
  QPushButton* AdvancedButton() const { return m_advanced; }
  QLabel* StatusText() const { return m_status; }

 private:
  void OnEncryptToggled(bool checked);
  void OnChangeToggled(bool checked);

  const CryptProvider& m_crypt;
  CryptChoice m_choice;
  bool m_encrypt = false;
  bool m_changePassword = false;
  bool m_nodeEncrypted;
  QCheckBox* m_encryptCheck;
  QCheckBox* m_changeCheck;
  QPushButton* m_advanced;
  QLabel* m_status;
  bool m_showChangeHint = true;  // the hint comes once per sheet
};

}  // namespace mlf
