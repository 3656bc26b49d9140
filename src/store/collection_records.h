// The records of a document's collections: node keywords, bookmarks and tasks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mlf {

struct MLFNODEKEYWORDS {
  uint32_t nNodeId = 0;
  std::vector<uint32_t> ids;  // keyword ids in the order the user gave them
};

struct MLFBOOKMARK {
  uint32_t nId = 0;
  uint32_t nNode = 0;  // the node the bookmark opens
  uint32_t nReservedA = 0;
  uint32_t nReservedB = 0;
  std::string strName;
};

enum TaskFlagBits : uint32_t {
  kTaskAttached = 2,  // the task is attached to a node
};

enum TaskPriority : uint8_t {
  kPriorityIdle = 1,
  kPriorityLow = 2,
  kPriorityNormal = 3,
  kPriorityHigh = 4,
  kPriorityUrgent = 5,
};

// "Idle" to "Urgent"; "Unknown" for any other value.
const char* PriorityName(uint8_t priority);

struct MLFTASK {
  uint32_t nId = 0;
  std::string strTitle;
  uint32_t nFlags = 0;
  uint32_t nCreated = 0;  // seconds since 1970 UTC
  uint32_t nStart = 0;
  uint32_t nDue = 0;
  uint8_t nPriority = 0;
  uint8_t nReserved1 = 0;
  uint8_t nReserved2 = 0;
  uint32_t nReserved3 = 0;
  uint32_t nNode = 0;  // 0 = none
  uint32_t nReserved4 = 0;
  uint32_t nReserved5 = 0;
  std::string strNotes;
};

}  // namespace mlf
