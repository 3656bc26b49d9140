// The text-converter library protocol: a library exporting InitConverter32, IsFormatCorrect32,
// ForeignToRtf32 (and optionally UninitConverter, RtfToForeign32), which writes RTF through an
// output callback into a shared 16384-byte buffer. The callbacks carry no context, so only one
// conversion runs at a time in the process.
#pragma once

#include <cstdint>
#include <string>

namespace mlf {

class Env;

constexpr size_t kConverterBufferSize = 16384;

// The entry points as a library exports them. Handles are plain pointers to zero-filled
// blocks holding the texts.
extern "C" {
using ConverterCallback = int32_t (*)(int32_t count, int32_t percent);
using InitConverterFn = int32_t (*)(void* window, char* module);
using UninitConverterFn = void (*)();
using IsFormatCorrectFn = int16_t (*)(char* file, char* className);
using ForeignToRtfFn = int16_t (*)(char* file, void* storage, char* buffer, char* className, char* subset,
                                   ConverterCallback output);
using RtfToForeignFn = int16_t (*)(char* file, void* storage, char* buffer, char* className, ConverterCallback input);
}

// Converts source into RTF written to target (which exists) with the library at libraryPath;
// false when the library cannot be loaded, lacks an entry point, rejects the file or fails.
bool ImportThroughLibrary(Env& env, const std::string& libraryPath, const std::string& source,
                          const std::string& target);

// Converts the RTF file source into target with the library's RtfToForeign32.
bool ExportThroughLibrary(Env& env, const std::string& libraryPath, const std::string& source,
                          const std::string& target);

}  // namespace mlf
