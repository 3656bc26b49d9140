// FreeImage set-up shared by the files of the codec layer; nothing outside src/imaging includes
// this header, so FreeImage stays an inner detail of the layer.
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace mlf::imaging {

// Initialises FreeImage once per process and installs the message handler that feeds
// CodecMessages. Safe to call from any thread.
void EnsureFreeImage();

// Collects FreeImage's messages raised on this thread while the object lives, so that a failed
// call can explain itself instead of the library printing. Scopes nest; the innermost collects.
class CodecMessages {
 public:
  CodecMessages();
  ~CodecMessages();
  CodecMessages(const CodecMessages&) = delete;
  CodecMessages& operator=(const CodecMessages&) = delete;

  // The messages so far, joined by "; "; empty when there were none.
  const std::string& Text() const { return m_text; }
  void Add(const char* message);

 private:
  std::string m_text;
  std::string m_last;
  CodecMessages* m_outer;
};

struct FreeImageMemoryCloser {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
using FreeImageMemory = std::unique_ptr<FIMEMORY, FreeImageMemoryCloser>;

// A read-only stream over bytes that must outlive it.
FreeImageMemory OpenMemory(std::span<const uint8_t> bytes);

}  // namespace mlf::imaging
