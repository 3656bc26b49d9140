// The handler with the real module: loading and its log lines, the module absent or
// incomplete, and the stored format (keys, IV, test block) checked against OpenSSL itself.
#include "crypt/crypt_dll_handler.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <numeric>
#include <string>
#include <vector>

#include "module_loader.h"
#include "platform/fault_env.h"
#include "platform/mem_env.h"
#include "platform/path.h"
#include "support/scratch_dir.h"

namespace mlf {
namespace {

using Bytes = std::vector<uint8_t>;

// The stored format, spelt out independently of the module.
Bytes Labelled(std::string_view label, uint32_t id) {
  Bytes message(label.begin(), label.end());
  for (int shift = 0; shift < 32; shift += 8) message.push_back(static_cast<uint8_t>(id >> shift));
  return message;
}

Bytes HmacSha256(const SecureBytes& key, const Bytes& message) {
  Bytes out(32);
  unsigned length = 0;
  HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), message.data(), message.size(), out.data(), &length);
  return out;
}

Bytes ReferenceCbc(const EVP_CIPHER* cipher, const SecureBytes& key, Bytes data, bool encrypt) {
  Bytes iv = HmacSha256(key, Labelled("Marrowleaf mlfcrypt iv v1", 0));
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int written = 0;
  EXPECT_EQ(EVP_CipherInit_ex(context, cipher, nullptr, key.data(), iv.data(), encrypt), 1);
  EVP_CIPHER_CTX_set_padding(context, 0);
  EXPECT_EQ(EVP_CipherUpdate(context, data.data(), &written, data.data(), static_cast<int>(data.size())), 1);
  EVP_CIPHER_CTX_free(context);
  return data;
}

SecureBytes ReferenceKey(uint32_t derivation, std::string_view password, size_t length) {
  Bytes salt = Labelled("Marrowleaf mlfcrypt key salt v1", derivation);
  SecureBytes key(length);
  if (derivation == MLFCRYPT_KD_SCRYPT)
    EXPECT_EQ(EVP_PBE_scrypt(password.data(), password.size(), salt.data(), salt.size(), 1 << 15, 8, 1, 64 << 20,
                             key.data(), length), 1);
  else
    EXPECT_EQ(PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt.data(),
                                static_cast<int>(salt.size()), 600000, EVP_sha256(), static_cast<int>(length),
                                key.data()), 1);
  return key;
}

Bytes Pattern(size_t size) {
  Bytes data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 131 + (i >> 8));
  return data;
}

SecureBytes FixedKey(size_t length) {
  SecureBytes key(length);
  std::iota(key.begin(), key.end(), uint8_t{0x40});
  return key;
}

Bytes Process(Cipher& cipher, Bytes data) {
  cipher.Process(data.data(), data.size());
  return data;
}

// Forwards to the real system but hides one entry point of every library it loads.
class MissingEntryPointEnv : public FaultEnv {
 public:
  explicit MissingEntryPointEnv(std::string hidden) : FaultEnv(Env::Default()), m_hidden(std::move(hidden)) {}
  std::unique_ptr<DynamicLibrary> LoadLibrary(const std::string& path) override {
    auto library = Env::Default().LoadLibrary(path);
    return library ? std::make_unique<Filtered>(std::move(library), m_hidden) : nullptr;
  }

 private:
  struct Filtered : DynamicLibrary {
    Filtered(std::unique_ptr<DynamicLibrary> real, std::string hidden)
        : real(std::move(real)), hidden(std::move(hidden)) {}
    void* Symbol(const char* name) override { return name == hidden ? nullptr : real->Symbol(name); }
    std::unique_ptr<DynamicLibrary> real;
    std::string hidden;
  };
  std::string m_hidden;
};

class CryptDllHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override { log.Open(); }
  // What the handler wrote after the log's start header.
  std::string Logged() {
    std::string all = logEnv.GetFile(log.GetFilePath());
    return all.substr(all.find("\r\n\r\n", all.find("BEGIN LOG")) + 4);
  }
  void LoadBuiltModule() { ASSERT_TRUE(handler.Load(Env::Default())) << test::BuiltCryptModulePath(); }

  MemEnv logEnv;
  CLog log{logEnv};
  CCryptDLLHandler handler{log};
};

TEST_F(CryptDllHandlerTest, LoadsFromTheExecutablesFolderAndUnloadsWithItsLogLines) {
  LoadBuiltModule();
  EXPECT_TRUE(handler.IsLoaded());
  EXPECT_TRUE(handler.IsAvailable());
  EXPECT_EQ(handler.MaxKeyLength(), 32u);
  handler.Unload();
  EXPECT_FALSE(handler.IsAvailable());
  EXPECT_EQ(Logged(), "Calling LoadLibrary(\"mlfcrypt.dll\")...Done.\r\nUnloading mlfcrypt.dll...Done.\r\n");
}

