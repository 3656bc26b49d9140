#pragma once

#include <cstdint>

namespace mlf {

class CMarrowleafDoc;
class Cipher;

// Converts a node's stored bytes to a new key, or to or from no key, without decompressing:
// the old bytes are decrypted with oldDecryptor (when the node is encrypted) and encrypted
// with newEncryptor (when given) into a new stream in the work file. The content and its CRC
// stay as they are. newTestLength receives the new test block's length (0 without a new
// encryptor). False when the old bytes cannot be read.
bool ReencryptStream(CMarrowleafDoc& document, uint32_t nodeId, Cipher* newEncryptor, Cipher* oldDecryptor,
                     uint32_t& newTestLength);

}  // namespace mlf
