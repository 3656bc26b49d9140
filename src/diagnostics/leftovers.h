// Start-up care for what a killed earlier run left in the temporary folder.
#pragma once

namespace mlf {

class CLog;

// Wipes and removes this user's temporary files that no running process holds, one log line
// for each. Called by each program once its log is open.
void RemoveLeftoversOfKilledRuns(CLog& log);

}  // namespace mlf
