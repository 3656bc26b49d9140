// Dates in the log in English whatever the process locale, as the C runtime's default locale
// writes them.
#pragma once

#include <cstdint>
#include <string>

namespace mlf {

// "09-Dec-26" in local time.
std::string FormatLogFileDate(int64_t utcSeconds);
// "Wednesday 09 December, 14:03:07 +0100" in local time.
std::string FormatLogHeaderTime(int64_t utcSeconds);

}  // namespace mlf
