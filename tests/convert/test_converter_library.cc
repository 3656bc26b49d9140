// A text-converter library for tests: it accepts files that start with "TCV" and turns the rest
// of the file into one RTF paragraph, handing it over in two pieces through the output callback.
// Built twice: with REJECT_EVERYTHING it refuses every file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {

using Callback = int32_t (*)(int32_t, int32_t);

__attribute__((visibility("default"))) int32_t InitConverter32(void*, char*) { return 1; }
__attribute__((visibility("default"))) void UninitConverter() {}

__attribute__((visibility("default"))) int16_t IsFormatCorrect32(char* file, char* className) {
#ifdef REJECT_EVERYTHING
  return 0;
#endif
  std::FILE* f = std::fopen(file, "rb");
  if (!f) return 0;
  char head[3] = {};
  size_t n = std::fread(head, 1, 3, f);
  std::fclose(f);
  std::strcpy(className, "TCV");
  return n == 3 && std::memcmp(head, "TCV", 3) == 0 ? 1 : 0;
}

__attribute__((visibility("default"))) int16_t ForeignToRtf32(char* file, void*, char* buffer, char*, char*,
                                                              Callback output) {
  std::FILE* f = std::fopen(file, "rb");
  if (!f) return 1;
  std::fseek(f, 3, SEEK_SET);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  std::string rtf = "{\\rtf1\\ansi converted: " + text + "\\par}";
  size_t half = rtf.size() / 2;
  std::memcpy(buffer, rtf.data(), half);
  output(static_cast<int32_t>(half), 50);
  std::memcpy(buffer, rtf.data() + half, rtf.size() - half);
  output(static_cast<int32_t>(rtf.size() - half), 100);
  return 0;
}
}
