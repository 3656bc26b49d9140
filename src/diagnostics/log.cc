#include "diagnostics/log.h"

#include <cinttypes>
#include <cstdio>

#include "diagnostics/time_format.h"
#include "platform/app_folders.h"
#include "platform/crash_handler.h"
#include "platform/os_version.h"
#include "platform/path.h"

namespace mlf {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kPurgeAgeDays = 15;

}  // namespace

CLog::CLog(Env& env) : m_env(env) {}

CLog::~CLog() = default;

CLog& AppLog() {
  static CLog log;
  return log;
}

void CLog::Open() {
  // An installed program never writes beside itself; a build folder keeps its log there
  // while it can.
  AppFolders folders = LocateAppFolders(m_env);
  bool opened = !folders.installed && OpenIn(JoinPath(m_env.ExecutableDirectory(), "Logs"));
  if (!opened) {
    std::string userFolder = UserLogDirectory(m_env);
    opened = !userFolder.empty() && OpenIn(userFolder);
  }
  // The process's log is where a crash is noted.
  if (opened && this == &AppLog())
    SetCrashLog(GetFilePath(), [](const char* reportPath) { AppLog().WriteCrashNote(reportPath); });
}

bool CLog::OpenIn(const std::string& folder) {
  std::lock_guard lock(m_mutex);
  try {
    m_env.CreateDirectories(folder);
  } catch (const FileError&) {
    // The open below fails and the log stays closed.
  }
  PurgeOldLogs(folder);
  std::string path = JoinPath(folder, "Marrowleaf " + FormatLogFileDate(m_env.Now()) + ".log");
  try {
    m_file = m_env.OpenFile(path, FileAccess::ReadWrite, FileCreation::OpenOrCreate, FileShare::ShareRead);
    m_file->Seek(m_file->Size());
    m_descriptor = m_file->Descriptor();
  } catch (const FileError&) {
    m_file.reset();
    return false;
  }
  m_open = true;

  WriteLine();
  WriteLine("##### BEGIN LOG #####");
  WriteLine("Quarn Marrowleaf Log - v" MLF_VERSION_TEXT " (build " MLF_BUILD_STAMP ")");
  WriteLine(FormatLogHeaderTime(m_env.Now()));
  LogOsVersion();
  WriteLine();
  return true;
}

void CLog::PurgeOldLogs(const std::string& folder) {
  std::vector<DirEntry> entries;
  try {
    entries = m_env.ListDirectory(folder);
  } catch (const FileError&) {
    return;
  }
  int64_t now = m_env.Now();
  for (const DirEntry& entry : entries) {
    if (entry.isDirectory || Extension(entry.name) != "log") continue;
    if ((now - entry.creationTime) / kSecondsPerDay < kPurgeAgeDays) continue;
    try {
      m_env.DeleteFile(JoinPath(folder, entry.name));
    } catch (const FileError&) {
      // One file that cannot go must not stop the purge.
    }
  }
}

void CLog::WriteLocked(const char* text) {
  if (!m_open) return;
  try {
    if (m_atLineStart && !m_indent.empty()) m_file->Write(m_indent.data(), m_indent.size());
    if (text) m_file->Write(text, std::char_traits<char>::length(text));
  } catch (const FileError&) {
    // The log never reports its own write errors.
  }
  m_atLineStart = false;
}

void CLog::Write(const char* text) {
  std::lock_guard lock(m_mutex);
  WriteLocked(text);
}

void CLog::WriteLine(const char* text) {
  std::lock_guard lock(m_mutex);
  if (!m_open) return;
  WriteLocked(text);
  WriteLocked("\r\n");
  m_atLineStart = true;
}

void CLog::Indent() {
  std::lock_guard lock(m_mutex);
  ++m_depth;
  m_indent.insert(m_indent.begin(), '\t');
}

unsigned CLog::Outdent() {
  std::lock_guard lock(m_mutex);
  unsigned before = m_depth;
  if (m_depth > 0) {
    --m_depth;
    m_indent.erase(0, 1);
  }
  return before;
}

void CLog::LogModuleVersion(const std::string& moduleName, uint64_t version) {
  char text[96];
  std::snprintf(text, sizeof text, " Version: %u.%u.%u.%u", unsigned(version >> 48) & 0xFFFF,
                unsigned(version >> 32) & 0xFFFF, unsigned(version >> 16) & 0xFFFF, unsigned(version) & 0xFFFF);
  std::lock_guard lock(m_mutex);
  WriteLine(moduleName + text);
}

void CLog::LogOsVersion() {
  std::string line = OperatingSystemLine();
  if (!line.empty()) WriteLine(line);
}

std::string CLog::GetFilePath() const {
  std::lock_guard lock(m_mutex);
  return m_open ? m_file->Path() : std::string();
}

void CLog::WriteCrashNote(const char* reportPath) {
  if (m_descriptor < 0) return;
  auto writeIndent = [this] {
    for (unsigned i = 0; i < m_depth.load(); ++i) WriteSignalSafe(m_descriptor, "\t");
  };
  if (m_atLineStart.load()) writeIndent();
  WriteSignalSafe(m_descriptor, "\r\n");
  writeIndent();
  WriteSignalSafe(m_descriptor, "# Unhandled exception occurred, minidump written to ");
  WriteSignalSafe(m_descriptor, reportPath);
  WriteSignalSafe(m_descriptor, "\r\n");
  m_atLineStart.store(true);
}

bool CLog::IsOpen() const {
  std::lock_guard lock(m_mutex);
  return m_open;
}

}  // namespace mlf
