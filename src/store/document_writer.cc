// Saving: a complete new image is written to a file beside the note file (for an encrypted
// document: the plain image to an owner-only temporary file, the envelope beside the note
// file), flushed, and renamed over the note file; the folder is flushed too. Only then do the
// document's locations move into the new image. Any failure leaves the old file and the
// document as they were.
#include <chrono>
#include <limits>
#include <map>
#include <thread>
#include <unordered_set>

#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "platform/path.h"
#include "platform/wipe.h"
#include "store/binary_io.h"
#include "store/document.h"
#include "store/document_observer.h"
#include "store/encrypted_layout.h"
#include "store/file_format.h"
#include "store/prompts.h"
#include "store/recovery_file.h"

namespace mlf {
namespace {

constexpr size_t kCopyPiece = 256 * 1024;

// A temporary file that is deleted (and wiped, when it holds plain text of an encrypted
// document) unless the save keeps it.
class TempFile {
 public:
  TempFile(Env& env, std::unique_ptr<File> file, bool wipe) : m_env(env), m_file(std::move(file)), m_wipe(wipe) {}
  ~TempFile() {
    if (!m_file) return;
    std::string path = m_file->Path();
    try {
      if (m_wipe) OverwriteWithZeros(*m_file, 4096);
    } catch (const FileError&) {
    }
    m_file.reset();
    try {
      m_env.DeleteFile(path);
    } catch (const FileError&) {
    }
  }
  File& operator*() { return *m_file; }
  File* operator->() { return m_file.get(); }
  std::unique_ptr<File> Keep() { return std::move(m_file); }
  void Forget() { m_file.reset(); }  // renamed away: nothing left to delete

 private:
  Env& m_env;
  std::unique_ptr<File> m_file;
  bool m_wipe;
};

void CopyBytes(File& from, uint64_t offset, uint64_t size, File& to) {
  if (offset + size > from.Size()) throw FileError(from.Path(), "a stored stream lies beyond the end of its file");
  std::vector<char> buffer(kCopyPiece);
  from.Seek(offset);
  while (size > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, kCopyPiece));
    from.ReadExact(buffer.data(), n);
    to.Write(buffer.data(), n);
    size -= n;
  }
}

uint32_t Offset32(File& file) {
  uint64_t size = file.Size();
  if (size > std::numeric_limits<uint32_t>::max()) throw FileError(file.Path(), "the file would exceed 4 GB");
  return static_cast<uint32_t>(size);
}

}  // namespace

bool CMarrowleafDoc::OnSaveDocument(const std::string& path) { return Save(path) != SaveResult::Failed; }

CMarrowleafDoc::SaveResult CMarrowleafDoc::Save(const std::string& path) {
  auto lock = Lock();
  CLog& log = AppLog();
  log.Write("CMarrowleafDoc::OnSaveDocument(lpszPathName := '" + (path.empty() ? std::string("<NULL>") : path) + "')...");
  auto report = [&](const std::string& reason) {
    AppPrompts().Message("Failed to save '" + path + "'.\n\n" + reason, kAppCaption, MessageIcon::Exclamation,
                         MessageButtons::Ok);
  };
  if (path.empty()) {
    log.WriteLine("invalid path name.");
    report("The path is not valid.");
    return SaveResult::Failed;
  }
  if (m_env.FileExists(path) && m_env.IsReadOnly(path)) {
    log.WriteLine("access denied.");
    report("Access to the file was denied: it is read-only.");
    return SaveResult::Failed;
  }
  if (m_observer) {
    if (m_observer->PrepareForSave()) m_header.viewFlags |= kViewTaskBar;
    else m_header.viewFlags &= ~kViewTaskBar;
  }
  if (!m_orgFile) {
    // A new document: the rename below creates the file, so nothing is created early.
    log.Write("m_hOrgFile is null, creating new file...");
  }
  log.WriteLine("commencing main save logic...");
  SaveResult result = SaveResult::Failed;
  try {
    result = SaveFile(path);
    if (result != SaveResult::Failed) {
      m_pathName = path;
      SetModifiedFlag(false);
    } else {
      log.WriteLine("CMarrowleafDoc::OnSaveDocument - FALSE returned from SaveFile() call");
      report("The file could not be encrypted.");
    }
  } catch (const std::exception& error) {
    std::string message = std::string(error.what()).substr(0, 1023);
    log.WriteLine("CMarrowleafDoc::OnSaveDocument - caught exception from SaveFile() call, message is CException(msg := '" +
                  message + "')");
    report(message + "\n\nThe file on disk was not changed.");
  }
  log.WriteLine("CMarrowleafDoc::OnSaveDocument - result is " + std::string(result != SaveResult::Failed ? "1" : "0"));
  return result;
}

