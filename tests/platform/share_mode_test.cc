// The POSIX Env on the real disk: temporary files, opens over a held file, short reads. The
// share modes are in share_conformance_test.cc.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/env.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

constexpr FileAccess R = FileAccess::Read;
constexpr FileAccess RW = FileAccess::ReadWrite;

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
