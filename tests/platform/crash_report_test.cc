// The crash path end to end: each program is run with a fault that test builds compile in
// (MLF_TEST_FAULT), and what it leaves is read back with nothing but byte parsing.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/scratch_dir.h"

namespace mlf {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;

constexpr char kLogNote[] = "# Unhandled exception occurred, minidump written to ";

struct RunResult {
  int status = -1;             // of the crashed process, as waitpid gives it
  std::vector<int> fresh;      // exit statuses of the processes it left behind
  std::string errors;          // its standard error
};

void KillChildren() {
  std::string parent = std::to_string(::getpid());
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string stat = ReadWholeFile(entry.path().string() + "/stat");
    size_t end = stat.rfind(") ");
    // pid (name) state ppid ...
    if (end != std::string::npos && stat.compare(end + 4, parent.size() + 1, parent + " ") == 0)
      ::kill(std::stoi(entry.path().filename().string()), SIGKILL);
  }
}

// Runs argv in folder with the environment added to ours. The test process adopts what the
// run leaves behind (the fresh process a crash starts) and waits for that too.
RunResult RunProgram(const std::vector<std::string>& argv, const std::string& folder,
               const std::vector<std::pair<std::string, std::string>>& environment) {
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  std::string errorsPath = folder + "/stderr.txt";
  pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    FILE* errors = std::freopen(errorsPath.c_str(), "w", stderr);
    (void)errors;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  RunResult run;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  for (;;) {
    int status = 0;
    pid_t ended = ::waitpid(-1, &status, WNOHANG);
    if (ended == child) {
      run.status = status;
    } else if (ended > 0) {
      run.fresh.push_back(status);
    } else if (ended < 0) {
      break;  // nothing left to wait for
    } else if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "a process did not end; killing what this test started";
      KillChildren();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  run.errors = ReadWholeFile(errorsPath);
  return run;
}

// The reports in folder: files named marrowleaf-crash-yyyyMMddHHmmss.txt.
std::vector<std::string> ReportsIn(const std::string& folder) {
  std::vector<std::string> reports;
  if (!fs::is_directory(folder)) return reports;
  static const std::regex name(R"(marrowleaf-crash-(\d{4})(\d{2})(\d{2})(\d{2})(\d{2})(\d{2})\.txt)");
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::smatch parts;
    std::string file = entry.path().filename().string();
    if (!std::regex_match(file, parts, name)) continue;
    int month = std::stoi(parts[2]), day = std::stoi(parts[3]), hour = std::stoi(parts[4]);
    if (month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24) reports.push_back(entry.path().string());
  }
  return reports;
}

// The value of the report line that starts with label.
std::string ReportField(const std::string& report, const std::string& label) {
  size_t at = report.find("\n" + label);
  if (at == std::string::npos) return {};
  at += 1 + label.size();
  return report.substr(at, report.find('\n', at) - at);
}

std::vector<std::string> TempFilesIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("MLF", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp") found.push_back(name);
  }
  return found;
}

class CrashReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(scratch / "tmp");
    fs::create_directories(scratch / "work");
  }
  // The environment of one run; data is the per-user data folder.
  std::vector<std::pair<std::string, std::string>> Environment(const std::string& fault, const std::string& data) {
    return {{"MLF_TEST_FAULT", fault},
            {"XDG_DATA_HOME", data},
            {"XDG_STATE_HOME", scratch / "state"},
            {"TMPDIR", scratch / "tmp"},
            {"QT_QPA_PLATFORM", "offscreen"},
            {"MLF_CRASH_MESSAGES_RECORD", scratch / "messages.txt"}};
  }
  // Missing with the folders above it until a crash makes them.
  std::string DataHome() { return scratch / "home/.local/share"; }
  std::string DataFolder() { return DataHome() + "/Quarn/Marrowleaf"; }
  // The one report in folder, its contents checked against what every report holds.
  std::string OnlyReport(const std::string& folder) {
    std::vector<std::string> reports = ReportsIn(folder);
    if (reports.size() != 1) {
      ADD_FAILURE() << reports.size() << " reports in " << folder;
      return {};
    }
    reportPath = reports.front();
    std::string report = ReadWholeFile(reportPath);
    EXPECT_EQ(report.rfind("Marrowleaf crash report\nVersion: " MLF_VERSION_TEXT "\n", 0), 0u) << report;
    EXPECT_NE(report.find("Backtrace of the faulting thread:\n"), std::string::npos) << report;
    return report;
  }
  // The log the report names holds the note with the report's path.
  void ExpectLogNote(const std::string& report, const std::string& pathInNote) {
    std::string log = ReportField(report, "Log: ");
    ASSERT_FALSE(log.empty()) << report;
    EXPECT_NE(ReadWholeFile(log).find(std::string(kLogNote) + pathInNote + "\r\n"), std::string::npos) << log;
  }
  void ExpectNoTempFiles(const std::string& folder) {
    EXPECT_EQ(TempFilesIn(folder), std::vector<std::string>()) << folder;
  }

  ScratchDir scratch;
  std::string reportPath;
};

