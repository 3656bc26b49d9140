// The encryption module's cost: AES-256-CBC through the client and the module next to raw
// OpenSSL EVP on the same 64 MB, and the time of one key derivation of each type.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <vector>

#include "crypt/crypt_dll_handler.h"

namespace mlf {
namespace {

constexpr size_t kDataSize = 64u << 20;
// The node stream encrypts in pieces of block size x 2048.
constexpr size_t kStreamPiece = 16 * 2048;

CCryptDLLHandler& LoadedHandler() {
  static CCryptDLLHandler* handler = [] {
    auto* loaded = new CCryptDLLHandler;
    if (!loaded->Load(Env::Default())) std::abort();
    return loaded;
  }();
  return *handler;
}

const SecureBytes& Key() {
  static const SecureBytes key(32, 0x5A);
  return key;
}

std::vector<uint8_t>& Data() {
  static std::vector<uint8_t> data(kDataSize, 0xC3);
  return data;
}

void ThroughModule(benchmark::State& state, bool encrypt, size_t piece) {
  CCryptDLLHandler& handler = LoadedHandler();
  auto cipher = encrypt ? handler.MakeEncryptor(handler.DefaultCipher(), Key())
                        : handler.MakeDecryptor(handler.DefaultCipher(), Key());
  std::vector<uint8_t>& data = Data();
  for (auto _ : state) {
    for (size_t offset = 0; offset < data.size(); offset += piece) cipher->Process(data.data() + offset, piece);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void RawEvp(benchmark::State& state, bool encrypt) {
  uint8_t iv[16] = {};
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(context, EVP_aes_256_cbc(), nullptr, Key().data(), iv, encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(context, 0);
  std::vector<uint8_t>& data = Data();
  for (auto _ : state) {
    int written = 0;
    EVP_CipherUpdate(context, data.data(), &written, data.data(), static_cast<int>(data.size()));
    benchmark::ClobberMemory();
  }
  EVP_CIPHER_CTX_free(context);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_Aes256EncryptRawEvp(benchmark::State& state) { RawEvp(state, true); }
void BM_Aes256EncryptModuleWhole(benchmark::State& state) { ThroughModule(state, true, kDataSize); }
void BM_Aes256EncryptModulePieces(benchmark::State& state) { ThroughModule(state, true, kStreamPiece); }
void BM_Aes256DecryptRawEvp(benchmark::State& state) { RawEvp(state, false); }
void BM_Aes256DecryptModuleWhole(benchmark::State& state) { ThroughModule(state, false, kDataSize); }
void BM_Aes256DecryptModulePieces(benchmark::State& state) { ThroughModule(state, false, kStreamPiece); }

BENCHMARK(BM_Aes256EncryptRawEvp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256EncryptModuleWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256EncryptModulePieces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256DecryptRawEvp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256DecryptModuleWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aes256DecryptModulePieces)->Unit(benchmark::kMillisecond);

// The argument is the key-derivation id.
void BM_DeriveKey(benchmark::State& state) {
  CCryptDLLHandler& handler = LoadedHandler();
  for (auto _ : state) benchmark::DoNotOptimize(handler.DeriveKey(static_cast<uint32_t>(state.range(0)), "password", 32));
}
BENCHMARK(BM_DeriveKey)
    ->ArgName("kd")
    ->Arg(MLFCRYPT_KD_SCRYPT)
    ->Arg(MLFCRYPT_KD_PBKDF2_SHA256)
    ->Unit(benchmark::kMillisecond);

void BM_PasswordBlock(benchmark::State& state) {
  CCryptDLLHandler& handler = LoadedHandler();
  for (auto _ : state) benchmark::DoNotOptimize(handler.PasswordBlock("password"));
}
BENCHMARK(BM_PasswordBlock)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mlf
