// One open note file: a flat table of node records keyed by id (the tree lives in each
// record's parent id), the location of every node's stored stream, the keyword, bookmark and
// task collections, the custom logo, and the files the document works with. Every public
// operation takes the document's recursive lock, so worker threads may call it too.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "platform/env.h"
#include "platform/secure_memory.h"
#include "store/collection_records.h"
#include "store/content_error.h"
#include "store/detached_nodes.h"
#include "store/file_header.h"
#include "store/id_table.h"
#include "store/keyword_table.h"
#include "store/node_record.h"
#include "store/stream_record.h"
#include "store/task_table.h"

namespace mlf {

class BinaryReader;
class CryptProvider;
class DocumentObserver;

struct FileEncryption {
  uint32_t nCryptType = 0;  // 0 = the file is not encrypted
  uint32_t nHashType = 0;
  uint32_t nKeyLength = 0;
  uint32_t nTestLength = 0;
  SecureBytes key;
  std::vector<uint8_t> passwordBlock;
};

class CMarrowleafDoc {
 public:
  explicit CMarrowleafDoc(Env& env = Env::Default());
  virtual ~CMarrowleafDoc();
  CMarrowleafDoc(const CMarrowleafDoc&) = delete;
  CMarrowleafDoc& operator=(const CMarrowleafDoc&) = delete;

  // Holds the document for a caller that needs several operations to see one state.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(m_mutex); }
  Env& GetEnv() const { return m_env; }
  void SetObserver(DocumentObserver* observer);

  // Opens a note file into the document: false when it could not be read (the user was told
  // why and the document is left empty). A salvage open keeps whatever can be read of a
  // damaged file: the node entries before the damage, and no tasks when their section is hurt.
  enum class OpenMode { Normal, Salvage };
  bool OnOpenDocument(const std::string& path, OpenMode mode = OpenMode::Normal);
  // Saves into path: the new image is written completely and flushed before it replaces the
  // file, so a failure at any step leaves the old file and the document as they were.
  // Committed: the new file is in place, but could not be opened again afterwards (another
  // process held it); the document goes on reading its old data, and the user was told that
  // the changes are in the file. When another program changed the file since it was opened or
  // last saved, the user is asked first: SaveAsChosen and KeptEditing write nothing.
  enum class SaveResult { Saved, Failed, Committed, SaveAsChosen, KeptEditing };
  SaveResult Save(const std::string& path);
  // True when the file was written (Saved or Committed).
  bool OnSaveDocument(const std::string& path);
  // How many previous versions a save keeps beside the file (name.bak1 the newest); 0 none.
  void SetBackupCount(uint32_t count);
  // The note file on disk is not the version this document read or last saved: another
  // program rewrote or replaced it. A file that is gone counts as unchanged.
  bool ChangedOnDisk() const;

  // Autosave: writes the document's unsaved state to a recovery file at recoveryPath (see
  // store/recovery_file.h), beside which its temporary file is made and renamed into place.
  // Throws FileError; the document is never changed.
  void WriteRecovery(const std::string& recoveryPath);
  // Opens a recovery file into this document, which then has no path and is modified: the user
  // saves it under a name of their choice. An encrypted one asks for the file password first.
  // Throws DamagedRecoveryError when the file, or the saved file it needs, is damaged, changed
  // or gone; Cancelled when the password was not given.
  enum class RecoveryResult { Recovered, Cancelled };
  RecoveryResult OpenRecovery(const std::string& recoveryPath);

  // Empties the document and starts a new, modified one.
  void OnNewDocument();
  // Empties the node table and collections, and the node clipboard when it holds a node of
  // this document.
  void DeleteContents();

  void SetModifiedFlag(bool modified = true);
  bool IsModified() const;
  std::string GetPathName() const;
  FileHeader GetHeader() const;
  // The version stamp of the file as it was read (the header says the version a save writes).
  uint32_t GetReadVersion() const { return m_readVersion; }
  void SetHeader(const FileHeader& header, bool markModified);
  // Empty when no work file could be made.
  std::string GetWorkFilePath() const;

