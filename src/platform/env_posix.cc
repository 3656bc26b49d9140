// The POSIX Env. Windows share modes are emulated with open-file-description locks on two
// bytes far beyond any real data: a writer holds the "write" byte exclusively and every other
// handle that denies writing holds it shared; an exclusive handle holds the "read" byte
// exclusively and every reader holds it shared. So two writers, or a writer and a handle that
// denies writing, or an exclusive handle and anyone, cannot both have the file open.
#ifndef _WIN32

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "platform/env.h"
#include "platform/path.h"
#include "platform/share_locks_posix.h"
#include "platform/temp_file_list_posix.h"

namespace mlf {

bool posix::LockBytes(int fd, off_t first, off_t count, bool exclusive) {
  struct flock lock {};
  lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = first;
  lock.l_len = count;
#ifdef F_OFD_SETLK
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
#else
  return fcntl(fd, F_SETLK, &lock) == 0;
#endif
}

namespace {

using posix::kReadLockByte;
using posix::kWriteLockByte;

[[noreturn]] void ThrowErrno(const std::string& path, const char* what) {
  int err = errno;
  throw FileError(path, std::string(what) + " (" + std::strerror(err) + ")", err);
}

bool LockByte(int fd, off_t byte, bool exclusive) { return posix::LockBytes(fd, byte, 1, exclusive); }

bool TakeShareLocks(int fd, FileAccess access, FileShare share) {
  bool writes = access == FileAccess::ReadWrite;
  if (writes || share != FileShare::ShareReadWrite) {
    if (!LockByte(fd, kWriteLockByte, writes || share == FileShare::Exclusive)) return false;
  }
  return LockByte(fd, kReadLockByte, share == FileShare::Exclusive);
}

class PosixFile final : public File {
 public:
  // An unnamed file was removed from its folder when it was made and is listed by descriptor.
  PosixFile(int fd, std::string path, bool writable, bool unnamed)
      : m_fd(fd), m_path(std::move(path)), m_writable(writable), m_unnamed(unnamed) {}
  ~PosixFile() override {
    if (m_unnamed) posix::UnlistUnnamedTempFile(m_fd);
    ::close(m_fd);
  }

  const std::string& Path() const override { return m_path; }

  size_t Read(void* data, size_t size) override {
    return ReadAll(data, size, [&](char* to, size_t n, size_t) { return ::read(m_fd, to, n); });
  }

  size_t ReadAt(uint64_t offset, void* data, size_t size) override {
    return ReadAll(data, size, [&](char* to, size_t n, size_t done) {
      return ::pread(m_fd, to, n, static_cast<off_t>(offset + done));
    });
  }

  void Write(const void* data, size_t size) override {
    if (!m_writable) throw FileError(m_path, "write failed (opened for reading)", EBADF);
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::write(m_fd, static_cast<const char*>(data) + done, size - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowErrno(m_path, "write failed");
      }
      done += static_cast<size_t>(n);
    }
  }

  void Seek(uint64_t offset) override {
    if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0) ThrowErrno(m_path, "seek failed");
  }