// One save, step by step. The steps change nothing in the document until Commit: a failure
// at any step before it leaves the document as it was, and the temporary files are removed.
struct CMarrowleafDoc::SaveImage {
  SaveImage(CMarrowleafDoc& document, const std::string& path);

  // The header (offsets as they stand) and every node entry; a content node's entry gets its
  // stream's new offset in CopyStreams.
  void WriteNodeTable();
  // Every stored stream, copied as stored from the work or data file. For a recovery image,
  // streams that still lie in the saved file are not copied: their entries keep the offset
  // there, and their ids go to inSavedFile.
  void CopyStreams(std::vector<uint32_t>* inSavedFile = nullptr);
  // The logo, bookmark, keyword, more-info and task sections, then the header again with
  // their offsets.
  void WriteSections();
  // For an encrypted document, the envelope around the plain image; false when no encryptor
  // can be made.
  bool WriteEnvelope();
  // Flushes the new file and renames it over the target (the file a link leads to).
  void ReplaceFile();
  // The document reads the new image from now on.
  void Commit(std::unique_ptr<File> reopened);

  CMarrowleafDoc& doc;
  CLog& log = AppLog();
  // Through a symbolic link the save replaces the file it leads to, and the new image is made
  // beside that file, so the rename stays within one folder and the link stays a link.
  const std::string target;
  const std::string folder;
  const std::string besideSuffix;
  const bool encrypted;
  std::unique_ptr<TempFile> image;
  std::unique_ptr<TempFile> envelope;
  FileHeader header;
  MoreInfo moreInfo{};
  ByteWriter table;                               // header and node table
  std::map<uint32_t, size_t> entryAt;             // node id -> its table entry's offset; 0 for no content type
  std::map<uint32_t, uint32_t> newLocation;       // node id -> its stream's offset in the new image
};

CMarrowleafDoc::SaveImage::SaveImage(CMarrowleafDoc& document, const std::string& path)
    : doc(document),
      target(document.m_env.ResolveLinks(path)),
      folder(DirName(target)),
      besideSuffix("." + BaseName(target) + ".tmp"),
      encrypted(document.m_fileEncryption.nCryptType != 0),
      header(document.m_header),
      moreInfo(document.m_moreInfo) {
  std::unique_ptr<File> imageFile;
  try {
    imageFile = encrypted ? doc.m_env.CreateTempFile("MLF", ".tmp", false, {})
                          : doc.m_env.CreateTempFile("MLF", besideSuffix, false, folder);
  } catch (const FileError& error) {
    log.WriteLine("FAILED to create temp output file, GetLastError value is " + std::to_string(error.code()));
    throw;
  }
  image = std::make_unique<TempFile>(doc.m_env, std::move(imageFile), encrypted);
  header.version = kCurrentFileVersion;
}

void CMarrowleafDoc::SaveImage::WriteNodeTable() {
  WriteHeader(table, header, static_cast<uint32_t>(doc.m_nodes.size()));
  std::unordered_set<uint32_t> detached;  // written at the top level, where they are shown
  for (const DetachedNode& node : FindDetachedNodes(doc.m_nodes)) detached.insert(node.id);
  for (const auto& [id, record] : doc.m_nodes) {
    entryAt[id] = HasContentType(record.nType) ? table.Size() : 0;
    if (!detached.count(id)) {
      WriteNodeEntry(table, record);
      continue;
    }
    NTV topLevel = record;
    topLevel.nParent = 0;
    WriteNodeEntry(table, topLevel);
  }
  (*image)->Write(table.Data().data(), table.Size());
  log.WriteLine("Initial NTV writeout complete, DataLocPos collection has " + std::to_string(entryAt.size()) +
                " elements");
}

void CMarrowleafDoc::SaveImage::CopyStreams(std::vector<uint32_t>* inSavedFile) {
  for (const auto& [id, record] : doc.m_nodes) {
    auto at = entryAt.find(id);
    auto location = doc.m_locations.find(id);
    if (location == doc.m_locations.end()) {
      log.WriteLine("FAILED in Data_GetLocation call with ntv.nIndex := " + std::to_string(id));
      continue;
    }
    if (!location->second.bHasData || at->second == 0) continue;
    if (inSavedFile && !location->second.bInWorkFile) {
      PutLe32(table.Data().data() + at->second, location->second.nLoc);
      inSavedFile->push_back(id);
      continue;
    }
    File* from = doc.FileOf(location->second);
    if (!from) throw FileError(doc.m_pathName, "the stored bytes of a node have no file");
    uint32_t position = Offset32(**image);
    CopyBytes(*from, location->second.nLoc, record.nStorageLength, **image);
    PutLe32(table.Data().data() + at->second, position);
    newLocation[id] = position;
  }
}

