// Deterministic note-like text for benchmarks: RTF with words of a small vocabulary.
#pragma once

#include <cstdint>
#include <string>

namespace mlf::bench {

inline std::string SampleRtf(size_t size, uint32_t seed = 1) {
  static const char* kWords[] = {"note",  "the",     "plan", "meeting", "project", "idea",   "a",      "of",
                                 "to",    "tomorrow", "list", "\\b bold\\b0", "review", "budget", "and", "draft"};
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
  while (out.size() < size) {
    seed = seed * 1103515245 + 12345;
    out += kWords[(seed >> 16) % 16];
    out += (seed >> 8) % 11 == 0 ? "\\par\n" : " ";
  }
  out.resize(size);
  return out;
}

}  // namespace mlf::bench
