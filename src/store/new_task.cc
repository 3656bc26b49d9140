#include "store/new_task.h"

namespace mlf {

time_t SameTimeNextMonth(time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_mon += 1;  // mktime normalises December into January and an overflowing day
  local.tm_isdst = -1;
  return std::mktime(&local);
}

MLFTASK NewTaskDefaults(time_t now) {
  MLFTASK task;
  task.nPriority = kPriorityNormal;
  task.nCreated = task.nStart = uint32_t(now);
  task.nDue = uint32_t(SameTimeNextMonth(now));
  return task;
}

}  // namespace mlf
