// Opening a note file: the plain image or the encrypted envelope around it, all versions
// from 1 to 7. Nothing in the file is trusted: a read past its end is damage.
#include <cstring>
#include <optional>

#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "platform/path.h"
#include "platform/wipe.h"
#include "store/binary_io.h"
#include "store/document.h"
#include "store/document_observer.h"
#include "store/encrypted_layout.h"
#include "store/file_format.h"
#include "imaging/picture_decoder.h"
#include "store/gzip.h"
#include "store/node_key.h"
#include "store/prompts.h"

namespace mlf {
namespace {

MessageAnswer Warn(const std::string& text, const std::string& caption) {
  return AppPrompts().Message(text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

}  // namespace

bool CMarrowleafDoc::OnOpenDocument(const std::string& path, OpenMode mode) {
  auto lock = Lock();
  if (path.empty()) return false;
  OnNewDocument();
  m_pathName = path;
  try {
    m_orgFile = m_env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive);
    RememberDiskStamp();  // the version about to be read
  } catch (const FileError& error) {
    AppLog().WriteLine("Failed to open file " + path + ", GetLastError() := " + std::to_string(error.code()));
    Warn("Could not load file " + path + ".\r\n\r\n" + error.what(), kAppCaption);
    m_pathName.clear();
    return false;
  }
  LoadResult result = kLoadFailed;
  std::optional<std::string> damage;  // in the header, node table, more-info block or tasks
  try {
    result = LoadFile(mode);
  } catch (const std::exception& error) {
    damage = error.what();
  }
  if (result != kLoaded) {
    DeleteContents();
    DiscardDecryptedCopy();
    m_orgFile.reset();
    if (damage) Warn("Failed to open '" + path + "'.\n\n" + *damage + ".", "Load Failed");
  }
  SetModifiedFlag(false);
  if (result != kLoaded) return false;
  NoticeInterruptedSaves();
  if (m_observer) m_observer->OnDocumentLoaded();
  return true;
}

std::unique_ptr<File> CMarrowleafDoc::DecryptEnvelope(BinaryReader& in, const std::string& magic, LoadResult& result,
                                                     const FileEncryption* known) {
  result = kLoadCancelled;
  FileEncryption settings;
  settings.nCryptType = in.U32();
  settings.nHashType = in.U32();
  settings.nKeyLength = in.U32();
  settings.nTestLength = in.U32();
  uint32_t extraLength = 0;
  if (magic == kEncryptedMagicV2) {
    extraLength = in.U32();
    in.U32();
    in.U32();
  }
  const CryptProvider& crypt = GetCryptProvider();
  if (!crypt.IsAvailable() || !crypt.IsCipherSupported(settings.nCryptType) ||
      crypt.MaxKeyLength() < settings.nKeyLength) {
    Warn("You cannot access this encrypted file.\n\nEncryption is not available or not compatible.", "Access Denied");
    return nullptr;
  }
  std::vector<uint8_t> stored = in.Bytes(settings.nTestLength);
  std::unique_ptr<Cipher> decryptor;
  auto opens = [&](const SecureBytes& key) {
    decryptor = crypt.MakeDecryptor(settings.nCryptType, key);
    std::unique_ptr<Cipher> encryptor = crypt.MakeEncryptor(settings.nCryptType, key);
    return decryptor && encryptor && encryptor->TestBlockLength() == settings.nTestLength &&
           encryptor->TestBlock() == stored;
  };
  std::optional<PasswordAnswer> answer;
  if (known && known->nCryptType == settings.nCryptType && known->nHashType == settings.nHashType &&
      known->nKeyLength == settings.nKeyLength && opens(known->key)) {
    settings.key = known->key;
  } else {
    PasswordRequest request;
    request.mode = kPasswordEnter;
    request.document = this;
    answer = AppPrompts().AskPassword(request);
    if (!answer) return nullptr;
    settings.key = crypt.DeriveKey(settings.nHashType, answer->first.view(), settings.nKeyLength);
    if (!opens(settings.key)) {
      Warn("Incorrect Password - Access Denied", "Open File");
      return nullptr;
    }
  }
  if (extraLength) settings.passwordBlock = in.Bytes(extraLength);
  else settings.passwordBlock = answer ? crypt.PasswordBlock(answer->first.view()) : known->passwordBlock;

  // The decrypted image goes to an owner-only temporary file, wiped when it is given up.
  std::unique_ptr<File> plain = m_env.CreateTempFile("MLF", ".tmp", false, {});
  try {
    const size_t piece = size_t(decryptor->BlockSize()) * 2048;
    std::vector<uint8_t> buffer;
    while (in.Remaining() > 0) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(piece, in.Remaining()));
      buffer.assign(n, 0);
      in.Bytes(buffer.data(), n);
      buffer.resize((n + decryptor->BlockSize() - 1) / decryptor->BlockSize() * decryptor->BlockSize(), 0);
      decryptor->Process(buffer.data(), buffer.size());
      plain->Write(buffer.data(), buffer.size());
    }
  } catch (...) {
    std::string tempPath = plain->Path();
    OverwriteWithZeros(*plain, 4096);
    plain.reset();
    m_env.DeleteFile(tempPath);
    throw;
  }
  m_fileEncryption = std::move(settings);
  result = kLoaded;
  return plain;
}

