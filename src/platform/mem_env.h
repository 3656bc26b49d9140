// An Env that keeps files in memory, for tests. It models durability: a file's bytes survive
// DropUnsyncedData() only up to its last Sync(), and a name created, renamed or deleted in a
// folder survives only once that folder was synced, as on a real disk after a power cut.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "platform/env.h"

namespace mlf {

class MemEnv : public Env {
 public:
  MemEnv();
  ~MemEnv() override;

  std::unique_ptr<File> OpenFile(const std::string& path, FileAccess access, FileCreation creation,
                                 FileShare share) override;
  std::unique_ptr<File> CreateTempFile(const std::string& prefix, const std::string& suffix,
                                       bool deleteOnClose, const std::string& folder) override;
  std::string CreateTempDirectory(const std::string& prefix) override;
  void DeleteTree(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool IsReadOnly(const std::string& path) override { return m_readOnly.count(path) != 0; }
  void DeleteFile(const std::string& path) override;
  void RenameFile(const std::string& source, const std::string& target) override;
  void LinkFile(const std::string& existing, const std::string& link) override;
  std::optional<FileStamp> Stamp(const std::string& path) override;
  void CreateDirectory(const std::string& path) override;
  std::vector<DirEntry> ListDirectory(const std::string& path) override;
  void SyncDirectory(const std::string& path) override;
  bool SameFileSystem(const std::string& a, const std::string& b) override { return true; }
  std::string TempDirectory() override { return "/tmp"; }
  std::string ExecutableDirectory() override { return "/app"; }
  std::string AppDataDirectory() override { return "/home/user/.local/share"; }
  std::string StateDirectory() override { return "/home/user/.local/state"; }
  uint32_t SectorSize(const std::string& path) override { return m_sectorSize; }
  std::unique_ptr<DynamicLibrary> LoadLibrary(const std::string& path) override { return nullptr; }
  int64_t Now() override { return m_now; }

  // Test controls.
  void SetNow(int64_t seconds) { m_now = seconds; }
  void SetSectorSize(uint32_t size) { m_sectorSize = size; }
  void SetReadOnly(const std::string& path) { m_readOnly.insert(path); }
  void SetCreationTime(const std::string& path, int64_t seconds);
  // Writes a whole file at once, durably.
  void PutFile(const std::string& path, const std::string& bytes);
  std::string GetFile(const std::string& path);
  // Forgets everything that was not synced: the power cut.
  void DropUnsyncedData();
  // Marks everything durable, for fixtures set up without syncing.
  void SyncAll();

  struct Node;

 private:
  friend class MemFile;
  void ReleaseLocks(Node& node, FileAccess access, FileShare share);
  void CloseDeleting(const std::string& path, const std::shared_ptr<Node>& node);

  std::recursive_mutex m_mutex;
  std::map<std::string, std::shared_ptr<Node>> m_files;    // what a reader sees now
  std::map<std::string, std::shared_ptr<Node>> m_durable;  // what survives a power cut
  std::set<std::string> m_directories;
  std::set<std::string> m_readOnly;
  int64_t m_now = 1700000000;
  uint32_t m_sectorSize = 512;
  unsigned m_tempCounter = 0;
  uint64_t m_nextInode = 1;
  int64_t m_writeCounter = 0;  // stands for the modification time: every write changes the stamp
};

}  // namespace mlf
