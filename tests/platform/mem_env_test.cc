#include <gtest/gtest.h>

#include "platform/fault_env.h"
#include "platform/mem_env.h"
#include "platform/wipe.h"

namespace mlf {
namespace {

std::unique_ptr<File> Create(Env& env, const std::string& path) {
  return env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
}

TEST(MemEnvTest, PowerCutKeepsOnlySyncedBytesAndSyncedNames) {
  MemEnv env;
  env.PutFile("/d/old", "old");
  {
    auto file = Create(env, "/d/new");
    file->WriteString("synced");
    file->Sync();
    file->WriteString("-lost");
  }
  env.DropUnsyncedData();
  EXPECT_FALSE(env.FileExists("/d/new")) << "the folder was never synced";

  {
    auto file = Create(env, "/d/new");
    file->WriteString("synced");
    file->Sync();
    file->WriteString("-lost");
  }
  env.SyncDirectory("/d");
  env.RenameFile("/d/new", "/d/old");
  env.DropUnsyncedData();
  EXPECT_EQ(env.GetFile("/d/old"), "old") << "the rename was never synced";
  EXPECT_EQ(env.GetFile("/d/new"), "synced");
}

TEST(FaultEnvTest, FailsTheNthOperationOnceOrFromThenOn) {
  MemEnv mem;
  FaultEnv env(mem);
  auto file = Create(env, "/tmp/f");
  env.FailAt(2, false);
  EXPECT_NO_THROW(file->WriteString("a"));
  EXPECT_THROW(file->WriteString("b"), FileError);
  EXPECT_NO_THROW(file->WriteString("c"));
  env.FailAt(1, true);
  EXPECT_THROW(file->WriteString("d"), FileError);
  EXPECT_THROW(file->Sync(), FileError);
  EXPECT_EQ(mem.GetFile("/tmp/f"), "ac");
}

TEST(WipeTest, OverwritesEveryByteWithZeros) {
  MemEnv env;
  auto file = Create(env, "/tmp/secret");
  file->WriteString("top secret text");
  OverwriteWithZeros(*file, 4);
  std::string bytes = env.GetFile("/tmp/secret");
  EXPECT_EQ(bytes.find_first_not_of('\0'), std::string::npos);
  EXPECT_GE(bytes.size(), 15u);
}

}  // namespace
}  // namespace mlf
