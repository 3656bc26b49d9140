#include "platform/env.h"

#include "platform/path.h"

namespace mlf {

void Env::CreateDirectories(const std::string& path) {
  if (path.empty() || DirectoryExists(path)) return;
  std::string parent = DirName(path);
  if (parent != path && parent != ".") CreateDirectories(parent);
  CreateDirectory(path);
}

}  // namespace mlf