void CMarrowleafDoc::SaveImage::WriteSections() {
  File& out = **image;
  log.Write("processing other writeout sections...");
  log.Write("custom logo...");
  header.logoOffset = header.logoLength = 0;
  if (doc.m_hasLogo) {
    uint32_t position = Offset32(out);
    if (doc.m_logoWorkLength) CopyBytes(*doc.m_workFile, doc.m_logoWorkOffset, doc.m_logoWorkLength, out);
    else CopyBytes(*doc.DataFile(), doc.m_header.logoOffset, doc.m_header.logoLength, out);
    header.logoOffset = position;
    header.logoLength = Offset32(out) - position;
  }
  ByteWriter sections;
  uint32_t sectionsStart = Offset32(out);
  auto here = [&] { return static_cast<uint32_t>(sectionsStart + sections.Size()); };

  log.Write("bookmarks...");
  header.bookmarksOffset = here();
  sections.U32(static_cast<uint32_t>(doc.m_bookmarks.Records().size()));
  sections.U32(0);
  sections.U32(0);
  for (const auto& [id, bookmark] : doc.m_bookmarks.Records()) WriteBookmark(sections, bookmark);
  log.Write("keywords...");
  header.keywordsOffset = here();
  sections.U32(static_cast<uint32_t>(doc.m_keywords.Keywords().size()));
  sections.U32(static_cast<uint32_t>(doc.m_keywords.NodeKeywords().size()));
  sections.U32(0);
  sections.U32(0);
  for (const auto& [id, text] : doc.m_keywords.Keywords()) {
    sections.U32(id);
    sections.CText(text);
  }
  for (const auto& [node, entry] : doc.m_keywords.NodeKeywords()) {
    sections.U32(node);
    sections.U32(static_cast<uint32_t>(entry.ids.size()));
    for (uint32_t id : entry.ids) sections.U32(id);
  }
  log.Write("moreinfo (1st)...");
  header.moreInfoOffset = here();
  size_t moreInfoAt = sections.Size();
  for (int i = 0; i < 9; ++i) sections.U32(0);  // filled in below, once the task offset is known
  log.Write("tasks...");
  moreInfo[0] = here();
  sections.U32(static_cast<uint32_t>(doc.m_tasks.Records().size()));
  for (int i = 0; i < 3; ++i) sections.U32(0);
  for (const auto& [id, task] : doc.m_tasks.Records()) WriteTask(sections, task);
  log.Write("treefont (dummy)...");
  moreInfo[1] = 0;
  log.Write("treeicon (dummy)...");
  moreInfo[2] = 0;
  for (int i = 0; i < 9; ++i) PutLe32(sections.Data().data() + moreInfoAt + 4 * i, moreInfo[i]);
  out.Write(sections.Data().data(), sections.Size());

  log.Write("header (2nd)...");
  ByteWriter first;
  WriteHeader(first, header, static_cast<uint32_t>(doc.m_nodes.size()));
  std::copy(first.Data().begin(), first.Data().end(), table.Data().begin());
  out.Seek(0);
  out.Write(table.Data().data(), table.Size());
  log.Write("moreinfo (2nd)...");
  log.WriteLine("done.");
}

bool CMarrowleafDoc::SaveImage::WriteEnvelope() {
  if (!encrypted) {
    log.WriteLine("no encryption selected, closing temp and original files");
    return true;
  }
  const FileEncryption& settings = doc.m_fileEncryption;
  std::unique_ptr<Cipher> encryptor = doc.GetCryptProvider().MakeEncryptor(settings.nCryptType, settings.key);
  if (!encryptor) {
    log.Write("CMarrowleafDoc::SaveFile: FAILED to generate crypt object");
    return false;
  }
  envelope = std::make_unique<TempFile>(doc.m_env, doc.m_env.CreateTempFile("MLF", besideSuffix, false, folder), false);
  ByteWriter start;
  WriteMagic(start, kEncryptedMagic);
  start.U32(settings.nCryptType);
  start.U32(settings.nHashType);
  start.U32(settings.nKeyLength);
  start.U32(encryptor->TestBlockLength());
  log.Write("writing test data block...");
  std::vector<uint8_t> test = encryptor->TestBlock();
  start.Bytes(test.data(), test.size());
  (*envelope)->Write(start.Data().data(), start.Size());
  log.WriteLine("done.");
  const size_t piece = size_t(encryptor->BlockSize()) * 2048;
  std::vector<uint8_t> buffer;
  uint64_t size = (*image)->Size();
  (*image)->Seek(0);
  for (uint64_t done = 0; done < size; done += piece) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(piece, size - done));
    buffer.assign(n, 0);
    (*image)->ReadExact(buffer.data(), n);
    buffer.resize((n + encryptor->BlockSize() - 1) / encryptor->BlockSize() * encryptor->BlockSize(), 0);
    encryptor->Process(buffer.data(), buffer.size());
    (*envelope)->Write(buffer.data(), buffer.size());
  }
  return true;
}

