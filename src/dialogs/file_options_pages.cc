#include "dialogs/file_options_pages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "crypt/crypt_provider.h"
#include "imaging/picture_decoder.h"
#include "store/document.h"
#include "store/prompts.h"
#include "widgets/wait_cursor.h"

namespace mlf {
namespace {

// A group box of radio buttons numbered in order, the button of index checked.
QButtonGroup* RadioGroup(const char* title, std::initializer_list<const char*> texts, int index, QVBoxLayout* into,
                         QWidget* parent) {
  auto* box = new QGroupBox(QString::fromLatin1(title), parent);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(parent);
  int id = 0;
  for (const char* text : texts) {
    auto* button = new QRadioButton(QString::fromLatin1(text), box);
    group->addButton(button, id++);
    layout->addWidget(button);
  }
  if (QAbstractButton* button = group->button(index)) button->setChecked(true);
  into->addWidget(box);
  return group;
}

}  // namespace

CFileOptionsPage_Sort::CFileOptionsPage_Sort(const CMarrowleafDoc& document, QWidget* parent) : QWidget(parent) {
  FileHeader header = document.GetHeader();
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  groups->addLayout(left);
  groups->addLayout(right);
  layout->addLayout(groups);
  m_alphabetical = RadioGroup("Alphabetical", {"A to Z", "Z to A"}, header.sortFlags & kSortDescending, left, this);
  m_folders = RadioGroup("Folder Arrangement", {"Folders First", "Folders Last", "None"}, header.folderArrangement,
                         right, this);
  left->addStretch();
  right->addStretch();
  m_numeric = new QCheckBox(QStringLiteral("Intelligent Numerical Sorting"), this);
  m_numeric->setChecked(header.sortFlags & kSortNumerical);
  layout->addWidget(m_numeric);
  layout->addStretch();
}

int CFileOptionsPage_Sort::AlphabeticalIndex() const { return std::max(0, m_alphabetical->checkedId()); }

int CFileOptionsPage_Sort::FolderIndex() const { return std::max(0, m_folders->checkedId()); }

CFileOptionsPage_Logo::CFileOptionsPage_Logo(const CMarrowleafDoc& document, QString imageFilter, QWidget* parent)
    : QWidget(parent),
      m_document(document),
      m_imageFilter(std::move(imageFilter)),
      m_custom(new QCheckBox(QStringLiteral("Custom Logo"), this)),
      m_change(new QPushButton(QStringLiteral("Change &Logo..."), this)) {
  m_custom->setChecked(document.HasLogo());
  m_change->setEnabled(m_custom->isChecked());
  connect(m_custom, &QCheckBox::toggled, m_change, &QWidget::setEnabled);
  connect(m_change, &QPushButton::clicked, this, &CFileOptionsPage_Logo::OnChangeLogo);
  auto* row = new QHBoxLayout;
  row->addWidget(m_custom);
  row->addStretch();
  row->addWidget(m_change);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addStretch();
}

void CFileOptionsPage_Logo::OnChangeLogo() {
  QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Change Logo"), QString(), m_imageFilter);
  if (!path.isEmpty()) ChooseLogo(path);
}

bool CFileOptionsPage_Logo::ChooseLogo(const QString& path) {
  DecodedPicture picture;
  {
    WaitCursor wait;
    picture = DecodePictureFile(m_document.GetEnv(), QFile::encodeName(path).toStdString());
  }
  if (!picture) {
    std::string text = "This picture cannot be used as the logo.";
    if (!picture.reason.empty()) text += "\n\n" + picture.reason;
    AppPrompts().Message(text, "Change Logo", MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
  }
  m_path = path;
  m_newPicture = true;
  return true;
}

const QString& CFileOptionsPage_Crypt::UnchangedPassword() {
  // 22 characters, four of them from the private-use area that no keyboard produces.
  static const QString text = QStringLiteral(u"\uF8E0\uF8E1Password Unchanged\uF8E2\uF8E3");
  return text;
}

CFileOptionsPage_Crypt::CFileOptionsPage_Crypt(const CMarrowleafDoc& document, QWidget* parent)
    : QWidget(parent),
      m_crypt(document.GetCryptProvider()),
      m_unavailable(!m_crypt.IsAvailable()),
      m_password(new QLineEdit(this)),
      m_passwordLabel(new QLabel(QStringLiteral("Password:"), this)),
      m_advanced(new QPushButton(QStringLiteral("Advanced..."), this)),
      m_encryptCheck(new QCheckBox(QStringLiteral("Encrypt file"), this)),
      m_status(new QLabel(this)) {
  m_password->setEchoMode(QLineEdit::Password);
  m_password->setAccessibleName(QStringLiteral("File password"));
  m_passwordLabel->setBuddy(m_password);
  m_status->setAccessibleName(QStringLiteral("Encryption status"));
  m_status->setWordWrap(true);
  m_password->installEventFilter(this);
  if (m_unavailable) {
    m_encryptCheck->setEnabled(false);
    m_status->setText(QStringLiteral("Encryption is not available."));
  }
  FileEncryption settings = document.GetFileEncryption();
  if (settings.nCryptType != 0) {
    m_choice.cipher = settings.nCryptType;
    m_choice.keyLength = settings.nKeyLength;
    m_encrypt = true;
    m_encryptCheck->setChecked(true);
    m_password->setText(UnchangedPassword());
  } else {
    m_choice.cipher = m_crypt.DefaultCipher();
  }
  m_choice.keyDerivation = settings.nHashType ? settings.nHashType : m_crypt.DefaultKeyDerivation();
  OnEncryptToggled(m_encrypt);
  connect(m_encryptCheck, &QCheckBox::toggled, this, &CFileOptionsPage_Crypt::OnEncryptToggled);
  connect(m_advanced, &QPushButton::clicked, this, &CFileOptionsPage_Crypt::OnAdvanced);

  auto* grid = new QGridLayout;
  grid->addWidget(m_encryptCheck, 0, 0, 1, 2);
  grid->addWidget(m_advanced, 0, 2);
  grid->addWidget(m_passwordLabel, 1, 0);
  grid->addWidget(m_password, 1, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(m_status);
  layout->addStretch();
}

void CFileOptionsPage_Crypt::OnEncryptToggled(bool checked) {
  m_encrypt = checked;
  for (QWidget* widget : std::initializer_list<QWidget*>{m_passwordLabel, m_password, m_advanced})
    widget->setEnabled(checked);
}

bool CFileOptionsPage_Crypt::eventFilter(QObject* watched, QEvent* event) {
  // After the click that gave the focus, so that the click does not undo the selection.
  if (watched == m_password && event->type() == QEvent::FocusIn)
    QTimer::singleShot(0, m_password, &QLineEdit::selectAll);
  return QWidget::eventFilter(watched, event);
}

void CFileOptionsPage_Crypt::OnAdvanced() {
  if (EditCryptChoice(m_crypt, m_choice, this)) m_password->clear();
}

}  // namespace mlf
