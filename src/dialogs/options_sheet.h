// COptionsSheet: Tools > Options, the General, Saving, Editor, Spelling and Start Up pages with OK and
// Cancel. The pages work on copies of the settings taken when the sheet is made; OK writes
// them all back, Cancel changes nothing.
#pragma once

#include <QDialog>

#include "settings/settings.h"

class QTabWidget;

namespace mlf {

class COptionsPage_Editor;
class COptionsPage_General;
class COptionsPage_Saving;
class COptionsPage_Spelling;
class COptionsPage_Startup;

class COptionsSheet : public QDialog {
  Q_OBJECT
 public:
  explicit COptionsSheet(MlfSettings& settings, QWidget* parent = nullptr);

  QTabWidget* Pages() const { return m_pages; }
  // OK: every page's values go into the settings, then the sheet closes.
  void accept() override;

 private:
  MlfSettings& m_settings;
  QTabWidget* m_pages;
  COptionsPage_General* m_general;
  COptionsPage_Saving* m_saving;
  COptionsPage_Editor* m_editor;
  COptionsPage_Spelling* m_spelling;
  COptionsPage_Startup* m_startup;
};

}  // namespace mlf