void CMarrowleafDoc::SaveImage::ReplaceFile() {
  // The new file is complete. Make it durable, then put it in place in one step.
  TempFile& replacement = envelope ? *envelope : *image;
  replacement->Sync();
  std::string replacementPath = replacement->Path();
  replacement.Keep().reset();  // closed first: its lock must go, and Windows renames only closed files
  // The new file keeps what the user set up on the old one; a new file stays owner-only.
  if (doc.m_env.FileExists(target) && !doc.m_env.CopyPermissions(target, replacementPath))
    log.WriteLine("WARNING: the permissions of " + target + " could not be given to the saved file");
  try {
    doc.m_env.RenameFile(replacementPath, target);
  } catch (const FileError& error) {
    log.WriteLine("FAILED to move temp save file, GetLastError value is " + std::to_string(error.code()));
    try {
      doc.m_env.DeleteFile(replacementPath);
    } catch (const FileError&) {
    }
    throw;
  }
  // From the rename on, the new file is in place: nothing after it may report the save as failed.
  try {
    doc.m_env.SyncDirectory(folder);
  } catch (const FileError& error) {
    log.WriteLine(std::string("WARNING: the folder of the saved file could not be flushed: ") + error.what());
  }
}

void CMarrowleafDoc::SaveImage::Commit(std::unique_ptr<File> reopened) {
  doc.DiscardDecryptedCopy();
  doc.m_orgFile = std::move(reopened);
  if (encrypted) doc.m_decryptedCopy = image->Keep();
  for (auto& [id, location] : doc.m_locations) {
    auto moved = newLocation.find(id);
    if (moved == newLocation.end()) continue;
    location.bInWorkFile = 0;
    location.nReserved = 0;
    location.nLoc = moved->second;
    doc.m_nodes[id].nLoc = moved->second;
  }
  doc.m_header = header;
  doc.m_moreInfo = moreInfo;
  doc.m_logoWorkOffset = doc.m_logoWorkLength = 0;
}

CMarrowleafDoc::SaveResult CMarrowleafDoc::SaveFile(const std::string& path) {
  AppLog().WriteLine("CMarrowleafDoc::SaveFile()...");
  SaveImage save(*this, path);
  save.WriteNodeTable();
  save.CopyStreams();
  save.WriteSections();
  if (!save.WriteEnvelope()) return SaveResult::Failed;
  save.ReplaceFile();
  std::unique_ptr<File> reopened = ReopenSavedFile(path);
  if (!reopened) {
    // The document keeps reading its old data, which is what the new file holds.
    AppPrompts().Message("'" + path + "' was saved, but could not be opened again afterwards.\n\nYour changes are "
                         "in the file. The next save writes it again.",
                         kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    return SaveResult::Committed;
  }
  save.Commit(std::move(reopened));
  return SaveResult::Saved;
}

std::unique_ptr<File> CMarrowleafDoc::ReopenSavedFile(const std::string& path) {
  // Another process may hold the new file for a moment (a backup or an indexer opening it).
  constexpr int kAttempts = 3;
  for (int attempt = 1;; ++attempt) {
    try {
      return m_env.OpenFile(path, FileAccess::ReadWrite, FileCreation::OpenExisting, FileShare::ShareRead);
    } catch (const FileError& error) {
      AppLog().WriteLine("FAILED to reopen newly saved file, GetLastError value is " + std::to_string(error.code()));
      if (attempt == kAttempts) return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
  }
}

void CMarrowleafDoc::WriteRecovery(const std::string& recoveryPath) {
  auto lock = Lock();
  AppLog().WriteLine("Autosave of '" + m_pathName + "' into '" + recoveryPath + "'...");
  RecoveryInfo info;
  info.encrypted = m_fileEncryption.nCryptType != 0;
  info.autosaveTime = m_env.Now();
  if (m_orgFile) {
    info.savedPath = m_orgFile->Path();
    info.savedFile = IdentifySavedFile(m_env, info.savedPath, *m_orgFile);
  }
  SaveImage save(*this, recoveryPath);
  save.WriteNodeTable();
  save.CopyStreams(m_orgFile ? &info.streamsInSavedFile : nullptr);
  save.WriteSections();
  if (!save.WriteEnvelope()) throw FileError(recoveryPath, "the recovery file could not be encrypted");
  TempFile& written = save.envelope ? *save.envelope : *save.image;
  AppendRecoveryTrailer(*written, info);
  written->Sync();
  std::string writtenPath = written->Path();
  written.Keep().reset();
  try {
    m_env.RenameFile(writtenPath, recoveryPath);
  } catch (const FileError&) {
    try {
      m_env.DeleteFile(writtenPath);
    } catch (const FileError&) {
    }
    throw;
  }
  m_env.SyncDirectory(save.folder);
}

}  // namespace mlf
