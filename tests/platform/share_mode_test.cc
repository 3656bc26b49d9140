// Share modes between two processes: the child tries to open what the parent holds.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

struct Handle {
  FileAccess access;
  FileShare share;
};

// Runs the open in a forked child; true when it succeeded.
bool OpensInOtherProcess(const std::string& path, Handle h) {
  pid_t pid = fork();
  if (pid == 0) {
    try {
      Env::Default().OpenFile(path, h.access, FileCreation::OpenExisting, h.share);
      _exit(0);
    } catch (...) {
      _exit(1);
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct ShareCase {
  const char* name;
  Handle held;
  Handle wanted;
  bool opens;
};

constexpr FileAccess R = FileAccess::Read;
constexpr FileAccess RW = FileAccess::ReadWrite;

const ShareCase kCases[] = {
    {"exclusive_denies_writer", {RW, FileShare::Exclusive}, {RW, FileShare::ShareRead}, false},
    {"exclusive_denies_reader", {RW, FileShare::Exclusive}, {R, FileShare::ShareReadWrite}, false},
    {"writer_denies_second_writer", {RW, FileShare::ShareRead}, {RW, FileShare::ShareRead}, false},
    {"writer_admits_tolerant_reader", {RW, FileShare::ShareRead}, {R, FileShare::ShareReadWrite}, true},
    {"writer_denies_reader_that_denies_writing", {RW, FileShare::ShareRead}, {R, FileShare::ShareRead}, false},
    {"exclusive_reader_denies_writer", {R, FileShare::Exclusive}, {RW, FileShare::ShareRead}, false},
    {"exclusive_reader_denies_reader", {R, FileShare::Exclusive}, {R, FileShare::ShareReadWrite}, false},
    {"readers_share", {R, FileShare::ShareRead}, {R, FileShare::ShareRead}, true},
    {"reader_denies_writer", {R, FileShare::ShareRead}, {RW, FileShare::ShareRead}, false},
};

class ShareModeTest : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareModeTest, SecondProcess) {
  test::ScratchDir dir;
  std::string path = dir / "note.mlf";
  test::WriteWholeFile(path, "content");
  const ShareCase& c = GetParam();
  auto held = Env::Default().OpenFile(path, c.held.access, FileCreation::OpenExisting, c.held.share);
  EXPECT_EQ(OpensInOtherProcess(path, c.wanted), c.opens);
  held.reset();
  EXPECT_TRUE(OpensInOtherProcess(path, c.wanted)) << "the lock must go with the handle";
}

INSTANTIATE_TEST_SUITE_P(Cases, ShareModeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PosixEnvTest, TempFileIsOwnerOnlyWithPrefixAndGoesAwayWhenDeleted) {
  test::ScratchDir dir;
  auto file = Env::Default().CreateTempFile("MLF", ".tmp", false, dir.path());
  std::string path = file->Path();
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(path.rfind(dir / "MLF", 0), 0u);
  EXPECT_EQ(path.substr(path.size() - 4), ".tmp");
  file.reset();
  EXPECT_TRUE(Env::Default().FileExists(path));
  Env::Default().DeleteFile(path);
  EXPECT_FALSE(Env::Default().FileExists(path));
}

TEST(PosixEnvTest, DeleteOnCloseTempFileHasNoNameInItsFolder) {
  test::ScratchDir dir;
  auto file = Env::Default().CreateTempFile("MLF", ".tmp", true, dir.path());
  EXPECT_FALSE(Env::Default().FileExists(file->Path()));
  EXPECT_TRUE(Env::Default().ListDirectory(dir.path()).empty());
  file->WriteString("abc");
  file->Seek(0);
  char back[3];
  file->ReadExact(back, 3);
  EXPECT_EQ(std::string(back, 3), "abc");
}

TEST(PosixEnvTest, CreateAlwaysOnHeldFileFailsWithoutTruncating) {
  test::ScratchDir dir;
  std::string path = dir / "held";
  test::WriteWholeFile(path, "precious");
  auto held = Env::Default().OpenFile(path, RW, FileCreation::OpenExisting, FileShare::ShareRead);
  EXPECT_THROW(Env::Default().OpenFile(path, RW, FileCreation::CreateAlways, FileShare::Exclusive), FileError);
  EXPECT_EQ(test::ReadWholeFile(path), "precious");
}

TEST(PosixEnvTest, ReadStopsAtEndAndReadExactThrows) {
  test::ScratchDir dir;
  std::string path = dir / "short";
  test::WriteWholeFile(path, "abc");
  auto file = Env::Default().OpenFile(path, R, FileCreation::OpenExisting, FileShare::ShareRead);
  char buffer[8];
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 3u);
  file->Seek(1);
  EXPECT_THROW(file->ReadExact(buffer, 3), FileError);
}

}  // namespace
}  // namespace mlf