void ExpectUnavailable(const CCryptDLLHandler& handler) {
  EXPECT_FALSE(handler.IsLoaded());
  EXPECT_FALSE(handler.IsAvailable());
  EXPECT_EQ(handler.Module(), nullptr);
  EXPECT_EQ(handler.MaxKeyLength(), 0u);
  EXPECT_FALSE(handler.IsCipherSupported(MLFCRYPT_CIPHER_AES256_CBC));
  EXPECT_EQ(handler.DefaultCipher(), 0u);
  EXPECT_EQ(handler.DefaultKeyDerivation(), 0u);
  EXPECT_TRUE(handler.Ciphers().empty());
  EXPECT_TRUE(handler.KeyDerivations().empty());
  EXPECT_TRUE(handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "pw", 32).empty());
  EXPECT_EQ(handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, FixedKey(32)), nullptr);
  EXPECT_EQ(handler.MakeDecryptor(MLFCRYPT_CIPHER_AES256_CBC, FixedKey(32)), nullptr);
  EXPECT_TRUE(handler.PasswordBlock("pw").empty());
}

TEST_F(CryptDllHandlerTest, WithoutTheModuleEncryptionIsUnavailable) {
  test::ScratchDir emptyFolder;
  EXPECT_FALSE(handler.LoadFrom(Env::Default(), emptyFolder.path()));
  ExpectUnavailable(handler);
  ExpectUnavailable(CCryptDLLHandler(log));  // never loaded
  EXPECT_EQ(Logged(), "Calling LoadLibrary(\"mlfcrypt.dll\")...FAILED.\r\n");
}

TEST_F(CryptDllHandlerTest, AModuleLackingAnEntryPointIsNotLoaded) {
  for (const char* hidden : {"mlfcrypt_1", "mlfcrypt_13", "mlfcrypt_22"}) {
    SCOPED_TRACE(hidden);
    MissingEntryPointEnv env(hidden);
    EXPECT_FALSE(handler.Load(env));
    ExpectUnavailable(handler);
  }
  EXPECT_EQ(Logged().find("Done."), std::string::npos);
}

TEST_F(CryptDllHandlerTest, ListsCiphersAndKeyDerivations) {
  LoadBuiltModule();
  auto ciphers = handler.Ciphers();
  ASSERT_EQ(ciphers.size(), 3u);
  EXPECT_EQ(ciphers[0].id, handler.DefaultCipher());
  EXPECT_EQ(ciphers[0].name, "AES-256 (CBC)");
  EXPECT_EQ(ciphers[2].name, "Camellia-256 (CBC)");
  EXPECT_EQ(ciphers[1].maxKeyLength, 16u);
  auto derivations = handler.KeyDerivations();
  ASSERT_EQ(derivations.size(), 2u);
  EXPECT_EQ(derivations[0].id, handler.DefaultKeyDerivation());
  EXPECT_EQ(derivations[1].name, "PBKDF2-HMAC-SHA256 (600000 iterations)");
}

struct CipherCase {
  uint32_t id;
  const EVP_CIPHER* (*evp)();
  size_t keyLength;
};
const CipherCase kCipherCases[] = {
    {MLFCRYPT_CIPHER_AES256_CBC, EVP_aes_256_cbc, 32},
    {MLFCRYPT_CIPHER_AES128_CBC, EVP_aes_128_cbc, 16},
    {MLFCRYPT_CIPHER_CAMELLIA256_CBC, EVP_camellia_256_cbc, 32},
};

TEST_F(CryptDllHandlerTest, CiphersAndTestBlocksMatchOpenSsl) {
  LoadBuiltModule();
  const Bytes plain = Pattern(4096);
  for (const CipherCase& c : kCipherCases) {
    SCOPED_TRACE(c.id);
    SecureBytes key = FixedKey(c.keyLength);
    auto encryptor = handler.MakeEncryptor(c.id, key);
    auto decryptor = handler.MakeDecryptor(c.id, key);
    ASSERT_TRUE(encryptor && decryptor);
    EXPECT_EQ(encryptor->BlockSize(), 16u);
    Bytes encrypted = Process(*encryptor, plain);
    EXPECT_EQ(encrypted, ReferenceCbc(c.evp(), key, plain, true));
    EXPECT_EQ(Process(*decryptor, encrypted), plain);
    EXPECT_EQ(encryptor->TestBlockLength(), 32u);
    EXPECT_EQ(encryptor->TestBlock(), HmacSha256(key, Labelled("Marrowleaf mlfcrypt test block v1", c.id)));
    EXPECT_EQ(decryptor->TestBlock(), encryptor->TestBlock());
  }
}

