// Asks for the password of an encrypted node until it is right or the question is cancelled.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/secure_memory.h"

namespace mlf {

class CMarrowleafDoc;

// The verified password, or nothing when the user cancelled.
std::optional<SecureString> AskNodePasswordUntilRight(CMarrowleafDoc& document, uint32_t nodeId);

}  // namespace mlf
