// The previous versions of a note file, kept beside it as "<name>.bak1" (the newest) to
// "<name>.bakN" when a save replaces it. A backup is the old file itself under another name,
// so keeping one costs no copy, and it keeps the file's permissions.
#pragma once

#include <cstdint>
#include <string>

#include "platform/env.h"

namespace mlf {

// More are never kept, whatever the setting says.
inline constexpr uint32_t kMaxBackups = 99;

std::string BackupName(const std::string& file, uint32_t number);

// The new file could not be put in place, and the old one could not be given its name back:
// the old version is now only under the backup name this error names.
class OldFileMovedAside : public FileError {
 public:
  using FileError::FileError;
};

// Renames replacement over file. With keep > 0 and file present, file's current version
// becomes bak1 first, the older backups move up one number and those above keep are deleted.
// Where the file system has hard links, bak1 is a second name of the old file, so file never
// goes missing; elsewhere the old file is renamed to bak1 and given its name back when the
// replacement cannot take it. Throws FileError with file holding its old version (or
// OldFileMovedAside); the caller makes the folder durable.
void ReplaceKeepingBackups(Env& env, const std::string& replacement, const std::string& file, uint32_t keep);

}  // namespace mlf
