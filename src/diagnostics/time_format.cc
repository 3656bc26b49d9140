#include "diagnostics/time_format.h"

#include <cstdio>
#include <ctime>

namespace mlf {
namespace {

constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

bool LocalTime(int64_t utcSeconds, std::tm& out) {
  std::time_t t = static_cast<std::time_t>(utcSeconds);
#ifdef _WIN32
  return localtime_s(&out, &t) == 0;
#else
  return localtime_r(&t, &out) != nullptr;
#endif
}

long UtcOffsetSeconds(const std::tm& local, int64_t utcSeconds) {
#ifdef _WIN32
  long bias = 0;
  _get_timezone(&bias);
  return -bias + (local.tm_isdst > 0 ? 3600 : 0);
#else
  return local.tm_gmtoff;
#endif
}

}  // namespace

std::string FormatLogFileDate(int64_t utcSeconds) {
  std::tm tm{};
  if (!LocalTime(utcSeconds, tm)) return "00-Jan-00";
  char text[16];
  std::snprintf(text, sizeof text, "%02d-%.3s-%02d", tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year % 100);
  return text;
}

std::string FormatLogHeaderTime(int64_t utcSeconds) {
  std::tm tm{};
  if (!LocalTime(utcSeconds, tm)) return {};
  long offset = UtcOffsetSeconds(tm, utcSeconds);
  char sign = offset < 0 ? '-' : '+';
  if (offset < 0) offset = -offset;
  char text[128];
  std::snprintf(text, sizeof text, "%s %02d %s, %02d:%02d:%02d %c%02ld%02ld", kDays[tm.tm_wday], tm.tm_mday,
                kMonths[tm.tm_mon], tm.tm_hour, tm.tm_min, tm.tm_sec, sign, offset / 3600, (offset / 60) % 60);
  return text;
}

}  // namespace mlf
