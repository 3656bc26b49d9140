// An open node stream, in memory only.
#pragma once

#include <cstdint>

namespace mlf {

class CMarrowleafDoc;
class File;

struct MLFSTREAM {
  uint32_t nLoc = 0;          // offset of the stream in its file
  uint32_t nBytesDone = 0;    // processed so far; for a write stream at close, its stored length
  uint32_t nStorageLength = 0;
  uint32_t nRawLength = 0;
  File* hFile = nullptr;      // the data file or the work file
  uint32_t bForOutput = 0;
  uint32_t bZipped = 0;
  uint32_t bEncrypted = 0;
  uint32_t nHashType = 0;
  uint32_t nCryptType = 0;
  uint32_t nIndex = 0;        // node id
  uint32_t nDataCRC = 0;
  uint32_t nFileDataCRC = 0;
};

// What Data_OpenStream hands back: the stream id is -1 for an unknown node and 0 when a read
// stream has nothing to read.
struct MLFSTREAMHANDLE {
  int32_t nStreamId = 0;
  uint32_t nReserved = 0;
  CMarrowleafDoc* pDoc = nullptr;
};

}  // namespace mlf
