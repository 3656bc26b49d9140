// The module's C interface called directly: enumeration, limits and what it does with null
// pointers and wrong sizes.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "module_loader.h"

namespace mlf {
namespace {

class ModuleAbiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { s_module = test::LoadBuiltCryptModule(); }
  static void TearDownTestSuite() { s_module.reset(); }
  void SetUp() override { ASSERT_NE(s_module, nullptr); }
  const CryptModule& m() { return *s_module; }

  MlfCryptObject* Aes256Encryptor() {
    return m().makeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, key.data(), static_cast<uint32_t>(key.size()));
  }

  std::array<uint8_t, 32> key{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  static std::shared_ptr<const CryptModule> s_module;
};

std::shared_ptr<const CryptModule> ModuleAbiTest::s_module;

struct Listed {
  uint32_t id, minKey, maxKey, defaultKey;
  std::string name;
};

std::vector<Listed> Enumerate(uint32_t first, decltype(&mlfcrypt_11) describe) {
  std::vector<Listed> list;
  for (uint32_t id = first; id != 0 && list.size() < 16;) {
    char name[MLFCRYPT_NAME_SIZE];
    MlfCryptInfo info{0, 0, 0, 0, name, sizeof(name)};
    EXPECT_EQ(describe(&id, &info), 1u);
    list.push_back({info.id, info.minKeyLength, info.maxKeyLength, info.defaultKeyLength, name});
  }
  return list;
}

TEST_F(ModuleAbiTest, EnumeratesCiphersThenEndsWithZero) {
  auto ciphers = Enumerate(m().firstCipher(), m().cipherInfo);
  ASSERT_EQ(ciphers.size(), 3u);
  struct Expected {
    uint32_t id, keyLength;
    const char* name;
  } expected[] = {{MLFCRYPT_CIPHER_AES256_CBC, 32, "AES-256 (CBC)"},
                  {MLFCRYPT_CIPHER_AES128_CBC, 16, "AES-128 (CBC)"},
                  {MLFCRYPT_CIPHER_CAMELLIA256_CBC, 32, "Camellia-256 (CBC)"}};
  for (size_t i = 0; i < ciphers.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(ciphers[i].id, expected[i].id);
    EXPECT_EQ(ciphers[i].name, expected[i].name);
    EXPECT_EQ(ciphers[i].minKey, expected[i].keyLength);
    EXPECT_EQ(ciphers[i].maxKey, expected[i].keyLength);
    EXPECT_EQ(ciphers[i].defaultKey, expected[i].keyLength);
    EXPECT_NE(m().isCipherSupported(expected[i].id), 0u);
  }
  EXPECT_EQ(m().defaultCipher(), MLFCRYPT_CIPHER_AES256_CBC);
  EXPECT_EQ(m().maxKeyLength(), 32u);
}

TEST_F(ModuleAbiTest, EnumeratesKeyDerivationsThenEndsWithZero) {
  auto derivations = Enumerate(m().firstKeyDerivation(), m().keyDerivationInfo);
  ASSERT_EQ(derivations.size(), 2u);
  EXPECT_EQ(derivations[0].id, MLFCRYPT_KD_SCRYPT);
  EXPECT_EQ(derivations[0].name, "scrypt (N=32768, r=8, p=1)");
  EXPECT_EQ(derivations[1].id, MLFCRYPT_KD_PBKDF2_SHA256);
  EXPECT_EQ(derivations[1].name, "PBKDF2-HMAC-SHA256 (600000 iterations)");
  for (const Listed& d : derivations) {
    EXPECT_EQ(d.minKey, 16u);
    EXPECT_EQ(d.maxKey, 32u);
    EXPECT_EQ(d.defaultKey, 32u);
    EXPECT_NE(m().isKeyDerivationSupported(d.id), 0u);
  }
  EXPECT_EQ(m().defaultKeyDerivation(), MLFCRYPT_KD_SCRYPT);
}

TEST_F(ModuleAbiTest, InfoNameIsCutToTheBufferOrLeftOut) {
  char small[4] = {'x', 'x', 'x', 'x'};
  uint32_t id = MLFCRYPT_CIPHER_AES256_CBC;
  MlfCryptInfo info{0, 0, 0, 0, small, sizeof(small)};
  ASSERT_EQ(m().cipherInfo(&id, &info), 1u);
  EXPECT_STREQ(small, "AES");
  EXPECT_EQ(id, MLFCRYPT_CIPHER_AES128_CBC);

  MlfCryptInfo noName{0, 0, 0, 0, nullptr, MLFCRYPT_NAME_SIZE};
  EXPECT_EQ(m().keyDerivationInfo(&id, &noName), 0u) << "a cipher id is no key-derivation id";
  id = MLFCRYPT_KD_PBKDF2_SHA256;
  ASSERT_EQ(m().keyDerivationInfo(&id, &noName), 1u);
  EXPECT_EQ(id, 0u);
}

TEST_F(ModuleAbiTest, UnknownIdsAreRefused) {
  for (uint32_t unknown : {0u, 1u, 0x0104u, 0x0203u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(unknown);
    uint32_t id = unknown;
    MlfCryptInfo info{};
    EXPECT_EQ(m().cipherInfo(&id, &info), 0u);
    EXPECT_EQ(m().keyDerivationInfo(&id, &info), 0u);
    EXPECT_EQ(id, unknown) << "nothing is filled for an unknown id";
    EXPECT_EQ(m().isCipherSupported(unknown), 0u);
    EXPECT_EQ(m().isKeyDerivationSupported(unknown), 0u);
    EXPECT_EQ(m().makeEncryptor(unknown, key.data(), 32), nullptr);
  }
}

TEST_F(ModuleAbiTest, NullArgumentsAndWrongSizesGiveZero) {
  uint8_t buffer[64] = {};
  uint32_t id = MLFCRYPT_CIPHER_AES256_CBC;
  MlfCryptInfo info{};
  EXPECT_EQ(m().cipherInfo(nullptr, &info), 0u);
  EXPECT_EQ(m().cipherInfo(&id, nullptr), 0u);
  EXPECT_EQ(m().keyDerivationInfo(nullptr, &info), 0u);
  EXPECT_EQ(m().process(nullptr, buffer, 16), 0u);
  EXPECT_EQ(m().objectBlockSize(nullptr), 0u);
  EXPECT_EQ(m().releaseObject(nullptr), 0u);
  EXPECT_EQ(m().writeTestBlock(nullptr, buffer), 0u);
  EXPECT_EQ(m().testBlockLength(nullptr), 0u);
  EXPECT_EQ(m().objectCipher(nullptr), 0u);
  EXPECT_EQ(m().makeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, nullptr, 32), nullptr);
  EXPECT_EQ(m().makeDecryptor(MLFCRYPT_CIPHER_AES256_CBC, nullptr, 32), nullptr);
  for (uint32_t wrongLength : {0u, 16u, 31u, 33u}) {
    EXPECT_EQ(m().makeEncryptor(MLFCRYPT_CIPHER_AES256_CBC, key.data(), wrongLength), nullptr) << wrongLength;
    EXPECT_EQ(m().makeDecryptor(MLFCRYPT_CIPHER_AES256_CBC, key.data(), wrongLength), nullptr) << wrongLength;
  }
  EXPECT_EQ(m().makeEncryptor(MLFCRYPT_CIPHER_AES128_CBC, key.data(), 32), nullptr);
  EXPECT_EQ(m().randomBytes(nullptr, 16), 0u);
  EXPECT_EQ(m().constantTimeEqual(nullptr, buffer, 16), 0u);
  EXPECT_EQ(m().passwordBlock(nullptr, buffer, 3), 0u);

  MlfCryptObject* encryptor = Aes256Encryptor();
  ASSERT_NE(encryptor, nullptr);
  EXPECT_EQ(m().process(encryptor, nullptr, 16), 0u);
  uint8_t untouched[64] = {};
  for (uint32_t notWholeBlocks : {1u, 15u, 17u, 63u}) {
    EXPECT_EQ(m().process(encryptor, buffer, notWholeBlocks), 0u) << notWholeBlocks;
    EXPECT_EQ(std::memcmp(buffer, untouched, sizeof(buffer)), 0) << "a refused buffer stays as it was";
  }
  EXPECT_EQ(m().writeTestBlock(encryptor, nullptr), 0u);
  encryptor->functions->Release(encryptor);
}

TEST_F(ModuleAbiTest, KeyDerivationRefusalsZeroTheKey) {
  uint8_t out[40];
  struct Case {
    const char* what;
    uint32_t derivation;
    const char* password;
    uint32_t passwordLength;
    uint32_t keyLength;
  } cases[] = {
      {"unknown derivation", 0x0203, "pw", 2, 32},
      {"null password with a length", MLFCRYPT_KD_SCRYPT, nullptr, 2, 32},
      {"key too short", MLFCRYPT_KD_SCRYPT, "pw", 2, 15},
      {"key too long", MLFCRYPT_KD_SCRYPT, "pw", 2, 33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::memset(out, 0xAA, sizeof(out));
    EXPECT_EQ(m().deriveKey(c.derivation, c.password, c.passwordLength, out, c.keyLength), 0u);
    for (uint32_t i = 0; i < c.keyLength; ++i) ASSERT_EQ(out[i], 0) << i;
  }
  EXPECT_EQ(m().deriveKey(MLFCRYPT_KD_SCRYPT, "pw", 2, nullptr, 32), 0u);
}

TEST_F(ModuleAbiTest, ObjectReportsItsBlockSizeCipherAndTestBlockLength) {
  MlfCryptObject* encryptor = Aes256Encryptor();
  ASSERT_NE(encryptor, nullptr);
  EXPECT_EQ(encryptor->functions->BlockSize(encryptor), 16u);
  EXPECT_EQ(m().objectBlockSize(encryptor), 16u);
  EXPECT_EQ(m().objectCipher(encryptor), MLFCRYPT_CIPHER_AES256_CBC);
  EXPECT_EQ(m().testBlockLength(encryptor), 32u);
  EXPECT_EQ(m().releaseObject(encryptor), 1u);
  EXPECT_EQ(m().interfaceVersion(), MLFCRYPT_INTERFACE_VERSION);
}

TEST_F(ModuleAbiTest, RandomBytesAndConstantTimeCompare) {
  std::array<uint8_t, 32> a{}, b{};
  EXPECT_EQ(m().randomBytes(a.data(), 32), 32u);
  EXPECT_EQ(m().randomBytes(b.data(), 32), 32u);
  EXPECT_NE(a, b);
  EXPECT_EQ(m().constantTimeEqual(a.data(), b.data(), 32), 0u);
  b = a;
  EXPECT_EQ(m().constantTimeEqual(a.data(), b.data(), 32), 1u);
}

TEST_F(ModuleAbiTest, PasswordBlockSizeComesFirst) {
  EXPECT_EQ(m().passwordBlock("secret", nullptr, 6), 32u);
  EXPECT_EQ(m().passwordBlock(nullptr, nullptr, 0), 32u) << "the empty password has a block too";
}

}  // namespace
}  // namespace mlf
