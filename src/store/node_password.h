#pragma once

#include <cstdint>

#include "platform/secure_memory.h"

namespace mlf {

class CMarrowleafDoc;

// True when the password makes the node's stored test block: its key derivation and cipher
// must produce exactly the bytes that start the node's stream.
bool VerifyNodePassword(CMarrowleafDoc& document, uint32_t nodeId, const SecureString& password);

}  // namespace mlf
