// The module's options: the dictionary language (from the installed dictionaries), the
// personal words (view, remove) and checking as you type. Nothing changes before OK.
//
// The controls carry object names (language, personalWords, removeWord, checkAsYouType) for
// tests that drive the dialog.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QListWidget;

namespace quarnspell {

class ModuleState;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(ModuleState& state, QWidget* owner);

 private:
  void Apply();

  ModuleState& m_state;
  QComboBox* m_language;
  QListWidget* m_words;
  QCheckBox* m_checkAsYouType;
  QStringList m_removed;
};

}  // namespace quarnspell
