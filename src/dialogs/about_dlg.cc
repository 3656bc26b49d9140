#include "dialogs/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "crypt/crypt_dll_handler.h"
#include "widgets/hyper_link.h"
#include "widgets/svg_art.h"

namespace mlf {
namespace {

constexpr const char* kSupportAddress = "support@quarn.example";

}  // namespace

QString CAboutDlg::VersionText() {
  // The strength is the longest key the module takes; 0 without the module.
  unsigned bits = AppCrypt().MaxKeyLength() * 8;
  return QStringLiteral("Quarn Marrowleaf version %1 (build %2)\n"
                        "Encryption strength: %3-bit\n"
                        "Licensed to you as is, without warranty of any kind.")
      .arg(QLatin1String(MLF_VERSION_TEXT), QLatin1String(MLF_BUILD_STAMP))
      .arg(bits);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quarn Marrowleaf"));
  auto* layout = new QVBoxLayout(this);
  auto* logo = new QLabel(this);
  logo->setPixmap(RenderSvg(QStringLiteral(":/art/product_logo.svg"), {}, devicePixelRatioF()));
  logo->setAlignment(Qt::AlignCenter);
  layout->addWidget(logo);

  QString address = QLatin1String(kSupportAddress);
  auto* link = new CHyperLink(address, QStringLiteral("mailto:") + address, this);
  link->setAlignment(Qt::AlignCenter);
  layout->addWidget(link, 0, Qt::AlignHCenter);

  auto* version = new QPlainTextEdit(VersionText(), this);
  version->setReadOnly(true);
  version->setFrameShadow(QFrame::Sunken);
  version->setLineWrapMode(QPlainTextEdit::NoWrap);
  version->setFixedHeight(version->fontMetrics().lineSpacing() * 3 + 16);
  int widest = 0;
  for (const QString& line : VersionText().split(QLatin1Char('\n')))
    widest = std::max(widest, version->fontMetrics().horizontalAdvance(line));
  version->setMinimumWidth(widest + 24);
  layout->addWidget(version);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace mlf
