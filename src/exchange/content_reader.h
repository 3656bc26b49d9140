// Reads a node's content out of the document in pieces and says plainly when it could not be
// read whole: a stream that fails its checks is a failure here, never an empty success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace mlf {

class CMarrowleafDoc;

// The reasons a node's content is not delivered.
inline constexpr const char* kDamagedData = "the stored data is damaged";
inline constexpr const char* kIncorrectPassword = "incorrect password";
inline constexpr const char* kNoEncryption = "no encryption module";
inline constexpr const char* kNoPassword = "no password was given";

// Hands the content to sink piece by piece; empty when all of it was read and passed its
// checks, else the reason. An encrypted node must have its password set. Exceptions of the
// sink (a full disk) pass through.
std::string ReadNodeContent(CMarrowleafDoc& document, uint32_t nodeId,
                            const std::function<void(const char*, size_t)>& sink);

// Asks for an encrypted node's password (unless it has one for this run) and checks it before
// anything is read: empty when the node may be read, else the reason, after the user was told.
// unlockedHere says whether the password was set here, to be taken away again with LockAgain.
std::string UnlockNode(CMarrowleafDoc& document, uint32_t nodeId, bool& unlockedHere);
void LockAgain(CMarrowleafDoc& document, uint32_t nodeId);

}  // namespace mlf
