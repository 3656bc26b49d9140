// CMlfApp: brings the program up and down. Start-up logs every step, checks the Qt runtime,
// loads the settings, creates the main window, shows the splash, loads the encryption module,
// builds the shared images and opens the file of the command line (or the last one used);
// shutdown saves the settings once and unloads the module.
#pragma once

#include <QApplication>
#include <QPointer>
#include <memory>

#include "app/recent_file_list.h"

namespace mlf {

class Autosave;
class CMainFrame;
class CSplashWnd;
class QtPrompts;

class CMlfApp : public QApplication {
  Q_OBJECT
 public:
  CMlfApp(int& argc, char** argv);
  ~CMlfApp() override;

  static CMlfApp* Instance() { return qobject_cast<CMlfApp*>(qApp); }

  // False ends the process (the failure was logged and, where the user must know, shown).
  bool InitInstance();
  // Returns the exit code of the process.
  int ExitInstance();

  // "/reg" registered the document type; the process ends without a window, and without
  // saving the settings.
  bool IsRegistrationRun() const { return m_registrationRun; }
  CMainFrame* MainFrame() const { return m_mainFrame.get(); }
  // Closes the splash at once (before any question to the user).
  void DismissSplash();

 private:
  bool CheckLibraries();
  void LoadCrypt();
  // Loads and initialises the spell-check module; says so when that fails.
  void InitSpellCheck();
  void LoadControlImages();
  void RequestSplashClose();
  void ApplyStartupPlacement();

  std::unique_ptr<QtPrompts> m_prompts;
  std::unique_ptr<CMainFrame> m_mainFrame;
  std::unique_ptr<Autosave> m_autosave;  // after the main window, whose documents it watches
  QPointer<CSplashWnd> m_splash;
  RecentFileList m_recentFiles;
  bool m_settingsLoaded = false;
  bool m_registrationRun = false;
};

}  // namespace mlf
