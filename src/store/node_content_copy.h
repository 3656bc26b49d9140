#pragma once

#include <cstdint>

namespace mlf {

class CMarrowleafDoc;

// Copies a node's stored bytes unchanged (still compressed and, if so, still encrypted) from
// the source document to the end of the target's work file, and points the target node's
// location at them. False when the bytes cannot be read or written.
bool CopyStoredContent(CMarrowleafDoc& source, uint32_t sourceId, CMarrowleafDoc& target, uint32_t targetId);

}  // namespace mlf
