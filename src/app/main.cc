// The desktop program.
#include "app/after_crash.h"
#include "app/main_frame.h"
#include "app/mlf_app.h"
#include "app/scripted_run.h"
#include "app/test_faults.h"
#include "platform/crash_handler.h"
#include "platform/temp_files.h"
#include "views/web_engine_setup.h"

int main(int argc, char** argv) {
  // The process a crash starts reports its own faults on standard error, never in a loop.
  bool afterCrash = mlf::IsAfterCrashRun(argc, argv);
  mlf::InstallCrashHandler({"marrowleaf", MLF_VERSION_TEXT,
                            afterCrash ? mlf::CrashNotice::StandardError : mlf::CrashNotice::FreshProcess});
  mlf::InstallTempFileCleanup();
  if (afterCrash) {
    if (!mlf::ShowCrashMessages(argc, argv)) return 0;
    argc = 1;  // the report's options name no file to open
  }
  mlf::PrepareWebEngine();
  mlf::CMlfApp app(argc, argv);
  if (!app.InitInstance()) {
    int code = app.ExitInstance();
    return app.IsRegistrationRun() ? code : 1;
  }
  mlf::StartScriptedRun(*app.MainFrame());
  mlf::StartTestFaults();
  app.exec();
  return app.ExitInstance();
}
