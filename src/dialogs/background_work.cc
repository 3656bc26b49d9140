#include "dialogs/background_work.h"

#include <QEventLoop>
#include <exception>
#include <thread>

#include "widgets/mlf_status.h"
#include "widgets/wait_cursor.h"

namespace mlf {
namespace {

int g_running = 0;  // GUI thread only

}  // namespace

bool BackgroundWorkRunning() { return g_running > 0; }

bool RunInBackground(const std::string& statusText, const std::function<bool()>& work) {
  WaitCursor wait;
  CMlfStatus status(statusText);
  status.BeginProgress(0);
  QEventLoop loop;
  bool result = false;
  std::thread worker([&] {
    try {
      result = work();
    } catch (const std::exception&) {
      result = false;
    }
    // Queued: a quit posted before the loop runs is delivered once it does.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  ++g_running;
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  --g_running;
  return result;
}

}  // namespace mlf
