// What a task starts with when the user makes one: priority Normal, created and started now,
// due at the same day number and clock time of the next month.
#pragma once

#include <ctime>

#include "store/collection_records.h"

namespace mlf {

// The day number and clock time of the next month in local time; a day the month lacks runs
// on into the month after (31 January is due on 3 March in a year without 29 February).
time_t SameTimeNextMonth(time_t now);

// A task record without id, title or notes, made at now.
MLFTASK NewTaskDefaults(time_t now);

}  // namespace mlf
