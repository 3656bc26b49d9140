#include "store/collection_records.h"

namespace mlf {

const char* PriorityName(uint8_t priority) {
  switch (priority) {
    case kPriorityIdle: return "Idle";
    case kPriorityLow: return "Low";
    case kPriorityNormal: return "Normal";
    case kPriorityHigh: return "High";
    case kPriorityUrgent: return "Urgent";
    default: return "Unknown";
  }
}

}  // namespace mlf
