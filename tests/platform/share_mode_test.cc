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

TEST(PosixEnvTest, TempFileIsOwnerOnlyWithPrefixAndGoesAwayWhenClosed) {
  test::ScratchDir dir;
  std::string path;
  {
    auto file = Env::Default().CreateTempFile("MLF", ".tmp", true, dir.path());
    path = file->Path();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(path.rfind(dir / "MLF", 0), 0u);
    EXPECT_EQ(path.substr(path.size() - 4), ".tmp");
    file->WriteString("abc");
    EXPECT_EQ(file->Size(), 3u);
  }
  EXPECT_FALSE(Env::Default().FileExists(path));
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
