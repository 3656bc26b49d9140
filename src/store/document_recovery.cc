// Opening a recovery file: the saved file it was made from supplies the streams that did not
// change, the recovery file the tables and every stream written since that save.
#include <algorithm>

#include "platform/wipe.h"
#include "store/binary_io.h"
#include "store/document.h"
#include "store/encrypted_layout.h"
#include "store/file_format.h"
#include "store/recovery_file.h"

namespace mlf {
namespace {

// Appends size bytes at offset of from to the end of to; the offset they got there.
uint32_t AppendBytes(File& from, uint64_t offset, uint64_t size, File& to) {
  if (offset + size > from.Size()) throw DamagedRecoveryError("a stored stream lies beyond its end");
  uint64_t at = to.Size();
  if (at + size > UINT32_MAX) throw DamagedRecoveryError("it holds more than 4 GB");
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(size, 256 * 1024)));
  from.Seek(offset);
  to.Seek(at);
  while (size > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
    from.ReadExact(buffer.data(), n);
    to.Write(buffer.data(), n);
    size -= n;
  }
  return static_cast<uint32_t>(at);
}

// A decrypted image holds plain text of an encrypted document: wiped before it goes.
void DropDecrypted(Env& env, std::unique_ptr<File>& file) {
  if (!file) return;
  std::string path = file->Path();
  try {
    OverwriteWithZeros(*file, 4096);
  } catch (const FileError&) {
  }
  file.reset();
  try {
    env.DeleteFile(path);
  } catch (const FileError&) {
  }
}

}  // namespace

CMarrowleafDoc::RecoveryResult CMarrowleafDoc::OpenRecovery(const std::string& recoveryPath) {
  auto lock = Lock();
  OnNewDocument();
  std::unique_ptr<File> recovery = m_env.OpenFile(recoveryPath, FileAccess::Read, FileCreation::OpenExisting,
                                                  FileShare::Exclusive);
  RecoveryInfo info = ReadRecoveryInfo(*recovery);
  if (!m_workFile) throw FileError(m_env.TempDirectory(), "no work file could be made");

  std::unique_ptr<File> decrypted;  // the recovery image of an encrypted document
  struct Cleanup {
    Env& env;
    std::unique_ptr<File>& file;
    ~Cleanup() { DropDecrypted(env, file); }
  } cleanup{m_env, decrypted};
  try {
    auto reader = std::make_unique<BinaryReader>(*recovery, info.imageLength);
    std::string magic = ReadMagic(*reader);
    if (magic == kEncryptedMagic) {
      LoadResult result;
      decrypted = DecryptEnvelope(*reader, magic, result);
      if (result != kLoaded) return RecoveryResult::Cancelled;
      reader = std::make_unique<BinaryReader>(*decrypted);
      magic = ReadMagic(*reader);
    }
    if (magic != kPlainMagic) throw DamagedRecoveryError("its note image is damaged");

    if (!info.streamsInSavedFile.empty()) {
      // The unchanged streams are read from the saved file, which must be the one autosave saw.
      try {
        m_orgFile = m_env.OpenFile(info.savedPath, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive);
      } catch (const FileError&) {
        throw DamagedRecoveryError("the file it was made from, '" + info.savedPath + "', cannot be opened");
      }
      if (IdentifySavedFile(m_env, info.savedPath, *m_orgFile) != info.savedFile)
        throw DamagedRecoveryError("the file it was made from, '" + info.savedPath + "', changed since");
      BinaryReader saved(*m_orgFile);
      std::string savedMagic = ReadMagic(saved);
      if (savedMagic == kEncryptedMagic || savedMagic == kEncryptedMagicV2) {
        // Its key is the recovery's unless the file password changed after the save.
        FileEncryption latest = m_fileEncryption;
        LoadResult result;
        m_decryptedCopy = DecryptEnvelope(saved, savedMagic, result, latest.nCryptType ? &latest : nullptr);
        if (result != kLoaded) return RecoveryResult::Cancelled;
        if (latest.nCryptType) m_fileEncryption = std::move(latest);
        else m_fileEncryption = {};
      }
    }

    m_pathName = recoveryPath;  // names the file in what the image's reader may say
    if (LoadImage(*reader, magic, OpenMode::Normal) != kLoaded) throw DamagedRecoveryError("its note image is damaged");
    File& image = decrypted ? *decrypted : *recovery;
    std::vector<uint32_t> inSaved = info.streamsInSavedFile;
    std::sort(inSaved.begin(), inSaved.end());
    for (auto& [id, location] : m_locations) {
      if (!location.bHasData || std::binary_search(inSaved.begin(), inSaved.end(), id)) continue;
      location = DATALOC{1, 1, 0, AppendBytes(image, location.nLoc, m_nodes[id].nStorageLength, *m_workFile)};
      m_nodes[id].nLoc = location.nLoc;
    }
    if (m_hasLogo) {
      m_logoWorkOffset = AppendBytes(image, m_header.logoOffset, m_header.logoLength, *m_workFile);
      m_logoWorkLength = m_header.logoLength;
    }
  } catch (const DamagedFileError& error) {
    m_pathName.clear();
    throw DamagedRecoveryError(std::string("its note image is damaged: ") + error.what());
  } catch (const FileError& error) {
    m_pathName.clear();
    throw DamagedRecoveryError(error.what());
  } catch (...) {
    m_pathName.clear();
    throw;
  }
  m_pathName.clear();
  SetModifiedFlag(true);
  return RecoveryResult::Recovered;
}

}  // namespace mlf
