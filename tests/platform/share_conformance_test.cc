// One table of share-mode cases that every Env must follow: the POSIX Env, with the second
// open made by another process, and MemEnv, which tests of the store use in its place.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "platform/mem_env.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

struct Handle {
  FileAccess access;
  FileShare share;
};

struct ShareCase {
  const char* name;
  Handle held;
  Handle wanted;
  bool opens;
};

constexpr FileAccess R = FileAccess::Read;
constexpr FileAccess RW = FileAccess::ReadWrite;

// An open succeeds when each side's access is one the other side shares, except that two
// writers never share a file: a second program may read a note file that is open, but never
// write it.
const ShareCase kCases[] = {
    {"exclusive_denies_writer", {RW, FileShare::Exclusive}, {RW, FileShare::ShareRead}, false},
    {"exclusive_denies_reader", {RW, FileShare::Exclusive}, {R, FileShare::ShareReadWrite}, false},
    {"writer_denies_second_writer", {RW, FileShare::ShareRead}, {RW, FileShare::ShareRead}, false},
    {"writer_admits_tolerant_reader", {RW, FileShare::ShareRead}, {R, FileShare::ShareReadWrite}, true},
    {"writer_denies_reader_that_denies_writing", {RW, FileShare::ShareRead}, {R, FileShare::ShareRead}, false},
    {"writer_sharing_writes_denies_second_writer", {RW, FileShare::ShareReadWrite}, {RW, FileShare::ShareReadWrite}, false},
    {"writer_sharing_writes_denies_reader_that_denies_writing", {RW, FileShare::ShareReadWrite}, {R, FileShare::ShareRead}, false},
    {"exclusive_reader_denies_writer", {R, FileShare::Exclusive}, {RW, FileShare::ShareRead}, false},
    {"exclusive_reader_denies_reader", {R, FileShare::Exclusive}, {R, FileShare::ShareReadWrite}, false},
    {"readers_share", {R, FileShare::ShareRead}, {R, FileShare::ShareRead}, true},
    {"reader_denies_writer", {R, FileShare::ShareRead}, {RW, FileShare::ShareRead}, false},
    {"tolerant_reader_admits_writer", {R, FileShare::ShareReadWrite}, {RW, FileShare::ShareRead}, true},
    {"tolerant_reader_denies_exclusive", {R, FileShare::ShareReadWrite}, {RW, FileShare::Exclusive}, false},
};

bool Opens(Env& env, const std::string& path, Handle h) {
  try {
    env.OpenFile(path, h.access, FileCreation::OpenExisting, h.share);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

// The open made by a forked child, as another program would make it.
bool OpensInOtherProcess(const std::string& path, Handle h) {
  pid_t pid = fork();
  if (pid == 0) _exit(Opens(Env::Default(), path, h) ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ShareModeTest : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareModeTest, PosixEnvAgainstAnotherProcess) {
  test::ScratchDir dir;
  std::string path = dir / "note.mlf";
  test::WriteWholeFile(path, "content");
  const ShareCase& c = GetParam();
  auto held = Env::Default().OpenFile(path, c.held.access, FileCreation::OpenExisting, c.held.share);
  EXPECT_EQ(OpensInOtherProcess(path, c.wanted), c.opens);
  held.reset();
  EXPECT_TRUE(OpensInOtherProcess(path, c.wanted)) << "the lock must go with the handle";
}

TEST_P(ShareModeTest, MemEnv) {
  MemEnv env;
  env.PutFile("/d/note.mlf", "content");
  const ShareCase& c = GetParam();
  auto held = env.OpenFile("/d/note.mlf", c.held.access, FileCreation::OpenExisting, c.held.share);
  EXPECT_EQ(Opens(env, "/d/note.mlf", c.wanted), c.opens);
  held.reset();
  EXPECT_TRUE(Opens(env, "/d/note.mlf", c.wanted)) << "the lock must go with the handle";
}

INSTANTIATE_TEST_SUITE_P(Cases, ShareModeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mlf
