#include "app/autosave.h"

#include <unistd.h>

#include <QApplication>
#include <algorithm>

#include "app/app_settings.h"
#include "app/main_frame.h"
#include "dialogs/background_work.h"
#include "diagnostics/log.h"
#include "platform/env.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/prompts.h"
#include "store/recovery_file.h"
#include "views/child_frame.h"

namespace mlf {

constexpr uint32_t kLongestIntervalMinutes = 24 * 60;

Autosave::Autosave(CMainFrame& main, Env& env) : m_main(main), m_env(env) {
  connect(&main, &CMainFrame::ChildFrameAdded, this, &Autosave::Watch);
  for (CChildFrame* frame : main.ChildFrames()) Watch(frame);
  connect(&main, &CMainFrame::OptionsChanged, this, &Autosave::FollowSetting);
  connect(&m_timer, &QTimer::timeout, this, &Autosave::SaveAll);
  FollowSetting();
}

void Autosave::FollowSetting() {
  if (m_off) return;  // no folder to write to: the options cannot bring it back
  const uint32_t minutes = std::min(AppSettings().autosaveMinutes, kLongestIntervalMinutes);
  if (!minutes) {
    m_timer.stop();
    AppLog().WriteLine("Autosave is turned off in the options");
    return;
  }
  const int interval = static_cast<int>(minutes) * 60 * 1000;
  if (interval != Interval()) m_timer.start(interval);
}

Autosave::~Autosave() = default;

void Autosave::Watch(CChildFrame* frame) {
  if (m_paths.count(frame)) return;
  m_paths[frame];  // named when first written
  // The frame is the context: a note switch still queued when the window goes is dropped.
  connect(frame, &CChildFrame::NoteStored, frame, [this, frame] { SaveDocument(frame); }, Qt::QueuedConnection);
  connect(frame, &CChildFrame::ModifiedFlagChanged, this, [this, frame] {
    if (!frame->Document().IsModified()) Remove(frame);
  });
  connect(frame, &CChildFrame::Closing, this, [this, frame] { Remove(frame); });
  connect(frame, &QObject::destroyed, this, [this, frame] {
    Remove(frame);
    m_paths.erase(frame);
  });
}

void Autosave::SaveAll() {
  for (CChildFrame* frame : m_main.ChildFrames()) SaveDocument(frame);
}

void Autosave::SaveDocument(CChildFrame* frame) {
  Watch(frame);
  if (QApplication::activeModalWidget() || BackgroundWorkRunning()) return;
  if (!frame->StoreOpenNode()) return;
  CMarrowleafDoc& doc = frame->Document();
  if (!doc.IsModified() || !FolderReady()) return;
  std::string path = RecoveryPath(frame);
  try {
    doc.WriteRecovery(path);
  } catch (const std::exception& error) {
    AppLog().WriteLine(std::string("WARNING: Autosave failed, the recovery file keeps the previous round: ") +
                       error.what());
  }
}

std::string Autosave::RecoveryPath(CChildFrame* frame) {
  std::string& path = m_paths[frame];
  if (path.empty()) {
    // The process id in the name keeps two running programs apart, and tells the next start
    // whether the program that wrote the file still runs.
    std::string stem = BaseName(frame->Document().GetPathName());
    if (stem.empty()) stem = frame->DocumentTitle().toStdString();
    path = JoinPath(RecoveryDirectory(m_env), stem + "-" + std::to_string(getpid()) + "-" +
                                                  std::to_string(++m_serial) + kRecoveryExtension);
  }
  return path;
}

void Autosave::Remove(CChildFrame* frame) {
  auto it = m_paths.find(frame);
  if (it == m_paths.end() || it->second.empty() || !m_env.FileExists(it->second)) return;
  try {
    m_env.DeleteFile(it->second);
  } catch (const FileError& error) {
    AppLog().WriteLine(std::string("WARNING: A recovery file could not be removed: ") + error.what());
  }
}

bool Autosave::FolderReady() {
  if (m_folderChecked) return !m_off;
  m_folderChecked = true;
  m_folder = RecoveryDirectory(m_env);
  try {
    if (m_folder.empty()) throw FileError("$XDG_DATA_HOME", "the system names no folder for application data");
    m_env.CreateDirectories(m_folder);
    m_env.CreateTempFile("MLF", ".tmp", true, m_folder);  // can files be made there?
  } catch (const FileError& error) {
    m_off = true;
    m_timer.stop();
    std::string text = "Autosave is off: no recovery file can be written (" + std::string(error.what()) +
                       ").\n\nChanges are kept only when you save them.";
    AppLog().WriteLine(text);
    AppPrompts().Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
  }
  return !m_off;
}

}  // namespace mlf
