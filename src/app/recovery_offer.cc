#include "app/recovery_offer.h"

#include <unistd.h>

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <memory>

#include "app/main_frame.h"
#include "app/mlf_app.h"
#include "diagnostics/log.h"
#include "platform/env.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/prompts.h"
#include "store/recovery_file.h"
#include "views/child_frame.h"

namespace mlf {
namespace {

// The id of the process that wrote the file: "<name>-<pid>-<serial>.mlfrecovery".
int64_t WriterPid(const std::string& name) {
  std::string stem = name.substr(0, name.size() - std::string(kRecoveryExtension).size());
  size_t serialDash = stem.rfind('-');
  if (serialDash == std::string::npos || serialDash == 0) return 0;
  size_t pidDash = stem.rfind('-', serialDash - 1);
  if (pidDash == std::string::npos) return 0;
  try {
    return std::stoll(stem.substr(pidDash + 1, serialDash - pidDash - 1));
  } catch (const std::exception&) {
    return 0;
  }
}

// The writer still runs: another process of that id runs this same program. The parent is
// only ever a program that crashed and started this one to tell the user.
bool WriterRuns(int64_t pid) {
  if (pid <= 0 || pid == getpid() || pid == getppid()) return false;
  QString program = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
  return !program.isEmpty() && program == QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

void Tell(const std::string& text) {
  AppLog().WriteLine(text);
  AppPrompts().Message(text, kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
}

void MoveAside(Env& env, const std::string& path, const std::string& reason) {
  std::string aside = path + ".damaged";
  try {
    env.RenameFile(path, aside);
    Tell("The recovery file '" + path + "' cannot be used: " + reason + ".\n\nIt was kept as '" + aside + "'.");
  } catch (const FileError& error) {
    Tell("The recovery file '" + path + "' cannot be used: " + reason + ".\n\nIt could not be moved aside: " +
         error.what());
  }
}

void Delete(Env& env, const std::string& path) {
  try {
    env.DeleteFile(path);
  } catch (const FileError& error) {
    AppLog().WriteLine(std::string("WARNING: A recovery file could not be deleted: ") + error.what());
  }
}

}  // namespace

RecoveryChoice AskAboutRecovery(const QString& name, const QDateTime& autosaved) {
  if (CMlfApp* app = CMlfApp::Instance()) app->DismissSplash();
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppCaption),
                  QStringLiteral("Do you want to attempt to save any modified files?\n\n%1\nLast autosave: %2")
                      .arg(name, QLocale().toString(autosaved, QLocale::LongFormat)),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard);
  box.setDefaultButton(QMessageBox::Yes);
  switch (box.exec()) {
    case QMessageBox::Yes: return RecoveryChoice::Recover;
    case QMessageBox::Discard: return RecoveryChoice::Discard;
    default: return RecoveryChoice::Keep;
  }
}

std::vector<std::string> PendingRecoveryFiles(Env& env) {
  std::string folder = RecoveryDirectory(env);
  std::vector<DirEntry> entries;
  try {
    if (!folder.empty()) entries = env.ListDirectory(folder);
  } catch (const FileError&) {
    return {};  // no folder: nothing was ever autosaved
  }
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  const std::string extension = kRecoveryExtension;
  std::vector<std::string> paths;
  for (const DirEntry& entry : entries) {
    const std::string& name = entry.name;
    if (entry.isDirectory || name.size() <= extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
      continue;
    if (!WriterRuns(WriterPid(name))) paths.push_back(JoinPath(folder, name));
  }
  return paths;
}

int OfferRecovery(CMainFrame& main, Env& env, const RecoveryQuestion& ask) {
  int recovered = 0;
  for (const std::string& path : PendingRecoveryFiles(env)) {
    AppLog().WriteLine("Found recovery file " + path);

    auto document = std::make_unique<CMarrowleafDoc>(env);
    RecoveryInfo info;
    try {
      info = ReadRecoveryInfo(*env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead));
      if (document->OpenRecovery(path) == CMarrowleafDoc::RecoveryResult::Cancelled) continue;  // asked again next time
    } catch (const DamagedRecoveryError& error) {
      MoveAside(env, path, error.what());
      continue;
    } catch (const std::exception& error) {
      Tell("The recovery file '" + path + "' cannot be read now: " + error.what() + ".\n\nIt is kept for later.");
      continue;
    }
    QString title = info.savedPath.empty() ? QStringLiteral("A document that was never saved")
                                           : QString::fromStdString(info.savedPath);
    switch (ask(title, QDateTime::fromSecsSinceEpoch(info.autosaveTime))) {
      case RecoveryChoice::Recover: {
        QString shownName = info.savedPath.empty() ? QStringLiteral("Recovered")
                                                   : QString::fromStdString(BaseName(info.savedPath)) +
                                                         QStringLiteral(" (recovered)");
        CChildFrame* frame = main.AddChildFrame(std::move(document), shownName);
        frame->OnDocumentLoaded();
        ++recovered;
        // Until the recovered document is saved somewhere, its recovery file stays.
        if (frame->SaveAs()) Delete(env, path);
        break;
      }
      case RecoveryChoice::Discard:
        AppLog().WriteLine("Recovery file discarded: " + path);
        Delete(env, path);
        break;
      case RecoveryChoice::Keep:
        break;
    }
  }
  return recovered;
}

}  // namespace mlf
