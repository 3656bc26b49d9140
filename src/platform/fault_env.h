// An Env wrapper that makes the Nth operation fail, once or from then on, to prove that every
// failure path of open and save leaves the user's file intact. Counted operations: opening,
// creating, deleting, renaming, linking, folder creation and sync, and every read, write,
// truncate and sync of a file opened through it.
#pragma once

#include <atomic>

#include "platform/env.h"

namespace mlf {

class FaultEnv : public Env {
 public:
  explicit FaultEnv(Env& target) : m_target(target) {}

  // Operation number n (counted from 1 after this call) fails; with permanent, every later
  // one fails too. n = 0 disarms.
  void FailAt(uint64_t n, bool permanent) {
    m_count = 0;
    m_failAt = n;
    m_permanent = permanent;
  }
  bool Failed() const { return m_failed; }

  // Throws when the counted operation is to fail.
  void Check(const std::string& path);

  std::unique_ptr<File> OpenFile(const std::string& path, FileAccess access, FileCreation creation,
                                 FileShare share) override;
  std::unique_ptr<File> CreateTempFile(const std::string& prefix, const std::string& suffix,
                                       bool deleteOnClose, const std::string& folder) override;
  std::string CreateTempDirectory(const std::string& prefix) override { return m_target.CreateTempDirectory(prefix); }
  void DeleteTree(const std::string& path) override { m_target.DeleteTree(path); }
  bool FileExists(const std::string& path) override { return m_target.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return m_target.DirectoryExists(path); }
  bool IsReadOnly(const std::string& path) override { return m_target.IsReadOnly(path); }
  void DeleteFile(const std::string& path) override;
  void RenameFile(const std::string& source, const std::string& target) override;
  void LinkFile(const std::string& existing, const std::string& link) override;
  std::optional<FileStamp> Stamp(const std::string& path) override { return m_target.Stamp(path); }
  void CreateDirectory(const std::string& path) override;
  std::vector<DirEntry> ListDirectory(const std::string& path) override { return m_target.ListDirectory(path); }
  void SyncDirectory(const std::string& path) override;
  bool SameFileSystem(const std::string& a, const std::string& b) override { return m_target.SameFileSystem(a, b); }
  std::string ResolveLinks(const std::string& path) override { return m_target.ResolveLinks(path); }
  bool CopyPermissions(const std::string& source, const std::string& target) override {
    return m_target.CopyPermissions(source, target);
  }
  std::string TempDirectory() override { return m_target.TempDirectory(); }
  std::string ExecutableDirectory() override { return m_target.ExecutableDirectory(); }
  std::string AppDataDirectory() override { return m_target.AppDataDirectory(); }
  std::string StateDirectory() override { return m_target.StateDirectory(); }
  uint32_t SectorSize(const std::string& path) override { return m_target.SectorSize(path); }
  std::unique_ptr<DynamicLibrary> LoadLibrary(const std::string& path) override { return m_target.LoadLibrary(path); }
  int64_t Now() override { return m_target.Now(); }

 private:
  Env& m_target;
  std::atomic<uint64_t> m_count{0};
  uint64_t m_failAt = 0;
  bool m_permanent = false;
  bool m_failed = false;
};

}  // namespace mlf
