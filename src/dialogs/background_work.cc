#include "dialogs/background_work.h"

#include <QEventLoop>
#include <exception>
#include <thread>

#include "widgets/mlf_status.h"
#include "widgets/wait_cursor.h"

namespace mlf {

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
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  return result;
}

}  // namespace mlf
