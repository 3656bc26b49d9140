#include <gtest/gtest.h>

#include "diagnostics/log.h"
#include "diagnostics/time_format.h"
#include "platform/mem_env.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

constexpr int64_t kNow = 1796740000;  // 9 Dec 2026
constexpr int64_t kDay = 86400;

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { env.SetNow(kNow); }
  std::string Contents(const CLog& log) { return env.GetFile(log.GetFilePath()); }
  // What was written after the start header.
  std::string Body(const CLog& log) {
    std::string all = Contents(log);
    size_t header = all.find("\r\n\r\n", all.find("BEGIN LOG"));
    return all.substr(header + 4);
  }
  MemEnv env;
};

TEST_F(LogTest, OpensTodaysFileInLogsBesideTheExecutableWithTheHeader) {
  CLog log(env);
  log.Open();
  ASSERT_TRUE(log.IsOpen());
  EXPECT_EQ(log.GetFilePath(), "/app/Logs/Marrowleaf " + FormatLogFileDate(kNow) + ".log");
  std::string text = Contents(log);
  EXPECT_EQ(text.rfind("\r\n##### BEGIN LOG #####\r\nQuarn Marrowleaf Log - v0.10.6 (build 20140503)\r\n", 0), 0u);
  EXPECT_NE(text.find(FormatLogHeaderTime(kNow) + "\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
}

TEST_F(LogTest, LineCompositionAndIndent) {
  CLog log(env);
  log.Open();
  log.Indent();
  log.Write("a");
  log.Write("b");
  log.WriteLine("c");
  log.Indent();
  log.WriteLine();
  EXPECT_EQ(log.Outdent(), 2u);
  EXPECT_EQ(log.Outdent(), 1u);
  EXPECT_EQ(log.Outdent(), 0u);
  log.Write(nullptr);
  log.WriteLine("Calling LoadLibrary(\"x\")...Done.");
  log.LogModuleVersion("COMCTL32.DLL", 0x0006000A00001DB1ULL);
  EXPECT_EQ(Body(log), "\tabc\r\n\t\t\r\nCalling LoadLibrary(\"x\")...Done.\r\nCOMCTL32.DLL Version: 6.10.0.7601\r\n");
}

TEST_F(LogTest, TwoRunsOfOneDayAppendToOneFile) {
  {
    CLog first(env);
    first.Open();
    first.WriteLine("first run");
  }
  CLog second(env);
  second.Open();
  std::string text = Contents(second);
  size_t firstHeader = text.find("\r\n##### BEGIN LOG #####");
  size_t secondHeader = text.find("\r\n##### BEGIN LOG #####", firstHeader + 1);
  EXPECT_EQ(firstHeader, 0u);
  ASSERT_NE(secondHeader, std::string::npos);
  EXPECT_LT(text.find("first run"), secondHeader);
}

TEST_F(LogTest, PurgeDeletesLogsFifteenDaysOldOrMore) {
  struct File {
    const char* name;
    int64_t age;
    bool kept;
  } files[] = {
      {"/app/Logs/Marrowleaf young.log", 14 * kDay + 23 * 3600, true},
      {"/app/Logs/Marrowleaf old.log", 15 * kDay, false},
      {"/app/Logs/Marrowleaf older.log", 40 * kDay, false},
      {"/app/Logs/keep.txt", 40 * kDay, true},
  };
  for (const File& f : files) {
    env.PutFile(f.name, "x");
    env.SetCreationTime(f.name, kNow - f.age);
  }
  CLog log(env);
  log.Open();
  for (const File& f : files) EXPECT_EQ(env.FileExists(f.name), f.kept) << f.name;
}

TEST_F(LogTest, ClosedLogDropsEverything) {
  CLog never(env);
  never.WriteLine("nothing");
  never.Write("x");
  EXPECT_EQ(never.GetFilePath(), "");

  // With neither Logs folder to be had the log stays closed.
  env.PutFile("/app/Logs", "a file in the way");
  env.PutFile("/home/user/.local", "a file in the way");
  CLog blocked(env);
  blocked.Open();
  EXPECT_FALSE(blocked.IsOpen());
  EXPECT_EQ(blocked.GetFilePath(), "");
}

class InstalledEnv : public MemEnv {
 public:
  std::string ExecutableDirectory() override { return "/usr/bin"; }
};

TEST(LogLocationTest, BesideABuiltProgramWhileWritableElseInTheUserStateFolder) {
  const std::string date = FormatLogFileDate(kNow);
  const std::string userLog = "/home/user/.local/state/Quarn/Marrowleaf/Logs/Marrowleaf " + date + ".log";

  MemEnv build;
  build.SetNow(kNow);
  CLog beside(build);
  beside.Open();
  EXPECT_EQ(beside.GetFilePath(), "/app/Logs/Marrowleaf " + date + ".log");

  MemEnv unwritable;
  unwritable.SetNow(kNow);
  unwritable.PutFile("/app/Logs", "a file in the way");
  CLog moved(unwritable);
  moved.Open();
  EXPECT_EQ(moved.GetFilePath(), userLog);
  EXPECT_NE(unwritable.GetFile(userLog).find("##### BEGIN LOG #####"), std::string::npos);

  // An installed program never writes beside itself, even where it could.
  InstalledEnv installed;
  installed.SetNow(kNow);
  installed.CreateDirectories("/usr/bin");
  installed.CreateDirectories("/usr/lib/marrowleaf");
  CLog user(installed);
  user.Open();
  EXPECT_EQ(user.GetFilePath(), userLog);
  EXPECT_FALSE(installed.DirectoryExists("/usr/bin/Logs"));
}

// The crash note goes straight to the file's descriptor, ending a half-written line first and
// keeping the indent, as an empty WriteLine, a Write and a WriteLine would.
TEST(LogCrashNoteTest, EndsTheOpenLineAndKeepsTheIndent) {
  struct Case {
    const char* name;
    unsigned depth;
    const char* halfLine;  // written before the crash, no line end; null: at a line start
    const char* expected;
  } cases[] = {
      {"line start", 0, nullptr, "\r\n# Unhandled exception occurred, minidump written to /r/x.txt\r\n"},
      {"mid-line", 1, "Opening...", "\tOpening...\r\n\t# Unhandled exception occurred, minidump written to /r/x.txt\r\n"},
      {"indented", 2, nullptr, "\t\t\r\n\t\t# Unhandled exception occurred, minidump written to /r/x.txt\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir scratch;
    CLog log(Env::Default());
    ASSERT_TRUE(log.OpenIn(scratch.path()));
    std::string header = test::ReadWholeFile(log.GetFilePath());
    for (unsigned i = 0; i < c.depth; ++i) log.Indent();
    if (c.halfLine) log.Write(c.halfLine);
    log.WriteCrashNote("/r/x.txt");
    EXPECT_EQ(test::ReadWholeFile(log.GetFilePath()).substr(header.size()), c.expected);
  }
}

TEST(TimeFormatTest, EnglishWhateverTheLocale) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(FormatLogFileDate(1796774400), "09-Dec-26");
  EXPECT_EQ(FormatLogHeaderTime(1796774400 + 3723), "Wednesday 09 December, 01:02:03 +0000");
}

}  // namespace
}  // namespace mlf
