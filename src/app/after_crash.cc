#include "app/after_crash.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstring>
#include <memory>
#include <string>

#include "app/qt_prompts.h"
#include "app/recovery_offer.h"
#include "platform/crash_handler.h"
#include "platform/env.h"

namespace mlf {
namespace {

constexpr char kCaption[] = "Marrowleaf";
// Where users report faults; the log and the report are attached there.
constexpr char kSupportAddress[] = "the Marrowleaf issue tracker";

// The path after option on the command line, empty when missing.
std::string OptionValue(int argc, char** argv, const char* option) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], option) == 0) return argv[i + 1];
  return {};
}

// Answers each message box once it shows, keeping its text and picture (see the header).
void RecordMessagesTo(const QString& file) {
  auto* timer = new QTimer(qApp);
  auto shown = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [file, shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QFile record(file);
    if (record.open(QIODevice::Append)) record.write((box->text() + QStringLiteral("\n---\n")).toUtf8());
    box->grab().save(file + QStringLiteral("-%1.png").arg(++*shown));
    box->accept();
  });
  timer->start(50);
}

}  // namespace

bool IsAfterCrashRun(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], kCrashReportOption) == 0; }

bool ShowCrashMessages(int argc, char** argv) {
  std::string report = OptionValue(argc, argv, kCrashReportOption);
  std::string logPath = OptionValue(argc, argv, kCrashLogOption);
  QApplication app(argc, argv);
  if (QString record = qEnvironmentVariable("MLF_CRASH_MESSAGES_RECORD"); !record.isEmpty())
    RecordMessagesTo(record);
  QtPrompts prompts;
  prompts.Message("A fatal error has occurred.\n\nMarrowleaf will now exit.", kCaption, MessageIcon::Stop,
                  MessageButtons::Ok);
  prompts.Message(std::string("To help prevent this error from occurring again, please send the following log "
                              "files to ") +
                      kSupportAddress +
                      ". Any personal information within the files will be kept in strict confidence.\n\n'" +
                      logPath + "'\n'" + report + "'\n\nThank you.",
                  kCaption, MessageIcon::Information, MessageButtons::Ok);
  // The documents the crashed run had modified are in its recovery files: a normal start
  // offers them.
  return !PendingRecoveryFiles(Env::Default()).empty();
}

}  // namespace mlf
