#pragma once

#include <memory>

#include "crypt/crypt_provider.h"
#include "store/node_record.h"

namespace mlf {

enum class CipherDirection { Encrypt, Decrypt };

// Derives the key from the password with the key derivation into keyLength bytes and makes a
// cipher for it; null when encryption cannot serve the node. The key is wiped on return.
std::unique_ptr<Cipher> MakeCipher(const CryptProvider& crypt, CipherDirection direction, uint32_t cipher,
                                   uint32_t keyDerivation, uint32_t keyLength, const SecureString& password);

class CMarrowleafDoc;

// The same for a node record's cipher, key derivation and key length, with the document's
// encryption and the password it holds for the node in this run.
std::unique_ptr<Cipher> MakeNodeCipher(const CMarrowleafDoc& document, CipherDirection direction, const NTV& record);

// Encrypts bytes after padding them with zeros to a multiple of the block size.
void PadAndEncrypt(Cipher& cipher, std::vector<uint8_t>& bytes);

}  // namespace mlf
