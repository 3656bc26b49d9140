#include "store/backup_rotation.h"

#include <algorithm>
#include <charconv>

#include "platform/path.h"

namespace mlf {
namespace {

// The number of a backup of file named name; 0 for any other name.
uint32_t BackupNumber(const std::string& file, const std::string& name) {
  const std::string prefix = BaseName(file) + ".bak";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 || name[prefix.size()] == '0')
    return 0;
  uint32_t number = 0;
  const char* end = name.data() + name.size();
  auto [at, error] = std::from_chars(name.data() + prefix.size(), end, number);
  return error == std::errc() && at == end ? number : 0;
}

// Deletes the backups above keep (left by a larger setting), then moves bak(keep-1) to bakkeep
// ... bak1 to bak2, each rename replacing the older one, and clears the name bak1.
void MakeRoomForNewest(Env& env, const std::string& file, uint32_t keep) {
  std::vector<DirEntry> entries;
  try {
    entries = env.ListDirectory(DirName(file));
  } catch (const FileError&) {
    // A folder that may be written but not listed: only the trimming of old numbers is lost.
  }
  for (const DirEntry& entry : entries) {
    uint32_t number = entry.isDirectory ? 0 : BackupNumber(file, entry.name);
    if (number > keep) env.DeleteFile(BackupName(file, number));
  }
  for (uint32_t number = keep - 1; number >= 1; --number) {
    std::string older = BackupName(file, number);
    if (env.FileExists(older)) env.RenameFile(older, BackupName(file, number + 1));
  }
  if (env.FileExists(BackupName(file, 1))) env.DeleteFile(BackupName(file, 1));
}

}  // namespace

std::string BackupName(const std::string& file, uint32_t number) { return file + ".bak" + std::to_string(number); }

void ReplaceKeepingBackups(Env& env, const std::string& replacement, const std::string& file, uint32_t keep) {
  keep = std::min(keep, kMaxBackups);
  if (keep == 0 || !env.FileExists(file)) {
    env.RenameFile(replacement, file);
    return;
  }
  MakeRoomForNewest(env, file, keep);
  const std::string newest = BackupName(file, 1);
  bool linked = true;
  try {
    env.LinkFile(file, newest);
  } catch (const FileError&) {
    linked = false;
    env.RenameFile(file, newest);  // a failure leaves file where it was
  }
  try {
    env.RenameFile(replacement, file);
  } catch (const FileError& error) {
    try {
      if (linked) env.DeleteFile(newest);  // only a second name: file still holds the old version
      else env.RenameFile(newest, file);
    } catch (const FileError&) {
      if (!linked)
        throw OldFileMovedAside(newest, std::string(error.what()) + "; the previous version is kept as");
    }
    throw;
  }
}

}  // namespace mlf
