#include "crypt/crypt_dll_handler.h"

#include <limits>

#include "crypt/module_cipher.h"
#include "platform/app_folders.h"
#include "platform/path.h"

namespace mlf {
namespace {

// The log names the module as on Windows, whatever the platform's file name.
constexpr const char* kLoadingText = "Calling LoadLibrary(\"mlfcrypt.dll\")...";
constexpr const char* kUnloadingText = "Unloading mlfcrypt.dll...";

// Guards against a module whose "next" ids never reach 0.
constexpr size_t kMaxListedAlgorithms = 256;

using InfoFunction = decltype(&mlfcrypt_11);

std::vector<CryptAlgorithmInfo> ListAlgorithms(uint32_t firstId, InfoFunction describe) {
  std::vector<CryptAlgorithmInfo> list;
  for (uint32_t id = firstId; id != 0 && list.size() < kMaxListedAlgorithms;) {
    char name[MLFCRYPT_NAME_SIZE] = {};
    MlfCryptInfo info{};
    info.name = name;
    info.nameSize = sizeof(name);
    if (!describe(&id, &info)) break;
    name[sizeof(name) - 1] = '\0';
    list.push_back({info.id, info.minKeyLength, info.maxKeyLength, info.defaultKeyLength, name});
  }
  return list;
}

// The module takes 32-bit lengths; longer texts cannot be passwords.
bool FitsModule(size_t length) { return length <= std::numeric_limits<uint32_t>::max(); }

}  // namespace

CCryptDLLHandler::CCryptDLLHandler(CLog& log) : m_log(log) {}

const char* CCryptDLLHandler::ModuleFileName() {
#ifdef _WIN32
  return "mlfcrypt.dll";
#else
  return "libmlfcrypt.so";
#endif
}

bool CCryptDLLHandler::Load(Env& env) { return LoadFrom(env, LocateAppFolders(env).modules); }

bool CCryptDLLHandler::LoadFrom(Env& env, const std::string& folder) {
  m_log.Write(kLoadingText);
  m_module = ResolveCryptModule(env.LoadLibrary(JoinPath(folder, ModuleFileName())));
  m_log.WriteLine(m_module ? "Done." : "FAILED.");
  return m_module != nullptr;
}

void CCryptDLLHandler::Unload() {
  m_log.Write(kUnloadingText);
  m_module.reset();
  m_log.WriteLine("Done.");
}

uint32_t CCryptDLLHandler::MaxKeyLength() const { return m_module ? m_module->maxKeyLength() : 0; }

bool CCryptDLLHandler::IsCipherSupported(uint32_t cipher) const {
  return m_module && m_module->isCipherSupported(cipher) != 0;
}

uint32_t CCryptDLLHandler::DefaultCipher() const { return m_module ? m_module->defaultCipher() : 0; }

uint32_t CCryptDLLHandler::DefaultKeyDerivation() const {
  return m_module ? m_module->defaultKeyDerivation() : 0;
}

std::vector<CryptAlgorithmInfo> CCryptDLLHandler::Ciphers() const {
  if (!m_module) return {};
  return ListAlgorithms(m_module->firstCipher(), m_module->cipherInfo);
}

std::vector<CryptAlgorithmInfo> CCryptDLLHandler::KeyDerivations() const {
  if (!m_module) return {};
  return ListAlgorithms(m_module->firstKeyDerivation(), m_module->keyDerivationInfo);
}

SecureBytes CCryptDLLHandler::DeriveKey(uint32_t keyDerivation, std::string_view password,
                                        uint32_t keyLength) const {
  if (!m_module || keyLength == 0 || !FitsModule(password.size())) return {};
  SecureBytes key(keyLength);
  if (!m_module->deriveKey(keyDerivation, password.data(), static_cast<uint32_t>(password.size()), key.data(),
                           keyLength))
    return {};
  return key;
}

std::unique_ptr<Cipher> CCryptDLLHandler::MakeEncryptor(uint32_t cipher, const SecureBytes& key) const {
  if (!m_module || !FitsModule(key.size())) return nullptr;
  return WrapObject(m_module->makeEncryptor(cipher, key.data(), static_cast<uint32_t>(key.size())));
}

std::unique_ptr<Cipher> CCryptDLLHandler::MakeDecryptor(uint32_t cipher, const SecureBytes& key) const {
  if (!m_module || !FitsModule(key.size())) return nullptr;
  return WrapObject(m_module->makeDecryptor(cipher, key.data(), static_cast<uint32_t>(key.size())));
}

std::unique_ptr<Cipher> CCryptDLLHandler::WrapObject(MlfCryptObject* object) const {
  if (!object) return nullptr;
  return std::make_unique<ModuleCipher>(m_module, object);
}

std::vector<uint8_t> CCryptDLLHandler::PasswordBlock(std::string_view password) const {
  if (!m_module || !FitsModule(password.size())) return {};
  const auto length = static_cast<uint32_t>(password.size());
  uint32_t size = m_module->passwordBlock(password.data(), nullptr, length);
  std::vector<uint8_t> block(size, 0);
  if (size == 0 || m_module->passwordBlock(password.data(), block.data(), length) != size) return {};
  return block;
}

CCryptDLLHandler& AppCrypt() {
  static CCryptDLLHandler handler;
  return handler;
}

}  // namespace mlf