TEST_F(CryptDllHandlerTest, ACipherChainsAcrossPieces) {
  LoadBuiltModule();
  const SecureBytes key = FixedKey(32);
  const Bytes plain = Pattern(16 * 300);
  const Bytes whole = Process(*handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, key), plain);
  const size_t pieces[][4] = {{16, 16, 4768, 0}, {2048, 2048, 672, 32}, {4784, 16, 0, 0}};
  for (const auto& sizes : pieces) {
    auto encryptor = handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, key);
    auto decryptor = handler.MakeDecryptor(MLFCRYPT_CIPHER_AES256_CBC, key);
    Bytes data = plain;
    for (size_t offset = 0, i = 0; i < 4; offset += sizes[i++]) encryptor->Process(data.data() + offset, sizes[i]);
    EXPECT_EQ(data, whole) << sizes[0];
    // Decrypted in other pieces than it was encrypted in.
    for (size_t offset = 0; offset < data.size(); offset += 1600) decryptor->Process(data.data() + offset, 1600);
    EXPECT_EQ(data, plain) << sizes[0];
  }
}

TEST_F(CryptDllHandlerTest, KeysMatchOpenSslAndDependOnEverythingTheyShould) {
  LoadBuiltModule();
  SecureBytes scrypt = handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "correct horse", 32);
  SecureBytes pbkdf2 = handler.DeriveKey(MLFCRYPT_KD_PBKDF2_SHA256, "correct horse", 32);
  EXPECT_EQ(scrypt, ReferenceKey(MLFCRYPT_KD_SCRYPT, "correct horse", 32));
  EXPECT_EQ(pbkdf2, ReferenceKey(MLFCRYPT_KD_PBKDF2_SHA256, "correct horse", 32));
  EXPECT_NE(scrypt, pbkdf2);
  EXPECT_NE(handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "correct horsf", 32), scrypt);
  EXPECT_EQ(handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "", 16).size(), 16u) << "the empty password is a password";
  EXPECT_TRUE(handler.DeriveKey(0x0203, "correct horse", 32).empty());
  EXPECT_TRUE(handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "correct horse", 0).empty());
}

TEST_F(CryptDllHandlerTest, TestBlockTellsPasswordsAndCiphersApart) {
  LoadBuiltModule();
  auto testBlock = [&](const char* password, uint32_t cipher) {
    auto encryptor = handler.MakeEncryptor(cipher, handler.DeriveKey(MLFCRYPT_KD_SCRYPT, password, 32));
    return encryptor ? encryptor->TestBlock() : Bytes();
  };
  Bytes right = testBlock("right", MLFCRYPT_CIPHER_AES256_CBC);
  EXPECT_EQ(right.size(), 32u);
  EXPECT_EQ(testBlock("right", MLFCRYPT_CIPHER_AES256_CBC), right);
  EXPECT_NE(testBlock("wrong", MLFCRYPT_CIPHER_AES256_CBC), right);
  EXPECT_NE(testBlock("right", MLFCRYPT_CIPHER_CAMELLIA256_CBC), right);
}

TEST_F(CryptDllHandlerTest, PasswordBlockIsDeterministicAndIndependentOfTheKey) {
  LoadBuiltModule();
  Bytes block = handler.PasswordBlock("file password");
  ASSERT_EQ(block.size(), 32u);
  EXPECT_EQ(handler.PasswordBlock("file password"), block);
  EXPECT_NE(handler.PasswordBlock("file passwore"), block);
  SecureBytes key = handler.DeriveKey(MLFCRYPT_KD_SCRYPT, "file password", 32);
  EXPECT_FALSE(std::equal(block.begin(), block.end(), key.begin(), key.end()));
}

TEST_F(CryptDllHandlerTest, RefusedDataIsZeroedRatherThanLeftInPlainText) {
  LoadBuiltModule();
  auto encryptor = handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, FixedKey(32));
  Bytes data = Pattern(40);
  encryptor->Process(data.data(), data.size());
  EXPECT_EQ(data, Bytes(40, 0));
}

TEST_F(CryptDllHandlerTest, WrongKeysGiveNoCipher) {
  LoadBuiltModule();
  EXPECT_EQ(handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, FixedKey(16)), nullptr);
  EXPECT_EQ(handler.MakeDecryptor(MLFCRYPT_CIPHER_AES128_CBC, FixedKey(32)), nullptr);
  EXPECT_EQ(handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, SecureBytes()), nullptr);
  EXPECT_FALSE(handler.IsCipherSupported(0));
}

TEST_F(CryptDllHandlerTest, ACipherOutlivesUnloading) {
  LoadBuiltModule();
  auto encryptor = handler.MakeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, FixedKey(32));
  handler.Unload();
  EXPECT_EQ(Process(*encryptor, Pattern(32)), ReferenceCbc(EVP_aes_256_cbc(), FixedKey(32), Pattern(32), true));
}

}  // namespace
}  // namespace mlf
