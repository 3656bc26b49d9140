// The node record and its stream location, exactly as the note file keeps them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/tree_picture.h"

namespace mlf {

enum NodeType : uint8_t {
  ntFolder = 0,
  ntNote = 1,  // rich text (RTF)
  ntImage = 3,
  ntHtml = 4,
  ntForeign = 6,  // any file, kept as bytes
};

enum NodeFlags : uint32_t {
  kNodeCompressed = 1,
  kNodeEncrypted = 2,
};

// The title a new node of the type gets, or null for codes that are never created.
const char* DefaultTitle(uint8_t type);
// The tree picture of the type (the first of the list for unknown codes).
TreeImage DefaultImage(uint8_t type);
// Types 1, 3, 4 and 6 keep their content in a stream.
bool HasContentType(uint8_t type);

struct NTV {
  uint32_t nLoc = 0;  // the stream's offset in the file; the live location is in DATALOC
  uint8_t nType = ntFolder;
  uint8_t nReserved1 = 0;
  uint16_t nIcon = 0;
  uint32_t nIndex = 0;  // node id
  uint32_t nParent = 0;  // 0 = top level
  uint32_t nFlags = 0;
  uint32_t nStorageLength = 0;
  uint32_t nRawLength = 0;
  uint32_t nKeyLength = 0;
  uint32_t nHashType = 0;   // key derivation
  uint32_t nCryptType = 0;  // cipher
  uint32_t nTestLength = 0;
  std::array<uint32_t, 5> nReserved{};
  uint32_t nDataCRC = 0;      // of the plain content; 0 = none recorded
  uint32_t nFileDataCRC = 0;  // of the stored bytes; 0 = none recorded
  std::string strTitle;       // bytes as stored
};

// Where a node's stored bytes are: in the data file, or in the work file when written since
// the last save.
struct DATALOC {
  uint32_t bHasData = 0;
  uint32_t bInWorkFile = 0;
  uint32_t nReserved = 0;
  uint32_t nLoc = 0;
};

}  // namespace mlf
