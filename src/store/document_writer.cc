// Saving: a complete new image is written to a file beside the note file (for an encrypted
// document: the plain image to an owner-only temporary file, the envelope beside the note
// file), flushed, and renamed over the note file; the folder is flushed too. Only then do the
// document's locations move into the new image. Any failure leaves the old file and the
// document as they were.
#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "crypt/crypt_provider.h"
#include "diagnostics/log.h"
#include "platform/path.h"
#include "platform/test_fault.h"
#include "platform/wipe.h"
#include "store/backup_rotation.h"
#include "store/binary_io.h"
#include "store/document.h"
#include "store/document_observer.h"
#include "store/encrypted_layout.h"
#include "store/file_format.h"
#include "store/prompts.h"
#include "store/recovery_file.h"

namespace mlf {
namespace {

// The new image is written in pieces of this size: large enough for few system calls, small
// enough to stay in a core's cache between the read and the write (1 MiB was slower).
constexpr size_t kImageBuffer = 256 * 1024;

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

// Copies stored streams to the end of the new image through one buffer, so the image is
// written in large sequential pieces. Streams that follow one another in the same file are read
// as one run, and the image's length is counted here instead of being asked of the file for
// every stream.
class StreamCopier {
 public:
  // position: the image's length so far.
  StreamCopier(File& image, uint64_t position)
      : m_file(image), m_buffer(std::make_unique_for_overwrite<char[]>(kImageBuffer)), m_position(position) {}

  // The image's length once everything given so far is written, which is where the next
  // stream lands; the format's offsets have 32 bits.
  uint32_t Offset32() const {
    if (m_position > std::numeric_limits<uint32_t>::max()) throw FileError(m_file.Path(), "the file would exceed 4 GB");
    return static_cast<uint32_t>(m_position);
  }
  // Copies size bytes stored at offset in from.
  void Copy(File& from, uint64_t offset, uint64_t size) {
    auto [known, added] = m_sourceSizes.try_emplace(&from, 0);
    if (added) known->second = from.Size();
    if (offset + size > known->second) throw FileError(from.Path(), "a stored stream lies beyond the end of its file");
    if (&from != m_runFile || offset != m_runOffset + m_runSize) {
      ReadPendingRun();
      m_runFile = &from;
      m_runOffset = offset;
    }
    m_runSize += size;
    m_position += size;
  }
  // Writes everything given so far; the image's own position is then its end.
  void Flush() {
    ReadPendingRun();
    if (m_filled > 0) WriteBuffer();
  }

 private:
  void ReadPendingRun() {
    while (m_runSize > 0) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(m_runSize, kImageBuffer - m_filled));
      m_runFile->ReadExactAt(m_runOffset, m_buffer.get() + m_filled, n);
      m_runOffset += n;
      m_runSize -= n;
      m_filled += n;
      if (m_filled == kImageBuffer) WriteBuffer();
    }
    m_runFile = nullptr;
  }
  void WriteBuffer() {
    m_file.Write(m_buffer.get(), m_filled);
    m_filled = 0;
  }

  File& m_file;
  std::unique_ptr<char[]> m_buffer;
  size_t m_filled = 0;
  uint64_t m_position = 0;
  // The stored bytes given but not yet read: consecutive streams of one file.
  File* m_runFile = nullptr;
  uint64_t m_runOffset = 0;
  uint64_t m_runSize = 0;
  std::unordered_map<File*, uint64_t> m_sourceSizes;  // a save never changes them
};

}  // namespace

