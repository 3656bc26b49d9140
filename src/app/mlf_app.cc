#include "app/mlf_app.h"

#include <QSettings>
#include <QVersionNumber>

#include "app/app_settings.h"
#include "app/autosave.h"
#include "app/main_frame.h"
#include "app/qt_prompts.h"
#include "app/qt_settings_store.h"
#include "app/recovery_offer.h"
#include "app/shell_registration.h"
#include "app/splash_wnd.h"
#include "crypt/crypt_dll_handler.h"
#include "diagnostics/leftovers.h"
#include "diagnostics/log.h"
#include "spell/spell_dll_handler.h"
#include "tree/tree_images.h"
#include "views/blank_area_view.h"
#include "views/child_frame.h"
#include "widgets/wait_cursor.h"
#include "widgets/window_state.h"

namespace mlf {
namespace {

constexpr int kSplashMinimumMs = 2000;

}  // namespace

CMlfApp::CMlfApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromLatin1(kApplicationName));
  setOrganizationName(QString::fromLatin1(kOrganisationName));
  setApplicationVersion(QStringLiteral(MLF_VERSION_TEXT));
}

CMlfApp::~CMlfApp() {
  SetAppPrompts(nullptr);
}

bool CMlfApp::CheckLibraries() {
  CLog& log = AppLog();
  log.WriteLine("#BEGIN CHECKING LIBRARIES#");
  log.Indent();
  // The Qt libraries stand where the system libraries stand on Windows: the program needs a
  // runtime at least as new as the one it was built with.
  QVersionNumber runtime = QVersionNumber::fromString(QString::fromLatin1(qVersion()));
  uint64_t packed = (uint64_t(runtime.majorVersion()) << 48) | (uint64_t(runtime.minorVersion()) << 32) |
                    (uint64_t(runtime.microVersion()) << 16);
  log.LogModuleVersion("Qt6Core", packed);
  uint32_t have = (uint32_t(runtime.majorVersion()) << 16) | uint32_t(runtime.minorVersion());
  uint32_t need = (uint32_t(QT_VERSION_MAJOR) << 16) | uint32_t(QT_VERSION_MINOR);
  if (have < need) {
    log.WriteLine("!FAILED LIBRARY CHECK: QT6CORE!");
    AppPrompts().Message("A required library was not found!\n\nPlease install Qt " QT_VERSION_STR
                         " or above to correct this error.",
                         kAppCaption, MessageIcon::Stop, MessageButtons::Ok);
    return false;
  }
  log.Outdent();
  log.WriteLine("#END CHECKING LIBRARIES#");
  return true;
}

void CMlfApp::LoadCrypt() {
  CLog& log = AppLog();
  log.WriteLine("#BEGIN MLFCRYPT.DLL LOAD#");
  log.Indent();
  AppCrypt().Load(Env::Default());  // without the module the program runs without encryption
  log.Outdent();
  log.WriteLine("#END MLFCRYPT.DLL LOAD#");
}

void CMlfApp::InitSpellCheck() {
  // Start-up goes on without it; Check Spelling and the spelling options stay disabled.
  if (!AppSpell().Start(Env::Default()))
    AppPrompts().Message("Could not initialise spell-checking library!", kAppCaption, MessageIcon::None,
                         MessageButtons::Ok);
}

void CMlfApp::LoadControlImages() {
  AppLog().Write("Loading control images...");
  TreeImages::Instance();
  DefaultLogo();
  AppLog().WriteLine("Done.");
}

void CMlfApp::RequestSplashClose() {
  if (m_splash) m_splash->RequestClose();
}

void CMlfApp::DismissSplash() {
  if (m_splash) m_splash->Dismiss();
}

void CMlfApp::ApplyStartupPlacement() {
  MlfSettings& settings = AppSettings();
  WindowPlacement& placement = settings.lastPlacement;
  placement.showState = StartupShowState(placement.showState, settings.startInTray);
  if (placement.IsSet()) ApplyPlacement(*m_mainFrame, placement);
  else if (settings.startInTray) m_mainFrame->showMinimized();
  else m_mainFrame->show();
  if (settings.startInTray) m_mainFrame->SendToTray();
}

bool CMlfApp::InitInstance() {
  WaitCursor cursor;
  CLog& log = AppLog();
  log.Open();
  log.WriteLine("#LOADING MARROWLEAF#");
  log.Indent();
  RemoveLeftoversOfKilledRuns(log);
  m_prompts = std::make_unique<QtPrompts>([this] { DismissSplash(); });
  SetAppPrompts(m_prompts.get());
  if (!CheckLibraries()) return false;

  QtSettingsStore store;
  AppSettings().Load(store);
  m_settingsLoaded = true;
  ApplyImportFont();
  QSettings settings = ProgramSettings();
  m_recentFiles.Load(settings);

  log.Write("Creating MDI frame window...");
  m_mainFrame = std::make_unique<CMainFrame>(m_recentFiles);
  log.WriteLine("Done.");

  if (AppSettings().showSplash) {
    log.Write("Creating splash screen...");
    m_splash = new CSplashWnd(kSplashMinimumMs);
    m_splash->KeepAbove(*m_mainFrame);
    log.WriteLine("Done.");
    m_splash->show();
    m_splash->repaint();
    processEvents();
  }
  LoadCrypt();
  InitSpellCheck();
  LoadControlImages();

  QStringList arguments = QApplication::arguments().mid(1);
  if (arguments == QStringList{QStringLiteral("/reg")}) {
    m_registrationRun = true;
    RegisterShellNew(QApplication::applicationFilePath());
    return false;
  }
  // What a run that ended without closing its documents left, before any file is opened.
  OfferRecovery(*m_mainFrame, Env::Default());
  m_autosave = std::make_unique<Autosave>(*m_mainFrame, Env::Default());
  // The command line names at most one file to open; no empty document is made at start.
  QString file = arguments.isEmpty() ? QString() : arguments.front();
  if (!file.isEmpty()) {
    // The splash goes after its minimum time; a password question closes it at once.
    RequestSplashClose();
    if (!m_mainFrame->OpenDocument(file)) return false;
  } else if (AppSettings().reloadLast && !m_recentFiles.Files().isEmpty()) {
    RequestSplashClose();
    m_mainFrame->OpenDocument(m_recentFiles.Files().front());
  }
  ApplyStartupPlacement();
  RequestSplashClose();
  log.Outdent();
  log.WriteLine("#LOADING COMPLETE#");
  log.WriteLine();
  return true;
}

int CMlfApp::ExitInstance() {
  CLog& log = AppLog();
  m_autosave.reset();
  m_mainFrame.reset();
  DismissSplash();
  log.WriteLine("#BEGIN EXITINSTANCE#");
  log.Indent();
  // A start that failed before the settings were read must not overwrite them with defaults.
  if (m_settingsLoaded && !m_registrationRun) {
    log.Write("Saving settings...");
    QtSettingsStore store;
    AppSettings().Save(store);
    log.WriteLine("Done.");
  }
  AppCrypt().Unload();
  log.Outdent();
  log.WriteLine("#END EXITINSTANCE#");
  if (m_settingsLoaded && !m_registrationRun) {
    QSettings settings = ProgramSettings();
    m_recentFiles.Save(settings);
  }
  AppSpell().Shutdown();  // last: the module's dialogs live in this process's Qt
  return 0;
}

}  // namespace mlf