CMarrowleafDoc::LoadResult CMarrowleafDoc::LoadFile(OpenMode mode) {
  auto reader = std::make_unique<BinaryReader>(*m_orgFile);
  std::string magic = ReadMagic(*reader);
  if (magic == kEncryptedMagic || magic == kEncryptedMagicV2) {
    LoadResult result;
    m_decryptedCopy = DecryptEnvelope(*reader, magic, result);
    if (result != kLoaded) return result;
    reader = std::make_unique<BinaryReader>(*m_decryptedCopy);
    magic = ReadMagic(*reader);
  }
  return LoadImage(*reader, magic, mode);
}

CMarrowleafDoc::LoadResult CMarrowleafDoc::LoadImage(BinaryReader& in, const std::string& magic, OpenMode mode) {
  if (magic != kPlainMagic) {
    AppLog().WriteLine("Load failed for file " + m_pathName + ", header verification failed");
    Warn("Failed to open '" + m_pathName + "'.\n\nThis file is not a Quarn Marrowleaf file.", "Load Failed");
    return kLoadFailed;
  }
  FileHeader header;
  uint32_t nodeCount = ReadHeaderBody(in, header);  // the node table follows the header
  if (header.version >= 1 && header.version <= 5) {
    AppPrompts().Message(
        "WARNING: This file was created in a previous version of Quarn Marrowleaf.\n\nIf you save this file in this "
        "version of Marrowleaf,\nit will become unreadable by any previous version of Marrowleaf.",
        "Warning", MessageIcon::Exclamation, MessageButtons::Ok);
  } else if (header.version != 6 && header.version != 7) {
    Warn("Version stamp incompatible\n\nYou may need to upgrade your copy of Marrowleaf. The newest version is "
         "available from www.quarndata.example/marrowleaf.",
         kAppCaption);
    return kLoadFailed;
  }

  for (uint32_t i = 0; i < nodeCount; ++i) {
    NTV record;
    try {
      record = ReadNodeEntry(in, header.version);
    } catch (const DamagedFileError&) {
      if (mode == OpenMode::Normal) throw;
      break;  // salvage keeps the entries read before the damage
    }
    if (record.nType == ntFolder) record.nIcon = uint16_t(TreeImage::kFolder);
    uint32_t id = record.nIndex;
    bool hasData = HasContentType(record.nType) && record.nStorageLength != 0;
    m_locations[id] = DATALOC{hasData ? 1u : 0u, 0, 0, record.nLoc};
    m_nodes[id] = std::move(record);
    if (id >= m_nextNodeId) m_nextNodeId = id + 1;
  }
  m_detachedAtOpen = FindDetachedNodes(m_nodes);
  for (const DetachedNode& node : m_detachedAtOpen) {
    AppLog().WriteLine("WARNING: " + DetachedNodeText(node));
    m_nodes[node.id].nParent = 0;
  }
  m_readVersion = header.version;
  header.version = kCurrentFileVersion;
  m_header = header;
  LoadSections(in, mode);
  return kLoaded;
}