  // Nodes.
  bool Data_GetItem(uint32_t id, NTV& out) const;
  void Data_SetItem(uint32_t id, const NTV& record, bool markModified);
  uint32_t Data_NewItem();
  // Deletes the node and its descendants with their keywords, bookmarks and task links;
  // false (and nothing changed) for an unknown id.
  bool Data_DeleteItem(uint32_t id);
  // Appends the ids below the node, each folder's descendants before the folder itself. Nodes
  // whose parent is missing or whose parents run in a cycle count as top-level nodes.
  void Data_GetChildren(uint32_t id, std::vector<uint32_t>& out) const;
  // The nodes of the opened file that hung from a missing parent or a parent cycle; the open
  // moved them to the top level (a save writes them there).
  std::vector<DetachedNode> DetachedNodesAtOpen() const;
  // "//A/B/C"; empty for an unknown id.
  std::string Data_GetItemPath(uint32_t id) const;
  bool Data_GetLocation(uint32_t id, DATALOC& out) const;
  void Data_SetLocation(uint32_t id, const DATALOC& location);
  size_t Data_GetCount() const;
  // Calls the callback with every record in ascending id order, holding the lock.
  void Data_EnumItems(const std::function<void(const NTV&)>& callback) const;
  // Streams. A node's content lives in one stream: in the data file, or in the work file when
  // written since the last save.
  bool Data_OpenStream(uint32_t nodeId, bool forOutput, MLFSTREAMHANDLE* handle, bool compress);
  bool Data_GetStream(int32_t streamId, MLFSTREAM& out) const;
  void Data_SetStream(int32_t streamId, const MLFSTREAM& stream);
  // Commits a write stream into the node record and its location.
  bool Data_CloseStream(int32_t streamId);
  // The encryption that keys go through: the loaded module unless a test sets another.
  CryptProvider& GetCryptProvider() const;
  void SetCryptProvider(CryptProvider* provider);

  // Content from and to files. The add operations make a top-level node titled by the file's
  // name (the caller moves it) and return its id, or 0; the copy operations return false on
  // failure. None of them throws.
  // A word-processor or text file converted to RTF by the text converters; 0 when none can.
  uint32_t Data_AddDocumentFromFile(const std::string& path, int code, bool compress);
  // A picture file, kept as its own bytes; 0 (and no node) when it cannot be decoded.
  uint32_t Data_AddImageFromFile(const std::string& path, int ignored, bool compress);
  uint32_t Data_AddHtmlFromFile(const std::string& path, int code);
  // Dispatches by node type: 1 document, 3 image, 4 HTML, 6 foreign data; others give 0.
  uint32_t Data_AddFromFile(const std::string& path, uint8_t type, int code, bool compress);
  uint32_t Data_AddForeignFromFile(const std::string& path, int code);
  // Writes the node's content to path; progress gets 0..1000 after each piece. False, with the
  // reason in error and no file left at path, when the content cannot be read whole and intact
  // (damaged, wrong or missing password, no encryption module), the node has no content type,
  // or the file cannot be written.
  bool Data_CopyToFile(uint32_t nodeId, const std::string& path,
                       const std::function<void(int)>& progress = nullptr, ContentError* error = nullptr);
  // Writes an image node: format 0 its stored bytes, named with the extension of the format it
  // is in; 1, 3, 7 or 9 re-encoded as Windows bitmap, JPEG, PNG or TIFF. finalPath receives the
  // name written; errorText the reason of a failure (empty when the codec gave none). When
  // mayWrite refuses the final name, nothing is written and the result is true.
  bool Data_CopyImageToFile(uint32_t nodeId, const std::string& path, int format, std::string* errorText = nullptr,
                            std::string* finalPath = nullptr,
                            const std::function<bool(const std::string&)>& mayWrite = nullptr);
  // The content of a node, whole; empty optional (with the reason in error) when it cannot be
  // read whole and intact.
  std::optional<std::vector<uint8_t>> Data_ReadContent(uint32_t nodeId, ContentError* error = nullptr);

