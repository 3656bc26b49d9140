#include "dialogs/options_sheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/options_check_page.h"
#include "dialogs/options_editor_page.h"
#include "dialogs/options_saving_page.h"
#include "dialogs/options_spelling_page.h"

namespace mlf {

COptionsSheet::COptionsSheet(MlfSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_pages(new QTabWidget(this)),
      m_general(new COptionsPage_General(settings)),
      m_saving(new COptionsPage_Saving(settings)),
      m_editor(new COptionsPage_Editor(settings)),
      m_spelling(new COptionsPage_Spelling),
      m_startup(new COptionsPage_Startup(settings)) {
  setWindowTitle(QStringLiteral("Options"));
  m_pages->setUsesScrollButtons(false);  // every tab in sight: the sheet is as wide as they need
  m_pages->addTab(m_general, QStringLiteral("General"));
  m_pages->addTab(m_saving, QStringLiteral("Saving"));
  m_pages->addTab(m_editor, QStringLiteral("Editor"));
  m_pages->addTab(m_spelling, QStringLiteral("Spelling"));
  m_pages->addTab(m_startup, QStringLiteral("Start Up"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages);
  layout->addWidget(buttons);
}

void COptionsSheet::accept() {
  m_general->CopyBack(m_settings);
  m_saving->CopyBack(m_settings);
  m_startup->CopyBack(m_settings);
  m_editor->CopyBack(m_settings);
  QDialog::accept();
}

}  // namespace mlf
