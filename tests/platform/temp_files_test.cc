// What becomes of temporary files when a signal ends the process, and how a later start tells
// the left-overs of a killed run from files a running process still holds.
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "platform/env.h"
#include "platform/secure_memory.h"
#include "platform/temp_files.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

const std::string kSecret = "the decrypted note";

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const DirEntry& entry : Env::Default().ListDirectory(folder)) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

// Runs in the child that the signal ends: a named temporary file holding a secret (with a
// second name for its bytes, which nobody lists), one closed but kept, one without a name,
// and one renamed into place as a saved note file.
[[noreturn]] void MakeTempFilesAndRaise(const std::string& folder, int signal) {
  InstallTempFileCleanup();
  Env& env = Env::Default();
  auto open = env.CreateTempFile("MLF", ".tmp", false, folder);
  open->WriteString(kSecret);
  ::link(open->Path().c_str(), (folder + "/witness").c_str());
  env.CreateTempFile("MLF", ".tmp", false, folder)->WriteString(kSecret);
  auto unnamed = env.CreateTempFile("MLF", ".tmp", true, folder);
  unnamed->WriteString(kSecret);
  auto saved = env.CreateTempFile("MLF", ".note.mlf.tmp", false, folder);
  saved->WriteString("saved note");
  env.RenameFile(saved->Path(), folder + "/note.mlf");
  ::raise(signal);
  std::_Exit(0);
}

class EndingSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(EndingSignalTest, WipesAndRemovesEveryTempFileAndEndsAsTheSignalWould) {
  test::ScratchDir dir;
  EXPECT_EXIT(MakeTempFilesAndRaise(dir.path(), GetParam()), ::testing::KilledBySignal(GetParam()), "");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"note.mlf", "witness"}));
  EXPECT_EQ(test::ReadWholeFile(dir / "witness"), std::string(kSecret.size(), '\0'));
  EXPECT_EQ(test::ReadWholeFile(dir / "note.mlf"), "saved note");
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGPIPE),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST(EndingSignalTest, SignalIgnoredAtStartStaysIgnored) {
  EXPECT_EXIT(
      {
        std::signal(SIGHUP, SIG_IGN);
        InstallTempFileCleanup();
        std::raise(SIGHUP);
        std::_Exit(7);
      },
      ::testing::ExitedWithCode(7), "");
}

// A child forked to run a converter is ended on its own; the parent's files stay.
TEST(EndingSignalTest, ForkedChildLeavesTheParentsFilesAlone) {
  test::ScratchDir dir;
  EXPECT_EXIT(
      {
        InstallTempFileCleanup();
        auto file = Env::Default().CreateTempFile("MLF", ".tmp", false, dir.path());
        file->WriteString(kSecret);
        pid_t child = ::fork();
        if (child == 0) std::raise(SIGTERM);
        ::waitpid(child, nullptr, 0);
        std::_Exit(test::ReadWholeFile(file->Path()) == kSecret ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

class StaleTempFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) m_oldTmpDir = old;
    ::setenv("TMPDIR", dir.path().c_str(), 1);
  }
  void TearDown() override {
    if (m_oldTmpDir.empty()) ::unsetenv("TMPDIR");
    else ::setenv("TMPDIR", m_oldTmpDir.c_str(), 1);
  }
  test::ScratchDir dir;

 private:
  std::string m_oldTmpDir;
};

TEST_F(StaleTempFilesTest, RemovesOnlyWhatNoRunningProcessHolds) {
  Env& env = Env::Default();
  // Left by a run that died without cleaning up.
  test::WriteWholeFile(dir / "MLFabc123.tmp", kSecret);
  ::link((dir / "MLFabc123.tmp").c_str(), (dir / "witness").c_str());
  pid_t child = ::fork();
  if (child == 0) {
    Env::Default().CreateTempFile("MLF", ".tmp", false)->WriteString(kSecret);
    std::_Exit(0);  // no cleanup, as after SIGKILL
  }
  ::waitpid(child, nullptr, 0);
  std::vector<std::string> stale = Names(dir.path());
  stale.erase(std::remove(stale.begin(), stale.end(), "witness"), stale.end());
  ASSERT_EQ(stale.size(), 2u);

  // Held by this process, open or closed, through the Env.
  auto held = env.CreateTempFile("MLF", ".tmp", false);
  std::string kept = env.CreateTempFile("MLF", ".tmp", false)->Path();
  test::WriteWholeFile(dir / "MLFopen01.tmp", kSecret);
  auto opened = env.OpenFile(dir / "MLFopen01.tmp", FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
  // Not named as this program names its temporary files, or not a file of ours.
  for (const char* name : {"MLFabc123.note.mlf.tmp", "MLFab.tmp", "notes.tmp", "MLFab!123.tmp"})
    test::WriteWholeFile(dir / name, kSecret);
  test::WriteWholeFile(dir / "target", kSecret);
  ::symlink((dir / "target").c_str(), (dir / "MLFlink01.tmp").c_str());

  std::vector<std::string> removed = RemoveStaleTempFiles();
  std::sort(removed.begin(), removed.end());
  EXPECT_EQ(removed, (std::vector<std::string>{dir / stale[0], dir / stale[1]}));
  EXPECT_EQ(test::ReadWholeFile(dir / "witness"), std::string(kSecret.size(), '\0'));
  for (const std::string& path : {held->Path(), kept, dir / "MLFopen01.tmp", dir / "MLFab.tmp", dir / "target"})
    EXPECT_TRUE(env.FileExists(path)) << path;
  EXPECT_EQ(test::ReadWholeFile(dir / "target"), kSecret);
  env.DeleteFile(kept);
}

TEST(CoreDumpTest, SecretMemoryTurnsCoreDumpsOff) {
  EXPECT_EXIT(
      {
        SecureString password("s3cret");
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        std::_Exit(::prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace mlf
