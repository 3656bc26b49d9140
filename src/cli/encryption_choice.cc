#include "cli/encryption_choice.h"

#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "crypt/crypt_dll_handler.h"
#include "platform/env.h"
#include "platform/text_case.h"

namespace mlf::cli {
namespace {

// The id of the algorithm the word names, 0 when none does.
uint32_t FindAlgorithm(const std::vector<CryptAlgorithmInfo>& list, const std::string& word) {
  std::string folded = LowerUtf8(word);
  for (const CryptAlgorithmInfo& info : list)
    if (folded == AlgorithmWord(info.name) || folded == LowerUtf8(info.name) || word == std::to_string(info.id))
      return info.id;
  return 0;
}

bool ReadOne(const Options& options, const char* flag, const std::vector<CryptAlgorithmInfo>& list, uint32_t& id) {
  std::optional<std::string> word = options.Value(flag);
  if (!word) return true;
  if ((id = FindAlgorithm(list, *word))) return true;
  std::cerr << flag << " " << *word << ": the encryption module has no such "
            << (std::string(flag) == "--cipher" ? "cipher" : "key derivation") << " (mlf passwd --help lists them)\n";
  return false;
}

void PrintList(std::ostream& out, const std::vector<CryptAlgorithmInfo>& list, uint32_t defaultId, bool keys) {
  for (const CryptAlgorithmInfo& info : list) {
    out << "  " << std::left << std::setw(20) << AlgorithmWord(info.name) << info.name;
    if (keys) out << ", " << info.defaultKeyLength * 8 << "-bit key";
    out << (info.id == defaultId ? " (the default)" : "") << "\n";
  }
}

}  // namespace

std::string AlgorithmWord(const std::string& name) { return LowerUtf8(name.substr(0, name.find(' '))); }

std::optional<EncryptionSettings> ReadEncryptionOptions(const Options& options, const CryptProvider& crypt) {
  EncryptionSettings chosen;
  if (!ReadOne(options, "--cipher", crypt.Ciphers(), chosen.cipher) ||
      !ReadOne(options, "--kdf", crypt.KeyDerivations(), chosen.keyDerivation))
    return std::nullopt;
  return chosen;
}

EncryptionSettings SettingsForNewPassword(const EncryptionSettings& chosen, const EncryptionSettings& current,
                                          const CryptProvider& crypt) {
  EncryptionSettings settings;
  settings.cipher = chosen.cipher ? chosen.cipher : current.cipher ? current.cipher : crypt.DefaultCipher();
  settings.keyDerivation = chosen.keyDerivation   ? chosen.keyDerivation
                           : current.keyDerivation ? current.keyDerivation
                                                   : crypt.DefaultKeyDerivation();
  settings.keyLength = settings.cipher == current.cipher ? current.keyLength : 0;
  for (const CryptAlgorithmInfo& info : crypt.Ciphers())
    if (info.id == settings.cipher &&
        (settings.keyLength < info.minKeyLength || settings.keyLength > info.maxKeyLength || !settings.keyLength))
      settings.keyLength = info.defaultKeyLength;
  return settings;
}

void PrintEncryptionChoices(std::ostream& out) {
  CCryptDLLHandler& crypt = AppCrypt();
  bool loadedHere = !crypt.IsAvailable() && crypt.Load(Env::Default());
  if (!crypt.IsAvailable()) {
    out << "\nThe encryption module could not be loaded: no cipher can be chosen.\n";
    return;
  }
  out << "\nCiphers (--cipher):\n";
  PrintList(out, crypt.Ciphers(), crypt.DefaultCipher(), true);
  out << "Key derivations (--kdf):\n";
  PrintList(out, crypt.KeyDerivations(), crypt.DefaultKeyDerivation(), false);
  if (loadedHere) crypt.Unload();
}

}  // namespace mlf::cli
