#include "platform/mem_env.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/path.h"

namespace mlf {

struct MemEnv::Node {
  std::string bytes;
  std::string synced;
  int64_t creationTime = 0;
  int64_t modificationTime = 0;
  uint64_t inode = 0;
  int64_t writes = 0;  // the env's write counter at the last change
  // The same two-byte lock model as the POSIX Env: a write byte and a read byte.
  int writeShared = 0;
  bool writeExclusive = false;
  int readShared = 0;
  bool readExclusive = false;
};

namespace {

bool TryLock(int& shared, bool& exclusive, bool wantExclusive) {
  if (exclusive || (wantExclusive && shared > 0)) return false;
  if (wantExclusive) exclusive = true; else ++shared;
  return true;
}

void Unlock(int& shared, bool& exclusive, bool wasExclusive) {
  if (wasExclusive) exclusive = false; else --shared;
}

bool LocksWriteByte(FileAccess access, FileShare share) {
  return access == FileAccess::ReadWrite || share != FileShare::ShareReadWrite;
}
bool WriteByteExclusive(FileAccess access, FileShare share) {
  return access == FileAccess::ReadWrite || share == FileShare::Exclusive;
}

}  // namespace

class MemFile final : public File {
 public:
  MemFile(MemEnv& env, std::shared_ptr<MemEnv::Node> node, std::string path, FileAccess access,
          FileShare share, bool deleteOnClose)
      : m_env(env), m_node(std::move(node)), m_path(std::move(path)), m_access(access),
        m_share(share), m_deleteOnClose(deleteOnClose) {}

  ~MemFile() override {
    std::lock_guard lock(m_env.m_mutex);
    m_env.ReleaseLocks(*m_node, m_access, m_share);
    if (m_deleteOnClose) m_env.CloseDeleting(m_path, m_node);
  }

  const std::string& Path() const override { return m_path; }

  size_t Read(void* data, size_t size) override {
    std::lock_guard lock(m_env.m_mutex);
    if (m_position >= m_node->bytes.size()) return 0;
    size_t n = std::min<uint64_t>(size, m_node->bytes.size() - m_position);
    std::memcpy(data, m_node->bytes.data() + m_position, n);
    m_position += n;
    return n;
  }

  void Write(const void* data, size_t size) override {
    std::lock_guard lock(m_env.m_mutex);
    if (m_access != FileAccess::ReadWrite) throw FileError(m_path, "write failed (read-only handle)", EBADF);
    if (m_node->bytes.size() < m_position + size) m_node->bytes.resize(m_position + size);
    std::memcpy(m_node->bytes.data() + m_position, data, size);
    m_position += size;
    m_node->modificationTime = m_env.m_now;
    m_node->writes = ++m_env.m_writeCounter;
  }

  void Seek(uint64_t offset) override { m_position = offset; }
  uint64_t Tell() override { return m_position; }

  uint64_t Size() override {
    std::lock_guard lock(m_env.m_mutex);
    return m_node->bytes.size();
  }

  void Truncate(uint64_t size) override {
    std::lock_guard lock(m_env.m_mutex);
    m_node->bytes.resize(size);
    m_node->writes = ++m_env.m_writeCounter;
  }

  void Sync() override {
    std::lock_guard lock(m_env.m_mutex);
    m_node->synced = m_node->bytes;
  }

 private:
  MemEnv& m_env;
  std::shared_ptr<MemEnv::Node> m_node;
  std::string m_path;
  FileAccess m_access;
  FileShare m_share;
  bool m_deleteOnClose;
  uint64_t m_position = 0;
};

MemEnv::MemEnv() {
  for (const char* dir : {"/", "/tmp", "/app", "/home", "/home/user"}) m_directories.insert(dir);
}

MemEnv::~MemEnv() = default;

void MemEnv::ReleaseLocks(Node& node, FileAccess access, FileShare share) {
  if (LocksWriteByte(access, share))
    Unlock(node.writeShared, node.writeExclusive, WriteByteExclusive(access, share));
  Unlock(node.readShared, node.readExclusive, share == FileShare::Exclusive);
}

void MemEnv::CloseDeleting(const std::string& path, const std::shared_ptr<Node>& node) {
  auto it = m_files.find(path);
  if (it != m_files.end() && it->second == node) m_files.erase(it);
}

std::unique_ptr<File> MemEnv::OpenFile(const std::string& path, FileAccess access,
                                       FileCreation creation, FileShare share) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(path);
  if (it == m_files.end()) {
    if (creation == FileCreation::OpenExisting) throw FileError(path, "cannot open file (missing)", ENOENT);
    if (!m_directories.count(DirName(path))) throw FileError(path, "cannot open file (no folder)", ENOENT);
    auto node = std::make_shared<Node>();
    node->creationTime = node->modificationTime = m_now;
    node->inode = m_nextInode++;
    it = m_files.emplace(path, node).first;
  } else if (creation == FileCreation::CreateNew) {
    throw FileError(path, "cannot create file (exists)", EEXIST);
  }
  Node& node = *it->second;
  if (LocksWriteByte(access, share) &&
      !TryLock(node.writeShared, node.writeExclusive, WriteByteExclusive(access, share)))
    throw FileError(path, "the file is in use by another program", EBUSY);
  if (!TryLock(node.readShared, node.readExclusive, share == FileShare::Exclusive)) {
    if (LocksWriteByte(access, share))
      Unlock(node.writeShared, node.writeExclusive, WriteByteExclusive(access, share));
    throw FileError(path, "the file is in use by another program", EBUSY);
  }
  if (creation == FileCreation::CreateAlways) {
    node.bytes.clear();
    node.writes = ++m_writeCounter;
  }
  return std::make_unique<MemFile>(*this, it->second, path, access, share, false);
}