#ifdef MARROWLEAF_PROGRAM

struct GuiFault {
  const char* fault;
  const char* signal;         // the report's cause line starts so
  const char* function;       // named in the faulting thread's backtrace
  const char* faultingThread; // its name
};

void PrintTo(const GuiFault& fault, std::ostream* out) { *out << fault.fault; }

class GuiCrashTest : public CrashReportTest, public ::testing::WithParamInterface<GuiFault> {};

TEST_P(GuiCrashTest, ReportsLogsCleansUpAndStartsTheMessagesProcess) {
  const GuiFault& c = GetParam();
  RunResult run = RunProgram({MARROWLEAF_PROGRAM}, scratch / "work", Environment(c.fault, DataHome()));
  ASSERT_TRUE(WIFSIGNALED(run.status)) << "status " << run.status << "\n" << run.errors;

  std::string report = OnlyReport(DataFolder());
  EXPECT_NE(report.find(c.signal), std::string::npos) << report;
  std::string faulting = report.substr(report.find("Backtrace of the faulting thread:"));
  faulting = faulting.substr(0, faulting.find("\nThread "));
  EXPECT_NE(faulting.find(c.function), std::string::npos) << report;
  EXPECT_NE(ReportField(report, "Faulting thread: ").find(std::string("\"") + c.faultingThread + "\""),
            std::string::npos)
      << report;
  // The other threads are named, and asked for their stacks.
  EXPECT_NE(report.find("\nThread "), std::string::npos) << report;
  ExpectLogNote(report, reportPath);
  ExpectNoTempFiles(scratch / "tmp");

  // The fresh process (adopted with the web engine's helpers) showed both messages, naming
  // the log and the report.
  EXPECT_FALSE(run.fresh.empty());
  std::string messages = ReadWholeFile(scratch / "messages.txt");
  EXPECT_NE(messages.find("A fatal error has occurred.\n\nMarrowleaf will now exit.\n---\n"), std::string::npos)
      << messages;
  EXPECT_NE(messages.find("please send the following log files to the Marrowleaf issue tracker. Any personal "
                          "information within the files will be kept in strict confidence.\n\n'" +
                          ReportField(report, "Log: ") + "'\n'" + reportPath + "'\n\nThank you.\n---\n"),
            std::string::npos)
      << messages;
}

const GuiFault kGuiFaults[] = {
    {"gui", "Signal: SIGSEGV (11), code 1, faulting address 0x0000000000000000", "FaultOnGuiThread", "marrowleaf"},
    {"worker", "Signal: SIGSEGV (11)", "FaultOnWorkerThread", "mlf-worker"},
    {"abort", "Signal: SIGABRT (6)", "AbortOnGuiThread", "marrowleaf"},
    {"terminate",
     "Cause: std::terminate, uncaught exception of type St13runtime_error: test fault: nothing catches this",
     "TerminateOnGuiThread", "marrowleaf"},
    // Reported from the alternate signal stack.
    {"overflow", "Signal: SIGSEGV (11)", "RecurseWithoutEnd", "marrowleaf"},
};

INSTANTIATE_TEST_SUITE_P(Faults, GuiCrashTest, ::testing::ValuesIn(kGuiFaults),
                         [](const auto& info) { return std::string(info.param.fault); });

#endif  // MARROWLEAF_PROGRAM

