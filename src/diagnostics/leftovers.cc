#include "diagnostics/leftovers.h"

#include "diagnostics/log.h"
#include "platform/temp_files.h"

namespace mlf {

void RemoveLeftoversOfKilledRuns(CLog& log) {
  for (const std::string& path : RemoveStaleTempFiles())
    log.WriteLine("Wiped and removed a temporary file left by an earlier run: " + path);
}

}  // namespace mlf
