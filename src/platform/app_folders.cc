#include "platform/app_folders.h"

#include "platform/env.h"
#include "platform/path.h"

namespace mlf {

AppFolders LocateAppFolders(Env& env) {
  std::string executable = env.ExecutableDirectory();
  std::string prefix = DirName(executable);
  std::string modules = JoinPath(prefix, "lib/marrowleaf");
  if (BaseName(executable) == "bin" && env.DirectoryExists(modules))
    return {true, modules, JoinPath(prefix, "share/marrowleaf")};
  return {false, executable, executable};
}

std::string UserLogDirectory(Env& env) {
  std::string state = env.StateDirectory();
  return state.empty() ? std::string() : JoinPath(state, "Quarn/Marrowleaf/Logs");
}

}  // namespace mlf
