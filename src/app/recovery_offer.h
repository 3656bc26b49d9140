// The start-up offer of the recovery files a run left behind when it ended without closing
// its documents (a crash, a kill, a power cut).
#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace mlf {

class CMainFrame;
class Env;

enum class RecoveryChoice { Recover, Keep, Discard };

// The question for one recovery file, naming its document and the time of the last autosave.
using RecoveryQuestion = std::function<RecoveryChoice(const QString& name, const QDateTime& autosaved)>;
RecoveryChoice AskAboutRecovery(const QString& name, const QDateTime& autosaved);

// The recovery files in the recovery folder that no running copy of the program is writing.
std::vector<std::string> PendingRecoveryFiles(Env& env);

// For each of PendingRecoveryFiles: an encrypted one first asks for the file
// password; then the user is asked. Recover shows the recovered document in a new window and
// runs Save As for it (the recovery file goes once that saved); Keep leaves the file for the
// next start; Discard deletes it. A file that cannot be used (damaged, or the saved file it
// needs changed or gone) is reported and renamed "<name>.damaged". Files of another running
// copy of the program are left alone; those of this process's parent are not: a program that
// crashed starts its successor and may not have ended yet when the successor asks. Returns the
// number of documents recovered.
int OfferRecovery(CMainFrame& main, Env& env, const RecoveryQuestion& ask = AskAboutRecovery);

}  // namespace mlf