bool CMarrowleafDoc::OnSaveDocument(const std::string& path) {
  SaveResult result = Save(path);
  return result == SaveResult::Saved || result == SaveResult::Committed;
}

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
  if (std::optional<SaveResult> answer = AskBeforeOverwritingChange(path)) {
    log.WriteLine("changed by another program, not overwritten.");
    return *answer;
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
      RememberDiskStamp();
      SetModifiedFlag(false);
    } else {
      log.WriteLine("CMarrowleafDoc::OnSaveDocument - FALSE returned from SaveFile() call");
      report("The file could not be encrypted.");
    }
  } catch (const std::exception& error) {
    std::string message = std::string(error.what()).substr(0, 1023);
    log.WriteLine("CMarrowleafDoc::OnSaveDocument - caught exception from SaveFile() call, message is CException(msg := '" +
                  message + "')");
    bool movedAside = dynamic_cast<const OldFileMovedAside*>(&error) != nullptr;
    report(message + (movedAside ? "" : "\n\nThe file on disk was not changed."));
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
  // Flushes the new file and renames it over the target (the file a link leads to), keeping
  // the target's previous version as its newest backup when backups are kept.
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
  std::unique_ptr<StreamCopier> copier;  // the streams and the logo, after the node table
  std::unique_ptr<TempFile> envelope;
  FileHeader header;
  MoreInfo moreInfo{};
  ByteWriter table;                               // header and node table
  // Every node in the order of the node table, found in one walk over the document (which
  // stays locked, so the records stay where they are).
  struct Entry {
    uint32_t id;
    NTV* record;
    DATALOC* location;      // null when the node has none
    size_t tableOffset;     // of its entry in the node table
    bool moved = false;     // its stream was copied to newLocation
    uint32_t newLocation = 0;
  };
  std::vector<Entry> entries;
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
  entries.reserve(doc.m_nodes.size());
  auto location = doc.m_locations.begin();  // ordered by id like the nodes: found by walking along
  for (auto& [id, record] : doc.m_nodes) {
    while (location != doc.m_locations.end() && location->first < id) ++location;
    bool located = location != doc.m_locations.end() && location->first == id;
    entries.push_back({id, &record, located ? &location->second : nullptr, table.Size()});
    if (!detached.count(id)) {
      WriteNodeEntry(table, record);
      continue;
    }
    NTV topLevel = record;
    topLevel.nParent = 0;
    WriteNodeEntry(table, topLevel);
  }
  (*image)->Write(table.Data().data(), table.Size());
  copier = std::make_unique<StreamCopier>(**image, table.Size());
  log.WriteLine("Initial NTV writeout complete, DataLocPos collection has " + std::to_string(entries.size()) +
                " elements");
}

void CMarrowleafDoc::SaveImage::CopyStreams(std::vector<uint32_t>* inSavedFile) {
  for (Entry& entry : entries) {
    if (!entry.location) {
      log.WriteLine("FAILED in Data_GetLocation call with ntv.nIndex := " + std::to_string(entry.id));
      continue;
    }
    if (!entry.location->bHasData || !HasContentType(entry.record->nType)) continue;
    if (inSavedFile && !entry.location->bInWorkFile) {
      PutLe32(table.Data().data() + entry.tableOffset, entry.location->nLoc);
      inSavedFile->push_back(entry.id);
      continue;
    }
    File* from = doc.FileOf(*entry.location);
    if (!from) throw FileError(doc.m_pathName, "the stored bytes of a node have no file");
    entry.newLocation = copier->Offset32();
    copier->Copy(*from, entry.location->nLoc, entry.record->nStorageLength);
    PutLe32(table.Data().data() + entry.tableOffset, entry.newLocation);
    entry.moved = true;
  }
}

void CMarrowleafDoc::SaveImage::WriteSections() {
  File& out = **image;
  log.Write("processing other writeout sections...");
  log.Write("custom logo...");
  header.logoOffset = header.logoLength = 0;
  if (doc.m_hasLogo) {
    uint32_t position = copier->Offset32();
    if (doc.m_logoWorkLength) copier->Copy(*doc.m_workFile, doc.m_logoWorkOffset, doc.m_logoWorkLength);
    else copier->Copy(*doc.DataFile(), doc.m_header.logoOffset, doc.m_header.logoLength);
    header.logoOffset = position;
    header.logoLength = copier->Offset32() - position;
  }
  copier->Flush();
  ByteWriter sections;
  uint32_t sectionsStart = copier->Offset32();
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
  FaultIfRequested("save");
  TempFile& replacement = envelope ? *envelope : *image;
  replacement->Sync();
  std::string replacementPath = replacement->Path();
  replacement.Keep().reset();  // closed first: its lock must go, and Windows renames only closed files
  // The new file keeps what the user set up on the old one; a new file stays owner-only.
  if (doc.m_env.FileExists(target) && !doc.m_env.CopyPermissions(target, replacementPath))
    log.WriteLine("WARNING: the permissions of " + target + " could not be given to the saved file");
  try {
    ReplaceKeepingBackups(doc.m_env, replacementPath, target, doc.m_backupCount);
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
  for (const Entry& entry : entries) {
    if (!entry.moved) continue;
    entry.location->bInWorkFile = 0;
    entry.location->nReserved = 0;
    entry.location->nLoc = entry.newLocation;
    entry.record->nLoc = entry.newLocation;
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
