#include "views/temporary_files.h"

#include "platform/env.h"
#include "platform/wipe.h"

namespace mlf {

TemporaryFiles::~TemporaryFiles() {
  for (const std::string& path : m_paths) {
    try {
      if (!m_env.FileExists(path)) continue;
      {
        std::unique_ptr<File> file = m_env.OpenFile(path, FileAccess::ReadWrite, FileCreation::OpenExisting, FileShare::Exclusive);
        OverwriteWithZeros(*file, m_env.SectorSize(path));
      }
      m_env.DeleteFile(path);
    } catch (const FileError&) {
      // A file the system no longer lets us touch stays; the others still go.
    }
  }
}

}  // namespace mlf
