#include "store/file_header.h"

#include <ctime>

namespace mlf {

SystemTime SystemTimeFromUtc(int64_t utcSeconds) {
  std::time_t t = static_cast<std::time_t>(utcSeconds);
  std::tm tm{};
#ifdef _WIN32
  gmtime_s(&tm, &t);
#else
  gmtime_r(&t, &tm);
#endif
  return {static_cast<uint16_t>(tm.tm_year + 1900), static_cast<uint16_t>(tm.tm_mon + 1),
          static_cast<uint16_t>(tm.tm_wday),        static_cast<uint16_t>(tm.tm_mday),
          static_cast<uint16_t>(tm.tm_hour),        static_cast<uint16_t>(tm.tm_min),
          static_cast<uint16_t>(tm.tm_sec),         0};
}

}  // namespace mlf