  // Gives the node a new key (cipher 0 or key length 0: none), converting its stored bytes
  // without decompressing. oldPassword opens the current key.
  bool SetNodeEncryption(uint32_t nodeId, uint32_t cipher, uint32_t keyLength, uint32_t keyDerivation,
                         const SecureString& newPassword, const SecureString& oldPassword);

  // Copies one node from this document, or from the node clipboard's document; the copy's id
  // or 0.
  uint32_t CopyNode(uint32_t sourceId, bool fromClipboard);

  // Node passwords: held in memory for this run only, by node id and apart from the records,
  // so copying a record never copies a password. None forgets the node's password.
  void SetNodePassword(uint32_t nodeId, const std::optional<SecureString>& password);
  std::optional<SecureString> GetNodePassword(uint32_t nodeId) const;

  // Keywords.
  uint32_t FindOrAddKeyword(const std::string& text);
  bool GetKeywordName(uint32_t id, std::string& out) const;
  bool GetNodeKeywords(uint32_t nodeId, MLFNODEKEYWORDS& out) const;
  void PutNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry);
  // Replaces the node's list and drops keywords no longer listed by any node.
  void SetNodeKeywords(uint32_t nodeId, const MLFNODEKEYWORDS& entry);
  void EnumNodeKeywordNames(uint32_t nodeId, const std::function<void(const std::string&)>& callback) const;
  void EnumKeywords(const std::function<void(uint32_t, const std::string&)>& callback) const;
  // Stores a keyword under its id as read from a file.
  void PutKeyword(uint32_t id, const std::string& text);

  // Bookmarks.
  // A new bookmark of the node under the given name; its id.
  uint32_t AddBookmark(uint32_t nodeId, const std::string& name);
  uint32_t AddBookmark();  // an empty one
  bool GetBookmark(uint32_t id, MLFBOOKMARK& out) const;
  void SetBookmark(uint32_t id, const MLFBOOKMARK& record);
  void DeleteBookmark(uint32_t id);
  void DeleteBookmarksOfNode(uint32_t nodeId);
  void EnumBookmarks(const std::function<void(const MLFBOOKMARK&)>& callback) const;

  // Tasks.
  // A new task with the fields given (its id is the next one); its id.
  uint32_t NewTask(const MLFTASK& fields);
  uint32_t NewTask();  // an empty one
  bool GetTask(uint32_t id, MLFTASK& out) const;
  void SetTask(const MLFTASK& record, bool markModified);
  void DeleteTask(uint32_t id);
  bool NodeHasTask(uint32_t nodeId) const;
  // Detaches every task from the node, without marking the document modified.
  void RemoveTaskAssociation(uint32_t nodeId);
  void EnumTasks(const std::function<void(const MLFTASK&)>& callback) const;

  // The file password: with key length 0 the key and password block are dropped (a cipher of 0
  // then saves a plain file); otherwise the file key is derived from the password.
  void SetFileEncryption(uint32_t cipher, uint32_t keyLength, uint32_t keyDerivation, const SecureString& password);
  FileEncryption GetFileEncryption() const;

  // Custom logo.
  bool HasLogo() const;
  void ClearLogo();
  // Decodes the picture file into the logo and keeps its bytes (compressed) in the work file
  // until the next save; false when it cannot be decoded or kept.
  bool SetLogoFromFile(const std::string& path);
  // The custom logo's picture file as it was chosen, byte for byte; none when the document has
  // no custom logo or its stored bytes cannot be read.
  std::optional<std::vector<uint8_t>> GetLogoPicture() const;
  // A copy of the document's logo, or of the program's own when it has none or its picture
  // cannot be decoded; made under the lock, so a logo changed meanwhile never frees it.
  Bitmap GetLogoBitmap() const;

