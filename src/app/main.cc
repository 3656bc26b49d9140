// The desktop program.
#include "app/main_frame.h"
#include "app/mlf_app.h"
#include "app/scripted_run.h"
#include "platform/temp_files.h"
#include "views/web_engine_setup.h"

int main(int argc, char** argv) {
  mlf::InstallTempFileCleanup();
  mlf::PrepareWebEngine();
  mlf::CMlfApp app(argc, argv);
  if (!app.InitInstance()) {
    int code = app.ExitInstance();
    return app.IsRegistrationRun() ? code : 1;
  }
  mlf::StartScriptedRun(*app.MainFrame());
  app.exec();
  return app.ExitInstance();
}
