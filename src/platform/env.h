// The platform layer: every file, folder, clock and library the core touches goes through an
// Env, so tests can run the store on an in-memory file system or one that fails on purpose.
// Paths are UTF-8 texts; the interface carries no operating-system types.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file.h"

namespace mlf {

struct DirEntry {
  std::string name;
  bool isDirectory = false;
  int64_t creationTime = 0;      // seconds since 1970 UTC; the modification time where the
  int64_t modificationTime = 0;  // file system keeps no creation time
  uint64_t size = 0;
};

// What tells one version of a file on disk from another: a program that rewrites the file
// changes its size or modification time, one that replaces it changes the inode.
struct FileStamp {
  uint64_t size = 0;
  int64_t modificationNs = 0;  // nanoseconds since 1970 UTC
  uint64_t inode = 0;
  uint64_t device = 0;
  bool operator==(const FileStamp&) const = default;
};

class DynamicLibrary {
 public:
  virtual ~DynamicLibrary() = default;
  // The address of an exported symbol, or null.
  virtual void* Symbol(const char* name) = 0;
};

class Env {
 public:
  virtual ~Env() = default;

  // The operating system's own implementation.
  static Env& Default();

  virtual std::unique_ptr<File> OpenFile(const std::string& path, FileAccess access,
                                         FileCreation creation, FileShare share) = 0;
  // A new, uniquely named file "<prefix>XXXXXX<suffix>" in folder (the temporary folder when
  // empty), created exclusively and readable by its owner only. A file made with
  // deleteOnClose is removed when its handle is destroyed.
  virtual std::unique_ptr<File> CreateTempFile(const std::string& prefix, const std::string& suffix,
                                               bool deleteOnClose, const std::string& folder = {}) = 0;

  // A new, uniquely named folder "<prefix>XXXXXX" in the temporary folder, owner-only.
  virtual std::string CreateTempDirectory(const std::string& prefix) = 0;
  // Deletes a folder with everything in it; errors are ignored.
  virtual void DeleteTree(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // The file exists and nobody may write it (no write permission bit at all).
  virtual bool IsReadOnly(const std::string& path) = 0;
  virtual void DeleteFile(const std::string& path) = 0;
  // Replaces target by source in one step; both lie on one file system.
  virtual void RenameFile(const std::string& source, const std::string& target) = 0;
  // Gives an existing file a second name (a hard link) in the same file system; throws where
  // the file system has none, or when link exists.
  virtual void LinkFile(const std::string& existing, const std::string& link) {
    throw FileError(link, "hard links are not supported");
  }
  // The stamp of the file that path names (links followed); empty when it cannot be read.
  virtual std::optional<FileStamp> Stamp(const std::string& path) { return std::nullopt; }
  // Creates the folder; an existing one is no error.
  virtual void CreateDirectory(const std::string& path) = 0;
  // Creates the folder and every missing folder above it.
  void CreateDirectories(const std::string& path);
  virtual std::vector<DirEntry> ListDirectory(const std::string& path) = 0;
  // Makes a rename or creation inside the folder durable.
  virtual void SyncDirectory(const std::string& path) = 0;
  virtual bool SameFileSystem(const std::string& a, const std::string& b) = 0;
  // The file that path names once symbolic links are followed (path itself when it names no
  // link or cannot be resolved): a save replaces that file, so a link stays a link.
  virtual std::string ResolveLinks(const std::string& path) { return path; }
  // Gives target the permission bits of source, and its owner and group where the process may
  // set them; false when source cannot be read or target not changed.
  virtual bool CopyPermissions(const std::string& source, const std::string& target) { return true; }

  virtual std::string TempDirectory() = 0;
  virtual std::string ExecutableDirectory() = 0;
  // The per-user folder for application data (the roaming application data on Windows).
  virtual std::string AppDataDirectory() = 0;
  // The per-user folder for state such as logs ($XDG_STATE_HOME, the local application data
  // on Windows); empty when the system names none.
  virtual std::string StateDirectory() = 0;
  // The block size used to overwrite files on the volume holding path; 0 when unknown.
  virtual uint32_t SectorSize(const std::string& path) = 0;

  // Null when the library cannot be loaded.
  virtual std::unique_ptr<DynamicLibrary> LoadLibrary(const std::string& path) = 0;

  // Seconds since 1970 UTC.
  virtual int64_t Now() = 0;
};

}  // namespace mlf
