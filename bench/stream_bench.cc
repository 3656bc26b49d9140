// The node pipeline on a 64 MB note (compressed; compressed and encrypted) next to plain zlib
// and the module's AES on the same bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include "crypt/crypt_dll_handler.h"
#include "platform/mem_env.h"
#include "sample_text.h"
#include "store/document.h"
#include "store/node.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"

namespace mlf {
namespace {

constexpr size_t kSize = 64 << 20;

const std::string& Content() {
  static std::string content = bench::SampleRtf(kSize);
  return content;
}

CryptProvider& Crypt() {
  static bool loaded = AppCrypt().Load(Env::Default());
  (void)loaded;
  return AppCrypt();
}

uint32_t MakeNote(CMarrowleafDoc& doc, bool encrypted) {
  CMlfNode node;
  node.Create(&doc, ntNote, "Big", 0);
  if (encrypted) {
    node.SetFlags(kNodeCompressed | kNodeEncrypted);
    node.SetCryptType(Crypt().DefaultCipher());
    node.SetHashType(Crypt().DefaultKeyDerivation());
    node.SetKeyLength(32);
    node.SetTestLength(32);
    node.Update(false);
    node.SetPassword(true, SecureString("benchmark"));
  }
  return node.GetId();
}

void Write(CMarrowleafDoc& doc, uint32_t id) {
  StreamWriter writer(doc, id, true);
  for (size_t i = 0; i < kSize; i += 1 << 20) writer.Put(Content().data() + i, 1 << 20);
  writer.Finish();
}

void BM_NodeWrite(benchmark::State& state) {
  bool encrypted = state.range(0);
  if (encrypted && !Crypt().IsAvailable()) return state.SkipWithError("no encryption module");
  for (auto _ : state) {
    MemEnv env;
    CMarrowleafDoc doc(env);
    uint32_t id = MakeNote(doc, encrypted);
    Write(doc, id);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}
BENCHMARK(BM_NodeWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NodeRead(benchmark::State& state) {
  bool encrypted = state.range(0);
  if (encrypted && !Crypt().IsAvailable()) return state.SkipWithError("no encryption module");
  MemEnv env;
  CMarrowleafDoc doc(env);
  uint32_t id = MakeNote(doc, encrypted);
  Write(doc, id);
  std::string out(1 << 20, '\0');
  for (auto _ : state) {
    StreamReader reader(doc, id);
    reader.PrepareReadBuffer();
    while (reader.Get(out.data(), out.size()) > 0) {
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}
BENCHMARK(BM_NodeRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainZlibDeflate(benchmark::State& state) {
  std::vector<Bytef> out(compressBound(kSize));
  for (auto _ : state) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Content().data()));
    z.avail_in = kSize;
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    deflateEnd(&z);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}
BENCHMARK(BM_PlainZlibDeflate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainZlibInflate(benchmark::State& state) {
  uLongf size = compressBound(kSize);
  std::vector<Bytef> packed(size);
  compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(Content().data()), kSize, 6);
  std::vector<Bytef> out(kSize);
  for (auto _ : state) {
    uLongf outSize = kSize;
    uncompress(out.data(), &outSize, packed.data(), size);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}
BENCHMARK(BM_PlainZlibInflate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainAes(benchmark::State& state) {
  if (!Crypt().IsAvailable()) return state.SkipWithError("no encryption module");
  bool encrypt = state.range(0);
  SecureBytes key = Crypt().DeriveKey(Crypt().DefaultKeyDerivation(), "benchmark", 32);
  std::vector<uint8_t> data(Content().begin(), Content().end());
  for (auto _ : state) {
    auto cipher = encrypt ? Crypt().MakeEncryptor(Crypt().DefaultCipher(), key)
                          : Crypt().MakeDecryptor(Crypt().DefaultCipher(), key);
    cipher->Process(data.data(), data.size());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * kSize);
}
BENCHMARK(BM_PlainAes)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mlf