 private:
  friend class CMlfNode;
  friend class StreamWriter;

  // The file that node streams are read from: the decrypted copy, else the note file.
  File* DataFile() const { return m_decryptedCopy ? m_decryptedCopy.get() : m_orgFile.get(); }
  // The file holding the stream at location.
  File* FileOf(const DATALOC& location) const { return location.bInWorkFile ? m_workFile.get() : DataFile(); }

  enum LoadResult { kLoadFailed = 0, kLoaded = 1, kLoadCancelled = 2 };
  LoadResult LoadFile(OpenMode mode);
  // The envelope's key is asked for, unless known is given and opens it.
  std::unique_ptr<File> DecryptEnvelope(BinaryReader& in, const std::string& magic, LoadResult& result,
                                        const FileEncryption* known = nullptr);
  // The node table and sections of a plain image, whose magic was read.
  LoadResult LoadImage(BinaryReader& in, const std::string& magic, OpenMode mode);
  void LoadSections(BinaryReader& in, OpenMode mode);
  void LoadTasks(BinaryReader& in);
  void NoticeInterruptedSaves();
  struct SaveImage;  // the steps of a save
  SaveResult SaveFile(const std::string& path);
  // Asks the user before a save over a file another program changed; empty when the save
  // may go on.
  std::optional<SaveResult> AskBeforeOverwritingChange(const std::string& path);
  void RememberDiskStamp();
  std::unique_ptr<File> ReopenSavedFile(const std::string& path);
  void DiscardDecryptedCopy();
  uint32_t AddNodeFromFile(const std::string& path, uint8_t type, bool compress, const std::string& title);

  void NotifyNode(uint32_t nodeId);
  void NotifyTask(uint32_t taskId);
  void NotifyLogo();
  void ResetCollections();

  // What every getter does: under the lock, copies the entry of key out of table; false when
  // the table has none.
  template <typename Table>
  bool CopyOut(const Table& table, const typename Table::key_type& key, typename Table::mapped_type& out) const {
    auto lock = Lock();
    auto it = table.find(key);
    if (it == table.end()) return false;
    out = it->second;
    return true;
  }

  Env& m_env;
  mutable std::recursive_mutex m_mutex;
  DocumentObserver* m_observer = nullptr;
  bool m_modified = false;
  std::string m_pathName;
  std::optional<FileStamp> m_diskStamp;  // the note file as read or last saved
  uint32_t m_backupCount = 0;

  FileHeader m_header;
  uint32_t m_readVersion = kCurrentFileVersion;
  MoreInfo m_moreInfo{};
  FileEncryption m_fileEncryption;

  std::map<int32_t, MLFSTREAM> m_streams;
  uint32_t m_nextStreamId = 1;
  CryptProvider* m_crypt = nullptr;

  std::map<uint32_t, NTV> m_nodes;
  std::vector<DetachedNode> m_detachedAtOpen;
  std::map<uint32_t, DATALOC> m_locations;
  std::map<uint32_t, SecureString> m_passwords;
  uint32_t m_nextNodeId = 1;

  KeywordTable m_keywords;
  IdTable<MLFBOOKMARK> m_bookmarks;
  TaskTable m_tasks;

  // The custom logo; the gzip bytes of a newly chosen one lie in the work file. A logo read
  // from the file keeps its bytes there even when its picture cannot be decoded (m_logo null).
  bool m_hasLogo = false;
  Bitmap m_logo;
  uint64_t m_logoWorkOffset = 0;
  uint64_t m_logoWorkLength = 0;

  // The note file, kept open between saves; the file streams are read from (the note file or
  // a decrypted copy); and the work file that receives every stream written since the save.
  std::unique_ptr<File> m_orgFile;
  std::unique_ptr<File> m_decryptedCopy;
  std::unique_ptr<File> m_workFile;
};

}  // namespace mlf
