#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/app_folders.h"
#include "platform/mem_env.h"

namespace mlf {
namespace {

class ProgramEnv : public MemEnv {
 public:
  explicit ProgramEnv(std::string executable) : m_executable(std::move(executable)) {}
  std::string ExecutableDirectory() override { return m_executable; }

 private:
  std::string m_executable;
};

TEST(AppFoldersTest, InstalledLayoutOrEverythingBesideTheProgram) {
  struct Case {
    const char* executable;
    const char* madeFolder;
    AppFolders expected;
  } cases[] = {
      {"/usr/bin", "/usr/lib/marrowleaf", {true, "/usr/lib/marrowleaf", "/usr/share/marrowleaf"}},
      {"/opt/x/bin", "/opt/x/lib/marrowleaf", {true, "/opt/x/lib/marrowleaf", "/opt/x/share/marrowleaf"}},
      {"/home/user/src/build/bin", "/home/user/src/build/lib", {false, "/home/user/src/build/bin", "/home/user/src/build/bin"}},
      {"/opt/x/libexec", "/opt/x/lib/marrowleaf", {false, "/opt/x/libexec", "/opt/x/libexec"}},
  };
  for (const Case& c : cases) {
    ProgramEnv env(c.executable);
    env.CreateDirectories(c.executable);
    env.CreateDirectories(c.madeFolder);
    AppFolders folders = LocateAppFolders(env);
    EXPECT_EQ(folders.installed, c.expected.installed) << c.executable;
    EXPECT_EQ(folders.modules, c.expected.modules) << c.executable;
    EXPECT_EQ(folders.data, c.expected.data) << c.executable;
  }
}

TEST(AppFoldersTest, UserLogFolderFollowsTheStateFolder) {
  MemEnv env;
  EXPECT_EQ(UserLogDirectory(env), "/home/user/.local/state/Quarn/Marrowleaf/Logs");
  const char* old = std::getenv("XDG_STATE_HOME");
  std::string saved = old ? old : "";
  ::setenv("XDG_STATE_HOME", "/srv/state", 1);
  EXPECT_EQ(UserLogDirectory(Env::Default()), "/srv/state/Quarn/Marrowleaf/Logs");
  if (old) ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace mlf
