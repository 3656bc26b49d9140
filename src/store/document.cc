#include "store/document.h"

#include <utility>

#include "crypt/crypt_dll_handler.h"
#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "imaging/picture_decoder.h"
#include "imaging/picture_resource.h"
#include "store/gzip.h"
#include "store/document_observer.h"
#include "store/encrypted_layout.h"
#include "store/node_clipboard.h"

namespace mlf {

CMarrowleafDoc::CMarrowleafDoc(Env& env) : m_env(env) {
  try {
    m_workFile = m_env.CreateTempFile("MLF", ".tmp", true, {});
  } catch (const FileError& error) {
    AppLog().WriteLine("WARNING: A temporary file could not be constructed at " + m_env.TempDirectory());
  }
}

CMarrowleafDoc::~CMarrowleafDoc() {
  NodeClipboard::Instance().ForgetDocument(this);
  m_workFile.reset();
  DiscardDecryptedCopy();
  m_orgFile.reset();
}

void CMarrowleafDoc::SetObserver(DocumentObserver* observer) {
  auto lock = Lock();
  m_observer = observer;
}

void CMarrowleafDoc::NotifyNode(uint32_t nodeId) {
  if (m_observer) m_observer->RefreshNode(nodeId);
}

void CMarrowleafDoc::NotifyTask(uint32_t taskId) {
  if (m_observer) m_observer->RefreshTask(taskId);
}

void CMarrowleafDoc::NotifyLogo() {
  if (m_observer) m_observer->RefreshLogo();
}

void CMarrowleafDoc::OnNewDocument() {
  auto lock = Lock();
  DeleteContents();
  m_header = FileHeader{};
  m_readVersion = kCurrentFileVersion;
  m_header.created = SystemTimeFromUtc(m_env.Now());
  m_moreInfo = {};
  SetModifiedFlag();
}

void CMarrowleafDoc::ResetCollections() {
  m_nodes.clear();
  m_detachedAtOpen.clear();
  m_locations.clear();
  m_passwords.clear();
  m_keywords.Clear();
  m_bookmarks.Clear();
  m_tasks.Clear();
  m_hasLogo = false;
  m_logo = Bitmap();
  m_logoWorkOffset = m_logoWorkLength = 0;
}

void CMarrowleafDoc::DeleteContents() {
  auto lock = Lock();
  NodeClipboard::Instance().ForgetDocument(this);
  ResetCollections();
}

void CMarrowleafDoc::SetModifiedFlag(bool modified) {
  auto lock = Lock();
  if (std::exchange(m_modified, modified) != modified && m_observer) m_observer->ModifiedChanged(modified);
}

bool CMarrowleafDoc::IsModified() const {
  auto lock = Lock();
  return m_modified;
}

std::string CMarrowleafDoc::GetPathName() const {
  auto lock = Lock();
  return m_pathName;
}

FileHeader CMarrowleafDoc::GetHeader() const {
  auto lock = Lock();
  return m_header;
}

void CMarrowleafDoc::SetHeader(const FileHeader& header, bool markModified) {
  auto lock = Lock();
  m_header = header;
  if (markModified) SetModifiedFlag();
}

std::string CMarrowleafDoc::GetWorkFilePath() const {
  auto lock = Lock();
  return m_workFile ? m_workFile->Path() : std::string();
}

CryptProvider& CMarrowleafDoc::GetCryptProvider() const {
  auto lock = Lock();
  if (m_crypt) return *m_crypt;
  return AppCrypt();
}

void CMarrowleafDoc::SetCryptProvider(CryptProvider* provider) {
  auto lock = Lock();
  m_crypt = provider;
}

void CMarrowleafDoc::SetFileEncryption(uint32_t cipher, uint32_t keyLength, uint32_t keyDerivation,
                                       const SecureString& password) {
  auto lock = Lock();
  m_fileEncryption.nCryptType = cipher;
  m_fileEncryption.nKeyLength = keyLength;
  m_fileEncryption.nHashType = keyDerivation;
  if (keyLength == 0) {
    m_fileEncryption.key.clear();
    m_fileEncryption.passwordBlock.clear();
    return;
  }
  const CryptProvider& crypt = GetCryptProvider();
  m_fileEncryption.key = crypt.DeriveKey(keyDerivation, password.view(), keyLength);
  m_fileEncryption.passwordBlock = crypt.PasswordBlock(password.view());
}

bool CMarrowleafDoc::SetLogoFromFile(const std::string& path) {
  constexpr size_t kPiece = 16 * 1024;
  auto lock = Lock();
  DecodedPicture picture = DecodePictureFile(m_env, path);
  if (!picture || !m_workFile) return false;
  try {
    std::unique_ptr<File> in = m_env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    GzipWriter gzip;
    std::vector<char> buffer(kPiece);
    while (size_t n = in->Read(buffer.data(), buffer.size())) gzip.Put(buffer.data(), n);
    std::vector<uint8_t> member = gzip.Finish();
    uint64_t offset = m_workFile->Size();
    m_workFile->Seek(offset);
    m_workFile->Write(member.data(), member.size());
    m_logoWorkOffset = offset;
    m_logoWorkLength = member.size();
  } catch (const FileError&) {
    return false;
  }
  m_logo = std::move(picture.bitmap);
  m_hasLogo = true;
  NotifyLogo();
  return true;
}

std::optional<std::vector<uint8_t>> CMarrowleafDoc::GetLogoPicture() const {
  auto lock = Lock();
  if (!m_hasLogo) return std::nullopt;
  // A logo chosen since the last save lies in the work file, else in the file read.
  File* file = m_logoWorkLength ? m_workFile.get() : DataFile();
  uint64_t offset = m_logoWorkLength ? m_logoWorkOffset : m_header.logoOffset;
  uint64_t length = m_logoWorkLength ? m_logoWorkLength : m_header.logoLength;
  if (!file || length < 4) return std::nullopt;
  try {
    if (offset + length > file->Size()) return std::nullopt;
    std::vector<uint8_t> member(length);
    file->Seek(offset);
    file->ReadExact(member.data(), member.size());
    GunzipResult picture = Gunzip(member.data(), member.size(), ReadLe32(member.data() + member.size() - 4));
    if (!picture.ok) return std::nullopt;
    return std::move(picture.bytes);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

Bitmap CMarrowleafDoc::GetLogoBitmap() const {
  static const Bitmap defaultLogo = DecodePictureResource(PictureResource::DefaultLogo).bitmap;
  auto lock = Lock();
  return m_hasLogo && m_logo ? m_logo.Clone() : defaultLogo.Clone();
}

FileEncryption CMarrowleafDoc::GetFileEncryption() const {
  auto lock = Lock();
  return m_fileEncryption;
}

bool CMarrowleafDoc::HasLogo() const {
  auto lock = Lock();
  return m_hasLogo;
}

void CMarrowleafDoc::ClearLogo() {
  auto lock = Lock();
  m_hasLogo = false;
  m_logo = Bitmap();
  m_logoWorkOffset = m_logoWorkLength = 0;
  NotifyLogo();
}

}  // namespace mlf
