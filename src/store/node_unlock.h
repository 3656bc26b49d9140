// Opening an encrypted node for reading: the encryption module must serve its cipher and key
// length, and the user must give its password.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/secure_memory.h"

namespace mlf {

class CMarrowleafDoc;

// False, after telling the user ("You cannot access this encrypted node..."), when encryption
// cannot serve the node.
bool CanAccessEncryptedNode(CMarrowleafDoc& document, uint32_t nodeId);

// Asks for the node's password and checks it against the node's test block; empty when the
// user cancelled or the password is wrong (the user was told).
std::optional<SecureString> AskNodePassword(CMarrowleafDoc& document, uint32_t nodeId);

}  // namespace mlf
