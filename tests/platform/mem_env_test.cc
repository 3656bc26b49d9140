#include <gtest/gtest.h>

#include "platform/fault_env.h"
#include "platform/mem_env.h"
#include "platform/wipe.h"
#include "support/scratch_dir.h"

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

// The save copies streams with positioned reads: each Env reads at the offset it is given,
// whatever position an earlier read left, and reads short only at the end of the file.
TEST(FileReadAtTest, ReadsAtTheOffsetGivenInEveryEnv) {
  test::ScratchDir scratch;
  MemEnv mem;
  FaultEnv faulty(mem);
  struct Case {
    const char* name;
    Env& env;
    std::string path;
  };
  for (const Case& c : {Case{"system", Env::Default(), scratch / "f"}, Case{"memory", mem, "/tmp/f"},
                        Case{"fault injection", faulty, "/tmp/g"}}) {
    SCOPED_TRACE(c.name);
    auto file = Create(c.env, c.path);
    file->WriteString("0123456789");
    char bytes[8] = {};
    EXPECT_EQ(file->ReadAt(6, bytes, 3), 3u);
    EXPECT_EQ(std::string(bytes, 3), "678");
    EXPECT_EQ(file->ReadAt(2, bytes, 2), 2u) << "before where the last read ended";
    EXPECT_EQ(std::string(bytes, 2), "23");
    EXPECT_EQ(file->ReadAt(7, bytes, 8), 3u);
    EXPECT_EQ(std::string(bytes, 3), "789");
    EXPECT_EQ(file->ReadAt(10, bytes, 1), 0u);
    EXPECT_THROW(file->ReadExactAt(9, bytes, 2), FileError);
  }
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
