#include "convert/converter_library.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "diagnostics/log.h"
#include "platform/env.h"

namespace mlf {
namespace {

// The conversion that is running: what the context-free callbacks work on.
struct RunningConversion {
  File* file = nullptr;
  char* buffer = nullptr;
  uint64_t bytesDone = 0;
  uint64_t totalBytes = 0;
  bool failed = false;
};

std::mutex g_conversionMutex;  // one conversion at a time in the process
RunningConversion* g_running = nullptr;

int32_t OutputCallback(int32_t count, int32_t) {
  if (count > 0 && g_running) {
    try {
      g_running->file->Write(g_running->buffer, std::min<size_t>(static_cast<size_t>(count), kConverterBufferSize));
      g_running->bytesDone += static_cast<uint64_t>(count);
    } catch (const FileError&) {
      g_running->failed = true;
      return -1;
    }
  }
  return count;
}

int32_t InputCallback(int32_t, int32_t) {
  if (!g_running) return 0;
  uint64_t remaining = g_running->totalBytes - g_running->bytesDone;
  if (remaining == 0) return 0;
  size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, kConverterBufferSize));
  try {
    g_running->file->ReadExact(g_running->buffer, n);
  } catch (const FileError&) {
    g_running->failed = true;
    return 0;
  }
  g_running->bytesDone += n;
  return static_cast<int32_t>(n);
}

// A zero-filled block holding the text and its terminating zero.
std::vector<char> Block(const std::string& text, size_t size = 0) {
  std::vector<char> block(std::max(size, text.size() + 1), '\0');
  std::memcpy(block.data(), text.data(), text.size());
  return block;
}

}  // namespace

bool ImportThroughLibrary(Env& env, const std::string& libraryPath, const std::string& source,
                          const std::string& target) {
  std::unique_ptr<DynamicLibrary> library = env.LoadLibrary(libraryPath);
  if (!library) return false;
  auto init = reinterpret_cast<InitConverterFn>(library->Symbol("InitConverter32"));
  auto uninit = reinterpret_cast<UninitConverterFn>(library->Symbol("UninitConverter"));
  auto isFormatCorrect = reinterpret_cast<IsFormatCorrectFn>(library->Symbol("IsFormatCorrect32"));
  auto foreignToRtf = reinterpret_cast<ForeignToRtfFn>(library->Symbol("ForeignToRtf32"));
  if (!init || !isFormatCorrect || !foreignToRtf) return false;

  AppLog().WriteLine("Start DoMSConvImport");
  std::vector<char> file = Block(source), className = Block("", 64), title = Block("Quarn Marrowleaf");
  init(nullptr, title.data());
  bool ok = false;
  if (isFormatCorrect(file.data(), className.data()) == 1) {
    std::vector<char> buffer(kConverterBufferSize, '\0');
    try {
      std::unique_ptr<File> out = env.OpenFile(target, FileAccess::ReadWrite, FileCreation::OpenExisting, FileShare::Exclusive);
      std::lock_guard lock(g_conversionMutex);
      RunningConversion running{out.get(), buffer.data()};
      g_running = &running;
      int16_t result = foreignToRtf(file.data(), nullptr, buffer.data(), className.data(), nullptr, &OutputCallback);
      g_running = nullptr;
      out->Truncate(running.bytesDone);
      ok = result == 0 && !running.failed;
    } catch (const FileError&) {
      g_running = nullptr;
    }
  }
  if (uninit) uninit();
  AppLog().WriteLine("End DoMSConvImport");
  return ok;
}

bool ExportThroughLibrary(Env& env, const std::string& libraryPath, const std::string& source,
                          const std::string& target) {
  std::unique_ptr<DynamicLibrary> library = env.LoadLibrary(libraryPath);
  if (!library) return false;
  auto init = reinterpret_cast<InitConverterFn>(library->Symbol("InitConverter32"));
  auto uninit = reinterpret_cast<UninitConverterFn>(library->Symbol("UninitConverter"));
  auto rtfToForeign = reinterpret_cast<RtfToForeignFn>(library->Symbol("RtfToForeign32"));
  if (!init || !rtfToForeign) return false;
  std::vector<char> file = Block(target), title = Block("Marrowleaf");
  init(nullptr, title.data());
  bool ok = false;
  try {
    std::unique_ptr<File> in = env.OpenFile(source, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    std::vector<char> buffer(kConverterBufferSize, '\0');
    std::lock_guard lock(g_conversionMutex);
    RunningConversion running{in.get(), buffer.data(), 0, in->Size()};
    g_running = &running;
    int16_t result = rtfToForeign(file.data(), nullptr, buffer.data(), nullptr, &InputCallback);
    g_running = nullptr;
    ok = result == 0 && !running.failed;
  } catch (const FileError&) {
    g_running = nullptr;
  }
  if (uninit) uninit();
  return ok;
}

}  // namespace mlf
