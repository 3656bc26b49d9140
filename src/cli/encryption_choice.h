// The cipher and key derivation a new password is set with, for passwd and lock: named with
// --cipher and --kdf, else kept from the current settings, else the encryption module's defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/options.h"
#include "crypt/crypt_provider.h"

namespace mlf::cli {

struct EncryptionSettings {
  uint32_t cipher = 0;  // 0: nothing is encrypted
  uint32_t keyLength = 0;
  uint32_t keyDerivation = 0;
};

// The ids --cipher and --kdf name (0 where the option is not given); none after telling why (a
// name the module does not know). A name is the module's, or its first word, in any case, or
// the id itself.
std::optional<EncryptionSettings> ReadEncryptionOptions(const Options& options, const CryptProvider& crypt);

// What a new password is set with: the chosen cipher and key derivation over the current ones,
// the module's defaults where neither has one; a key length the cipher does not take, or a new
// cipher's, becomes the cipher's default.
EncryptionSettings SettingsForNewPassword(const EncryptionSettings& chosen, const EncryptionSettings& current,
                                          const CryptProvider& crypt);

// The word an algorithm is named by on the command line: the first of the module's name, in
// lower case ("AES-256 (CBC)" is aes-256).
std::string AlgorithmWord(const std::string& name);

// The ciphers and key derivations the module offers, by the names the options take.
void PrintEncryptionChoices(std::ostream& out);

}  // namespace mlf::cli
