#include "imaging/freeimage_support.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>

namespace mlf::imaging {
namespace {

thread_local CodecMessages* t_messages = nullptr;

void OnFreeImageMessage(FREE_IMAGE_FORMAT, const char* message) {
  // Without a collector the message is dropped: the library must never print.
  if (t_messages && message) t_messages->Add(message);
}

// The TIFF codec reports straight to libtiff's handlers, which print to the standard error
// stream unless replaced. Its errors join the other messages; its warnings are dropped.
void OnTiffError(const char*, const char* format, va_list arguments) {
  if (!t_messages) return;
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  t_messages->Add(text);
}

void OnTiffWarning(const char*, const char*, va_list) {}

}  // namespace

void EnsureFreeImage() {
  // The library is never de-initialised: bitmaps held by static objects may outlive any
  // point where that would be safe, and the process exit frees everything anyway.
  static const bool initialised = [] {
    FreeImage_Initialise(FALSE);
    FreeImage_SetOutputMessage(OnFreeImageMessage);
    TIFFSetErrorHandler(OnTiffError);
    TIFFSetWarningHandler(OnTiffWarning);
    return true;
  }();
  (void)initialised;
}

CodecMessages::CodecMessages() : m_outer(t_messages) {
  EnsureFreeImage();
  t_messages = this;
}

CodecMessages::~CodecMessages() { t_messages = m_outer; }

void CodecMessages::Add(const char* message) {
  std::string text(message);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  // Codecs tend to report one fault several times over.
  if (text.empty() || text == m_last) return;
  m_last = text;
  if (!m_text.empty()) m_text += "; ";
  m_text += text;
}

FreeImageMemory OpenMemory(std::span<const uint8_t> bytes) {
  // The library only reads from a stream opened on existing bytes.
  return FreeImageMemory(
      FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
}

}  // namespace mlf::imaging
