// Autosave: the unsaved state of every modified document goes to its recovery file (see
// store/recovery_file.h) every few minutes (the AutosaveMinutes setting, read again whenever the
// Options sheet closes with OK; 0 turns it off) and whenever the user opens another node. The recovery file of a document goes when the
// document is saved or closed normally; one left behind is offered at the next start.
#pragma once

#include <QObject>
#include <QTimer>
#include <map>
#include <string>

namespace mlf {

class CChildFrame;
class CMainFrame;
class Env;

class Autosave : public QObject {
  Q_OBJECT
 public:
  explicit Autosave(CMainFrame& main, Env& env);
  ~Autosave() override;

  // One round: every modified document of the main window.
  void SaveAll();
  // The window's document, when it is modified. A round is skipped while a dialog is open:
  // a save or a node process may be under way behind it.
  void SaveDocument(CChildFrame* frame);
  // The recovery file the window's document is autosaved to.
  std::string RecoveryPath(CChildFrame* frame);
  // The recovery folder cannot be written: autosave said so once and writes nothing.
  bool IsOff() const { return m_off; }
  // The time between two rounds in milliseconds; 0 while there are no rounds.
  int Interval() const { return m_timer.isActive() ? m_timer.interval() : 0; }

 private:
  // Starts, restarts or stops the rounds as AutosaveMinutes says; an unchanged interval keeps
  // the round under way.
  void FollowSetting();
  void Watch(CChildFrame* frame);
  void Remove(CChildFrame* frame);
  bool FolderReady();

  CMainFrame& m_main;
  Env& m_env;
  QTimer m_timer;
  std::map<CChildFrame*, std::string> m_paths;
  std::string m_folder;
  bool m_folderChecked = false;
  bool m_off = false;
  int m_serial = 0;
};

}  // namespace mlf