  uint64_t Tell() override {
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0) ThrowErrno(m_path, "seek failed");
    return static_cast<uint64_t>(pos);
  }

  uint64_t Size() override {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) ThrowErrno(m_path, "stat failed");
    return static_cast<uint64_t>(st.st_size);
  }

  void Truncate(uint64_t size) override {
    if (!m_writable) throw FileError(m_path, "truncate failed (opened for reading)", EBADF);
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) ThrowErrno(m_path, "truncate failed");
  }

  void Sync() override {
    if (::fsync(m_fd) != 0) ThrowErrno(m_path, "flush failed");
  }

  int Descriptor() const override { return m_fd; }

 private:
  // Calls readSome(to, count, done) until size bytes are read or it reports the end of file.
  template <typename ReadSome>
  size_t ReadAll(void* data, size_t size, ReadSome&& readSome) {
    size_t done = 0;
    while (done < size) {
      ssize_t n = readSome(static_cast<char*>(data) + done, size - done, done);
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowErrno(m_path, "read failed");
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  int m_fd;
  std::string m_path;
  bool m_writable;
  bool m_unnamed;
};

class PosixLibrary final : public DynamicLibrary {
 public:
  explicit PosixLibrary(void* handle) : m_handle(handle) {}
  ~PosixLibrary() override { ::dlclose(m_handle); }
  void* Symbol(const char* name) override { return ::dlsym(m_handle, name); }

 private:
  void* m_handle;
};

int64_t BirthOrModificationTime(const std::string& path, const struct stat& st) {
#ifdef STATX_BTIME
  struct statx sx {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
    return sx.stx_btime.tv_sec;
#endif
  return st.st_mtime;
}

class PosixEnv final : public Env {
 public:
  std::unique_ptr<File> OpenFile(const std::string& path, FileAccess access, FileCreation creation,
                                 FileShare share) override {
    int flags = O_CLOEXEC | (access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY);
    switch (creation) {
      case FileCreation::OpenExisting: break;
      case FileCreation::OpenOrCreate: flags |= O_CREAT; break;
      case FileCreation::CreateAlways: flags |= O_CREAT; break;
      case FileCreation::CreateNew: flags |= O_CREAT | O_EXCL; break;
    }
    int fd = -1;
    if (access == FileAccess::Read && share == FileShare::Exclusive) {
      // An exclusive lock needs a descriptor that may write; the handle itself still only
      // reads. A file nobody may write is held with shared locks instead.
      fd = ::open(path.c_str(), (flags & ~O_RDONLY) | O_RDWR, 0644);
      if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) share = FileShare::ShareRead;
    }
    if (fd < 0) fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) ThrowErrno(path, "cannot open file");
    if (!TakeShareLocks(fd, access, share)) {
      ::close(fd);
      throw FileError(path, "the file is in use by another program", EBUSY);
    }
    // Truncate only once the locks show nobody else holds the file.
    if (creation == FileCreation::CreateAlways && ::ftruncate(fd, 0) != 0) {
      ::close(fd);
      ThrowErrno(path, "cannot truncate file");
    }
    return std::make_unique<PosixFile>(fd, path, access == FileAccess::ReadWrite, false);
  }

  std::unique_ptr<File> CreateTempFile(const std::string& prefix, const std::string& suffix,
                                       bool deleteOnClose, const std::string& folder) override {
    std::string name = JoinPath(folder.empty() ? TempDirectory() : folder, prefix + "XXXXXX" + suffix);
    int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));  // 0600, O_EXCL
    if (fd < 0) ThrowErrno(name, "cannot create temporary file");
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    TakeShareLocks(fd, FileAccess::ReadWrite, FileShare::Exclusive);
    if (deleteOnClose) {
      // Nobody opens such a file by its name again, so the name goes at once: nothing is left
      // in the folder even when the process is killed.
      ::unlink(name.c_str());
      posix::ListUnnamedTempFile(fd);
    } else {
      posix::ListNamedTempFile(name);
    }
    return std::make_unique<PosixFile>(fd, name, true, deleteOnClose);
  }

  std::string CreateTempDirectory(const std::string& prefix) override {
    std::string name = JoinPath(TempDirectory(), prefix + "XXXXXX");
    if (!::mkdtemp(name.data())) ThrowErrno(name, "cannot create temporary folder");
    return name;
  }

  void DeleteTree(const std::string& path) override {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }

  bool FileExists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool DirectoryExists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool IsReadOnly(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  }

  void DeleteFile(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) ThrowErrno(path, "cannot delete file");
  }

  void RenameFile(const std::string& source, const std::string& target) override {
    if (::rename(source.c_str(), target.c_str()) != 0) ThrowErrno(target, "cannot replace file");
    posix::UnlistNamedTempFile(source);
  }

  void LinkFile(const std::string& existing, const std::string& link) override {
    if (::link(existing.c_str(), link.c_str()) != 0) ThrowErrno(link, "cannot link file");
  }

  std::optional<FileStamp> Stamp(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<uint64_t>(st.st_size),
                     static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<uint64_t>(st.st_ino), static_cast<uint64_t>(st.st_dev)};
  }

  void CreateDirectory(const std::string& path) override {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) ThrowErrno(path, "cannot create folder");
  }

  std::vector<DirEntry> ListDirectory(const std::string& path) override {
    DIR* dir = ::opendir(path.c_str());
    if (!dir) ThrowErrno(path, "cannot list folder");
    std::vector<DirEntry> entries;
    while (dirent* item = ::readdir(dir)) {
      std::string name = item->d_name;
      if (name == "." || name == "..") continue;
      std::string full = JoinPath(path, name);
      struct stat st {};
      if (::stat(full.c_str(), &st) != 0) continue;
      entries.push_back({name, S_ISDIR(st.st_mode), BirthOrModificationTime(full, st),
                         static_cast<int64_t>(st.st_mtime), static_cast<uint64_t>(st.st_size)});
    }
    ::closedir(dir);
    return entries;
  }

  void SyncDirectory(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowErrno(path, "cannot open folder");
    int rc = ::fsync(fd);
    ::close(fd);
    if (rc != 0) ThrowErrno(path, "cannot flush folder");
  }

  std::string ResolveLinks(const std::string& path) override {
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error || resolved.empty() ? path : resolved.string();
  }

  bool CopyPermissions(const std::string& source, const std::string& target) override {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) return false;
    // Owner and group only where allowed: a user may give the group away, root the owner too.
    if (::chown(target.c_str(), st.st_uid, st.st_gid) != 0) (void)::chown(target.c_str(), static_cast<uid_t>(-1), st.st_gid);
    return ::chmod(target.c_str(), st.st_mode & 07777) == 0;
  }

  bool SameFileSystem(const std::string& a, const std::string& b) override {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
  }

  std::string TempDirectory() override {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
  }

  std::string ExecutableDirectory() override {
    std::string buffer(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return ".";
    buffer.resize(static_cast<size_t>(n));
    return DirName(buffer);
  }

  std::string AppDataDirectory() override {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return JoinPath(home, ".local/share");
    return {};
  }

  std::string StateDirectory() override {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg) return xdg;
    if (const char* home = std::getenv("HOME"); home && *home) return JoinPath(home, ".local/state");
    return {};
  }

  uint32_t SectorSize(const std::string& path) override {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0 || st.f_bsize == 0) return 0;
    return static_cast<uint32_t>(st.f_bsize);
  }

  std::unique_ptr<DynamicLibrary> LoadLibrary(const std::string& path) override {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle ? std::make_unique<PosixLibrary>(handle) : nullptr;
  }

  int64_t Now() override { return static_cast<int64_t>(std::time(nullptr)); }
};

}  // namespace

Env& Env::Default() {
  static PosixEnv env;
  return env;
}

}  // namespace mlf

#endif  // !_WIN32
