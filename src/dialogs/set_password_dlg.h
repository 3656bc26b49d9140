// CSetPasswordDlg: the one password dialog. Its mode decides the caption, the rows shown and
// the checks made on OK: 1 enter (and, with a node, verify) a password, 2 set a new one (3 with
// the old one verified first), 4 confirm a new file password.
#pragma once

#include <QDialog>
#include <cstdint>

#include "platform/secure_memory.h"

class QLabel;
class QLineEdit;

namespace mlf {

class CMarrowleafDoc;

// The edit's text as the password the encryption module gets: its UTF-8 bytes, as the
// command-line tool passes them.
SecureString PasswordText(const QLineEdit* edit);

class CSetPasswordDlg : public QDialog {
  Q_OBJECT
 public:
  CSetPasswordDlg(uint32_t mode, CMarrowleafDoc* document, uint32_t nodeId, QWidget* parent = nullptr);

  // Mode 4: the new password that the first row must repeat.
  void SetNewText(const SecureString& text);
  SecureString FirstText() const;
  SecureString NewText() const;
  SecureString RetypedText() const;

  QLineEdit* FirstEdit() const { return m_first; }
  QLineEdit* NewEdit() const { return m_new; }
  QLineEdit* RetypedEdit() const { return m_retyped; }
  QLabel* FirstLabel() const { return m_firstLabel; }

  // OK: runs the mode's checks and closes only when they pass.
  void accept() override;

 private:
  bool Refuse(const char* text, QLineEdit* focus, bool selectAll);

  uint32_t m_mode;
  CMarrowleafDoc* m_document;
  uint32_t m_nodeId;
  SecureString m_presetNew;
  QLabel* m_firstLabel;
  QLineEdit* m_first;
  QLineEdit* m_new;
  QLineEdit* m_retyped;
};

}  // namespace mlf