std::unique_ptr<File> MemEnv::CreateTempFile(const std::string& prefix, const std::string& suffix,
                                             bool deleteOnClose, const std::string& folder) {
  std::lock_guard lock(m_mutex);
  std::string dir = folder.empty() ? TempDirectory() : folder;
  std::string path;
  do {
    path = JoinPath(dir, prefix + std::to_string(100000 + ++m_tempCounter) + suffix);
  } while (m_files.count(path));
  auto file = OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateNew, FileShare::Exclusive);
  if (!deleteOnClose) return file;
  // Reopen the same node with the delete-on-close behaviour.
  auto node = m_files[path];
  file.reset();
  TryLock(node->writeShared, node->writeExclusive, true);
  TryLock(node->readShared, node->readExclusive, true);
  return std::make_unique<MemFile>(*this, node, path, FileAccess::ReadWrite, FileShare::Exclusive, true);
}

std::string MemEnv::CreateTempDirectory(const std::string& prefix) {
  std::lock_guard lock(m_mutex);
  std::string path = JoinPath(TempDirectory(), prefix + std::to_string(100000 + ++m_tempCounter));
  m_directories.insert(path);
  return path;
}

void MemEnv::DeleteTree(const std::string& path) {
  std::lock_guard lock(m_mutex);
  auto inside = [&](const std::string& p) { return p == path || p.rfind(path + "/", 0) == 0; };
  std::erase_if(m_files, [&](const auto& entry) { return inside(entry.first); });
  std::erase_if(m_directories, inside);
}

bool MemEnv::FileExists(const std::string& path) {
  std::lock_guard lock(m_mutex);
  return m_files.count(path) != 0;
}

bool MemEnv::DirectoryExists(const std::string& path) {
  std::lock_guard lock(m_mutex);
  return m_directories.count(path) != 0;
}

void MemEnv::DeleteFile(const std::string& path) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(path);
  if (it == m_files.end()) throw FileError(path, "cannot delete file (missing)", ENOENT);
  if (it->second->readExclusive || it->second->writeExclusive)
    throw FileError(path, "cannot delete file (in use)", EBUSY);
  m_files.erase(it);
}

void MemEnv::RenameFile(const std::string& source, const std::string& target) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(source);
  if (it == m_files.end()) throw FileError(source, "cannot rename file (missing)", ENOENT);
  if (!m_directories.count(DirName(target))) throw FileError(target, "cannot rename file (no folder)", ENOENT);
  auto node = it->second;
  m_files.erase(it);
  m_files[target] = node;
}

void MemEnv::LinkFile(const std::string& existing, const std::string& link) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(existing);
  if (it == m_files.end()) throw FileError(existing, "cannot link file (missing)", ENOENT);
  if (m_files.count(link)) throw FileError(link, "cannot link file (exists)", EEXIST);
  if (!m_directories.count(DirName(link))) throw FileError(link, "cannot link file (no folder)", ENOENT);
  m_files[link] = it->second;
}

std::optional<FileStamp> MemEnv::Stamp(const std::string& path) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(path);
  if (it == m_files.end()) return std::nullopt;
  const Node& node = *it->second;
  return FileStamp{node.bytes.size(), node.writes, node.inode, 0};
}

void MemEnv::CreateDirectory(const std::string& path) {
  std::lock_guard lock(m_mutex);
  if (!m_directories.count(DirName(path)) || m_files.count(path)) throw FileError(path, "cannot create folder", EEXIST);
  m_directories.insert(path);
}

std::vector<DirEntry> MemEnv::ListDirectory(const std::string& path) {
  std::lock_guard lock(m_mutex);
  if (!m_directories.count(path)) throw FileError(path, "cannot list folder", ENOENT);
  std::vector<DirEntry> entries;
  for (const auto& [name, node] : m_files)
    if (DirName(name) == path)
      entries.push_back({BaseName(name), false, node->creationTime, node->modificationTime, node->bytes.size()});
  for (const auto& dir : m_directories)
    if (dir != path && DirName(dir) == path) entries.push_back({BaseName(dir), true, 0, 0, 0});
  return entries;
}

void MemEnv::SyncDirectory(const std::string& path) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_durable, [&](const auto& entry) { return DirName(entry.first) == path; });
  for (const auto& [name, node] : m_files)
    if (DirName(name) == path) m_durable[name] = node;
}

void MemEnv::SetCreationTime(const std::string& path, int64_t seconds) {
  std::lock_guard lock(m_mutex);
  m_files.at(path)->creationTime = seconds;
}

void MemEnv::PutFile(const std::string& path, const std::string& bytes) {
  std::lock_guard lock(m_mutex);
  m_directories.insert(DirName(path));
  auto node = std::make_shared<Node>();
  node->bytes = node->synced = bytes;
  node->creationTime = node->modificationTime = m_now;
  node->inode = m_nextInode++;
  node->writes = ++m_writeCounter;
  m_files[path] = node;
  m_durable[path] = node;
}

std::string MemEnv::GetFile(const std::string& path) {
  std::lock_guard lock(m_mutex);
  auto it = m_files.find(path);
  if (it == m_files.end()) throw FileError(path, "no such file", ENOENT);
  return it->second->bytes;
}

void MemEnv::DropUnsyncedData() {
  std::lock_guard lock(m_mutex);
  m_files = m_durable;
  for (auto& [name, node] : m_files) node->bytes = node->synced;
}

void MemEnv::SyncAll() {
  std::lock_guard lock(m_mutex);
  m_durable = m_files;
  for (auto& [name, node] : m_files) node->synced = node->bytes;
}

}  // namespace mlf