// mlf faulting during a save: the note file keeps its old bytes, the new image beside it is
// gone, and the user is told on standard error; no window is started.
class CliCrashTest : public CrashReportTest {
 protected:
  void SetUp() override {
    CrashReportTest::SetUp();
    file = scratch / "work/a.mlf";
    WriteWholeFile(scratch / "work/note.txt", "typed since the last save\n");
    WriteWholeFile(scratch / "work/pw", "s3cret\n");
    Make({MLF_PROGRAM, "new", file});
  }
  void Make(const std::vector<std::string>& argv) {
    RunResult made = RunProgram(argv, scratch / "work", {});
    ASSERT_TRUE(WIFEXITED(made.status) && WEXITSTATUS(made.status) == 0) << made.errors;
    before = ReadWholeFile(file);
  }
  // An encrypted file is read through a decrypted copy in the temporary folder, which the
  // crash must wipe and remove.
  void Encrypt() {
    Make({MLF_PROGRAM, "passwd", file, "--new-password-file", "pw"});
    password = {"--password-file", "pw"};
  }
  RunResult CrashDuringSave(const std::string& dataFolder, const std::string& faults = "save") {
    std::vector<std::string> argv{MLF_PROGRAM, "import", file, "note.txt", "--log"};
    argv.insert(argv.end(), password.begin(), password.end());
    return RunProgram(argv, scratch / "work", Environment(faults, dataFolder));
  }
  // The note in the log and the line on standard error name the report by the path it was
  // written under: the full one in the data folder, the bare name in the current folder.
  void ExpectFileWholeAndReported(const RunResult& run, const std::string& reportFolder, bool bareName) {
    EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGSEGV) << run.status << run.errors;
    EXPECT_TRUE(run.fresh.empty());
    EXPECT_EQ(ReadWholeFile(file), before);
    ExpectNoTempFiles(scratch / "work");
    ExpectNoTempFiles(scratch / "tmp");
    std::string report = OnlyReport(reportFolder);
    std::string pathInNote = bareName ? fs::path(reportPath).filename().string() : reportPath;
    EXPECT_NE(report.find("Signal: SIGSEGV (11)"), std::string::npos) << report;
    EXPECT_NE(report.find("FaultIfRequested"), std::string::npos) << report;
    EXPECT_NE(report.find("ReplaceFile"), std::string::npos) << report;
    ExpectLogNote(report, pathInNote);
    EXPECT_NE(run.errors.find("mlf: a fatal error has occurred; crash report written to " + pathInNote),
              std::string::npos)
        << run.errors;
    EXPECT_FALSE(fs::exists(scratch / "messages.txt"));
  }
  std::string file;
  std::string before;
  std::vector<std::string> password;
};

TEST_F(CliCrashTest, DuringASaveLeavesTheFileWholeAndReports) {
  ExpectFileWholeAndReported(CrashDuringSave(DataHome()), DataFolder(), false);
}

TEST_F(CliCrashTest, DuringASaveOfAnEncryptedFileLeavesNoDecryptedCopy) {
  Encrypt();
  ExpectFileWholeAndReported(CrashDuringSave(DataHome()), DataFolder(), false);
}

// A second fault inside the handler, after the backtraces, ends the process at once; the
// decrypted copy is still wiped and removed on the way out.
TEST_F(CliCrashTest, AFaultWhileReportingStillRemovesTheDecryptedCopy) {
  Encrypt();
  RunResult run = CrashDuringSave(DataHome(), "save,report");
  EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGSEGV) << run.status << run.errors;
  EXPECT_EQ(ReadWholeFile(file), before);
  ExpectNoTempFiles(scratch / "tmp");
  ExpectNoTempFiles(scratch / "work");
  EXPECT_NE(OnlyReport(DataFolder()).find("ReplaceFile"), std::string::npos);
}

// Without a data folder to write in, or with one whose path would not fit, the report goes
// to the current folder under its bare name.
TEST_F(CliCrashTest, ReportGoesToTheCurrentFolderWhenTheDataFolderCannotTakeIt) {
  WriteWholeFile(scratch / "not-a-folder", "");
  std::string tooLong = scratch.path();
  while (tooLong.size() < 3000) tooLong += "/deeper-and-deeper";
  for (const std::string& data : {scratch / "not-a-folder", tooLong}) {
    SCOPED_TRACE(data.substr(0, 80));
    for (const std::string& old : ReportsIn(scratch / "work")) fs::remove(old);
    ExpectFileWholeAndReported(CrashDuringSave(data), scratch / "work", true);
  }
  EXPECT_FALSE(fs::exists(tooLong));
}

}  // namespace
}  // namespace mlf
