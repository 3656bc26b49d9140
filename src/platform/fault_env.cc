#include "platform/fault_env.h"

#include <cerrno>

namespace mlf {
namespace {

class FaultFile final : public File {
 public:
  FaultFile(FaultEnv& env, std::unique_ptr<File> target) : m_env(env), m_target(std::move(target)) {}

  const std::string& Path() const override { return m_target->Path(); }
  size_t Read(void* data, size_t size) override {
    m_env.Check(Path());
    return m_target->Read(data, size);
  }
  size_t ReadAt(uint64_t offset, void* data, size_t size) override {
    m_env.Check(Path());
    return m_target->ReadAt(offset, data, size);
  }
  void Write(const void* data, size_t size) override {
    m_env.Check(Path());
    m_target->Write(data, size);
  }
  void Seek(uint64_t offset) override { m_target->Seek(offset); }
  uint64_t Tell() override { return m_target->Tell(); }
  uint64_t Size() override { return m_target->Size(); }
  void Truncate(uint64_t size) override {
    m_env.Check(Path());
    m_target->Truncate(size);
  }
  void Sync() override {
    m_env.Check(Path());
    m_target->Sync();
  }

 private:
  FaultEnv& m_env;
  std::unique_ptr<File> m_target;
};

}  // namespace

void FaultEnv::Check(const std::string& path) {
  uint64_t n = ++m_count;
  if (m_failAt != 0 && (n == m_failAt || (m_permanent && n > m_failAt))) {
    m_failed = true;
    throw FileError(path, "injected failure", EIO);
  }
}

std::unique_ptr<File> FaultEnv::OpenFile(const std::string& path, FileAccess access,
                                         FileCreation creation, FileShare share) {
  Check(path);
  return std::make_unique<FaultFile>(*this, m_target.OpenFile(path, access, creation, share));
}

std::unique_ptr<File> FaultEnv::CreateTempFile(const std::string& prefix, const std::string& suffix,
                                               bool deleteOnClose, const std::string& folder) {
  Check(folder.empty() ? TempDirectory() : folder);
  return std::make_unique<FaultFile>(*this, m_target.CreateTempFile(prefix, suffix, deleteOnClose, folder));
}

void FaultEnv::DeleteFile(const std::string& path) {
  Check(path);
  m_target.DeleteFile(path);
}

void FaultEnv::RenameFile(const std::string& source, const std::string& target) {
  Check(target);
  m_target.RenameFile(source, target);
}

void FaultEnv::LinkFile(const std::string& existing, const std::string& link) {
  Check(link);
  m_target.LinkFile(existing, link);
}

void FaultEnv::CreateDirectory(const std::string& path) {
  Check(path);
  m_target.CreateDirectory(path);
}

void FaultEnv::SyncDirectory(const std::string& path) {
  Check(path);
  m_target.SyncDirectory(path);
}

}  // namespace mlf
