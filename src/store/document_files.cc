// Node content from and to ordinary files, a node's key, and what the document knows of its
// own file on disk.
#include <vector>

#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "convert/text_conv_lib.h"
#include "imaging/picture_decoder.h"
#include "imaging/picture_encoder.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "store/node_key.h"
#include "store/node_password.h"
#include "store/prompts.h"
#include "store/reencrypt.h"

namespace mlf {
namespace {

// A file's name as a node title, stored by the rule typed titles follow.
std::string TitleOf(const std::string& path) { return Utf8ToStoredText(BaseName(path)); }

}  // namespace

uint32_t CMarrowleafDoc::AddNodeFromFile(const std::string& path, uint8_t type, bool compress,
                                         const std::string& title) {
  constexpr size_t kPiece = 16 * 1024;
  try {
    std::unique_ptr<File> in = m_env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    CMlfNode node;
    node.Create(this, type, title.c_str(), 0);
    CMlfNodeData* data = node.GetNodeDataForWrite(compress);
    if (!data) return 0;
    data->ExpectLength(in->Size());
    std::vector<char> buffer(kPiece);
    while (size_t n = in->Read(buffer.data(), buffer.size())) data->Put(buffer.data(), n);
    return data->Finish() ? node.GetId() : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

uint32_t CMarrowleafDoc::Data_AddDocumentFromFile(const std::string& path, int code, bool compress) {
  AppLog().WriteLine("Data_AddDocumentFromFile([FILENAME NOT LOGGED], " + std::to_string(code) + ");");
  std::string rtfPath;
  uint32_t id = 0;
  try {
    rtfPath = m_env.CreateTempFile("MLF", ".tmp", false, {})->Path();  // closed: the converter writes it
    CTextConvLib converters(m_env);
    converters.LoadConverters();
    if (converters.ConvertToRtf(path, rtfPath)) id = AddNodeFromFile(rtfPath, ntNote, compress, TitleOf(path));
  } catch (const std::exception&) {
  }
  if (!rtfPath.empty()) {
    try {
      m_env.DeleteFile(rtfPath);
    } catch (const FileError&) {
    }
  }
  return id;
}

uint32_t CMarrowleafDoc::Data_AddImageFromFile(const std::string& path, int, bool compress) {
  if (!DecodePictureFile(m_env, path)) return 0;
  return AddNodeFromFile(path, ntImage, compress, TitleOf(path));
}

uint32_t CMarrowleafDoc::Data_AddFromFile(const std::string& path, uint8_t type, int code, bool compress) {
  switch (type) {
    case ntNote: return Data_AddDocumentFromFile(path, code, compress);
    case ntImage: return Data_AddImageFromFile(path, code, compress);
    case ntHtml: return Data_AddHtmlFromFile(path, code);
    case ntForeign: return Data_AddForeignFromFile(path, code);
    default: return 0;
  }
}

uint32_t CMarrowleafDoc::Data_AddHtmlFromFile(const std::string& path, int code) {
  AppLog().WriteLine("Data_AddHtmlFromFile([FILENAME NOT LOGGED], " + std::to_string(code) + ");");
  return AddNodeFromFile(path, ntHtml, true, TitleOf(path));
}

uint32_t CMarrowleafDoc::Data_AddForeignFromFile(const std::string& path, int code) {
  AppLog().WriteLine("Data_AddForeignFromFile([FILENAME NOT LOGGED], " + std::to_string(code) + ");");
  return AddNodeFromFile(path, ntForeign, true, TitleOf(path));
}

bool CMarrowleafDoc::Data_CopyToFile(uint32_t nodeId, const std::string& path,
                                     const std::function<void(int)>& progress, ContentError* error) {
  constexpr size_t kPiece = 64 * 1024;
  auto fail = [&](ContentError why) {
    if (error) *error = why;
    return false;
  };
  if (error) *error = ContentError::None;
  CMlfNode node(this, nodeId);
  if (!node.HasContentType()) return fail(ContentError::NoContent);
  // The content is decoded before the target exists, so a node that cannot be read leaves no file.
  CMlfNodeData* data = node.HasContent() ? node.GetNodeDataForRead() : nullptr;
  if (node.HasContent() && !data) {
    AppLog().WriteLine("WARNING: Failed to acquire CMlfNodeData object in CMarrowleafDoc::Data_CopyToFile");
    return fail(ContentError::Damaged);
  }
  if (data && data->Error() != ContentError::None) return fail(data->Error());
  std::unique_ptr<File> out;
  ContentError why = ContentError::None;
  try {
    out = m_env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::ShareRead);
    std::vector<char> buffer(kPiece);
    uint64_t written = 0;
    while (size_t n = data ? data->Get(buffer.data(), buffer.size()) : 0) {  // never written: an empty file
      out->Write(buffer.data(), n);
      written += n;
      if (progress && node.GetRawLength()) progress(static_cast<int>(written * 1000 / node.GetRawLength()));
    }
    why = data ? data->Error() : ContentError::None;
    if (why == ContentError::None && data && written != node.GetRawLength()) why = ContentError::Damaged;
  } catch (const std::exception&) {
    why = ContentError::Unwritable;
  }
  if (why == ContentError::None) return true;
  if (out) {
    out.reset();
    try {
      m_env.DeleteFile(path);  // nothing half-written stays behind
    } catch (const FileError&) {
    }
  }
  return fail(why);
}

std::optional<std::vector<uint8_t>> CMarrowleafDoc::Data_ReadContent(uint32_t nodeId, ContentError* error) {
  if (error) *error = ContentError::None;
  CMlfNode node(this, nodeId);
  CMlfNodeData* data = node.IsValid() ? node.GetNodeDataForRead() : nullptr;
  ContentError why = !data ? ContentError::NoContent : data->Error();
  std::vector<uint8_t> content;
  if (data && why == ContentError::None) {
    content.resize(node.GetRawLength());
    content.resize(data->Get(content.data(), content.size()));
    why = data->Error() != ContentError::None ? data->Error()
          : content.size() != node.GetRawLength() ? ContentError::Damaged
                                                  : ContentError::None;
  }
  if (error) *error = why;
  if (why != ContentError::None) return std::nullopt;
  return content;
}

bool CMarrowleafDoc::Data_CopyImageToFile(uint32_t nodeId, const std::string& path, int format,
                                          std::string* errorText, std::string* finalPath,
                                          const std::function<bool(const std::string&)>& mayWrite) {
  auto fail = [&](const std::string& reason) {
    if (errorText) *errorText = reason.substr(0, 1024);
    return false;
  };
  if (errorText) errorText->clear();
  ContentError unreadable;
  std::optional<std::vector<uint8_t>> content = Data_ReadContent(nodeId, &unreadable);
  if (!content) return fail(ContentErrorText(unreadable));
  DecodedPicture picture = DecodePicture(*content);
  // Stored bytes need only their format known (a metafile is recognised, not decoded).
  if (!picture && (format != 0 || picture.format == PictureFormat::Unknown)) return fail({});
  try {
    if (format == 0) {
      std::string name = AddFormatExtension(path, ImageFormatCodeOf(picture.format));
      if (finalPath) *finalPath = name;
      if (mayWrite && !mayWrite(name)) return true;
      std::unique_ptr<File> out = m_env.OpenFile(name, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::ShareRead);
      out->Write(content->data(), content->size());
      return true;
    }
    std::optional<EncodeFormat> encoder = EncodeFormatOf(static_cast<ImageFormatCode>(format));
    if (!encoder) return fail({});
    std::string name = AddFormatExtension(path, static_cast<ImageFormatCode>(format));
    if (finalPath) *finalPath = name;
    if (mayWrite && !mayWrite(name)) return true;
    std::vector<uint8_t> encoded = EncodePicture(picture.bitmap, *encoder);
    if (encoded.empty()) return fail({});  // the codec's own errors give no reason
    std::unique_ptr<File> out = m_env.OpenFile(name, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::ShareRead);
    out->Write(encoded.data(), encoded.size());
    return true;
  } catch (const FileError& error) {
    return fail(error.what());
  }
}

bool CMarrowleafDoc::SetNodeEncryption(uint32_t nodeId, uint32_t cipher, uint32_t keyLength, uint32_t keyDerivation,
                                       const SecureString& newPassword, const SecureString& oldPassword) {
  auto lock = Lock();
  NTV record;
  if (!Data_GetItem(nodeId, record)) return false;
  const CryptProvider& crypt = GetCryptProvider();
  std::unique_ptr<Cipher> encryptor, decryptor;
  if (cipher && keyLength) {
    encryptor = MakeCipher(crypt, CipherDirection::Encrypt, cipher, keyDerivation, keyLength, newPassword);
    if (!encryptor) return false;
  }
  DATALOC location;
  bool hasData = Data_GetLocation(nodeId, location) && location.bHasData;
  if (record.nFlags & kNodeEncrypted) {
    // A wrong old password would turn the stored bytes into garbage under either password.
    if (hasData && record.nTestLength != 0 && !VerifyNodePassword(*this, nodeId, oldPassword)) return false;
    decryptor = MakeCipher(crypt, CipherDirection::Decrypt, record.nCryptType, record.nHashType, record.nKeyLength,
                           oldPassword);
    if (!decryptor) return false;
  }
  uint32_t testLength = 0;
  // A node without content gets a stream too when it gets a password: the stream's test block
  // is what the password is checked against later.
  bool rewrite = encryptor || (decryptor && hasData);
  if (rewrite) {
    try {
      if (!ReencryptStream(*this, nodeId, encryptor.get(), decryptor.get(), testLength)) return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  Data_GetItem(nodeId, record);
  if (!rewrite) record.nFlags &= ~kNodeEncrypted;  // an empty node loses its password
  record.nCryptType = cipher;
  record.nKeyLength = keyLength;
  record.nHashType = keyDerivation;
  record.nTestLength = testLength;
  Data_SetItem(nodeId, record, true);
  return true;
}

void CMarrowleafDoc::SetBackupCount(uint32_t count) {
  auto lock = Lock();
  m_backupCount = count;
}

void CMarrowleafDoc::RememberDiskStamp() { m_diskStamp = m_env.Stamp(m_pathName); }

bool CMarrowleafDoc::ChangedOnDisk() const {
  auto lock = Lock();
  if (!m_diskStamp || m_pathName.empty()) return false;
  std::optional<FileStamp> now = m_env.Stamp(m_pathName);
  return now && *now != *m_diskStamp;
}

std::optional<CMarrowleafDoc::SaveResult> CMarrowleafDoc::AskBeforeOverwritingChange(const std::string& path) {
  // Only a save over the document's own file can lose another program's change; Save As onto
  // another file was confirmed in its own dialog.
  if (m_pathName.empty() || m_env.ResolveLinks(path) != m_env.ResolveLinks(m_pathName) || !ChangedOnDisk())
    return std::nullopt;
  switch (AppPrompts().AskChangedFile(path)) {
    case ChangedFileAnswer::Overwrite: return std::nullopt;
    case ChangedFileAnswer::SaveAs: return SaveResult::SaveAsChosen;
    case ChangedFileAnswer::KeepEditing: break;
  }
  return SaveResult::KeptEditing;
}

}  // namespace mlf