void CMarrowleafDoc::LoadSections(BinaryReader& in, OpenMode mode) {
  // The logo, bookmarks and keywords are optional: damage there drops what could not be read.
  if (m_header.logoOffset && m_header.logoLength) {
    try {
      in.Seek(m_header.logoOffset);
      std::vector<uint8_t> member = in.Bytes(m_header.logoLength);
      uint32_t isize = member.size() >= 4 ? ReadLe32(member.data() + member.size() - 4) : 0;
      GunzipResult picture = Gunzip(member.data(), member.size(), isize);
      if (picture.ok) m_logo = DecodePicture(picture.bytes).bitmap;
      // Bytes the image layer cannot decode (a metafile, say) are kept and saved again as they
      // are; the program's own logo is shown meanwhile.
      if (!m_logo) AppLog().WriteLine("WARNING: The custom logo cannot be shown; it is kept as stored");
      m_hasLogo = true;
    } catch (const std::exception&) {
      m_hasLogo = false;
    }
  }
  if (m_header.bookmarksOffset) {
    try {
      in.Seek(m_header.bookmarksOffset);
      uint32_t count = in.U32();
      in.U32();
      in.U32();
      for (uint32_t i = 0; i < count; ++i) {
        MLFBOOKMARK b = ReadBookmark(in);
        m_bookmarks.Put(b.nId, b);
      }
    } catch (const std::exception&) {
    }
  }
  if (m_header.keywordsOffset) {
    try {
      in.Seek(m_header.keywordsOffset);
      uint32_t keywordCount = in.U32();
      uint32_t entryCount = in.U32();
      in.U32();
      in.U32();
      for (uint32_t i = 0; i < keywordCount; ++i) {
        uint32_t id = in.U32();
        PutKeyword(id, in.CText());
      }
      for (uint32_t i = 0; i < entryCount; ++i) {
        MLFNODEKEYWORDS entry;
        entry.nNodeId = in.U32();
        uint32_t n = in.U32();
        if (uint64_t(n) * 4 > in.Remaining()) throw DamagedFileError("a keyword list runs past the end");
        entry.ids.resize(n);
        for (uint32_t& id : entry.ids) id = in.U32();
        PutNodeKeywords(entry.nNodeId, entry);
      }
    } catch (const std::exception&) {
    }
  }
  // The more-info block and the tasks are not optional: damage there fails the open.
  m_moreInfo = {};
  try {
    if (m_header.moreInfoOffset) {
      in.Seek(m_header.moreInfoOffset);
      for (uint32_t& word : m_moreInfo) word = in.U32();
      if (m_moreInfo[0]) {
        in.Seek(m_moreInfo[0]);
        LoadTasks(in);
      }
      if (m_moreInfo[1] || m_moreInfo[2]) std::fill(m_moreInfo.begin() + 1, m_moreInfo.end(), 0);
    }
  } catch (const DamagedFileError&) {
    if (mode == OpenMode::Normal) throw;
    m_moreInfo = {};
  }
}

void CMarrowleafDoc::LoadTasks(BinaryReader& in) {
  uint32_t count = in.U32();
  for (int i = 0; i < 3; ++i) in.U32();
  for (uint32_t i = 0; i < count; ++i) {
    MLFTASK t = ReadTask(in);
    m_tasks.Put(t.nId, t);
  }
}

void CMarrowleafDoc::NoticeInterruptedSaves() {
  // A save writes its new image beside the file as "MLFxxxxxx.<name>.tmp" and renames it into
  // place; one still lying there was cut off. Tell the user and leave it to them.
  std::string folder = DirName(m_pathName);
  std::string suffix = "." + BaseName(m_pathName) + ".tmp";
  std::vector<DirEntry> entries;
  try {
    entries = m_env.ListDirectory(folder);
  } catch (const FileError&) {
    return;
  }
  for (const DirEntry& entry : entries) {
    const std::string& name = entry.name;
    if (name.size() != 3 + 6 + suffix.size() || name.rfind("MLF", 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    AppPrompts().Message("An earlier save of '" + m_pathName + "' was interrupted and left the file '" +
                             JoinPath(folder, name) +
                             "' beside it.\n\nThe file you opened is the last complete save. The leftover file was "
                             "not deleted; remove it once you no longer need it.",
                         kAppCaption, MessageIcon::Information, MessageButtons::Ok);
  }
}

void CMarrowleafDoc::DiscardDecryptedCopy() {
  if (!m_decryptedCopy) return;
  std::string path = m_decryptedCopy->Path();
  try {
    if (uint32_t sector = m_env.SectorSize(path)) OverwriteWithZeros(*m_decryptedCopy, sector);
  } catch (const FileError&) {
  }
  m_decryptedCopy.reset();
  try {
    m_env.DeleteFile(path);
  } catch (const FileError&) {
  }
}

}  // namespace mlf
