#include "imaging/freeimage_support.h"

namespace mlf::imaging {
namespace {

thread_local CodecMessages* t_messages = nullptr;

void OnFreeImageMessage(FREE_IMAGE_FORMAT, const char* message) {
  // Without a collector the message is dropped: the library must never print.
  if (t_messages && message) t_messages->Add(message);
}

}  // namespace

void EnsureFreeImage() {
  // The library is never de-initialised: bitmaps held by static objects may outlive any
  // point where that would be safe, and the process exit frees everything anyway.
  static const bool initialised = [] {
    FreeImage_Initialise(FALSE);
    FreeImage_SetOutputMessage(OnFreeImageMessage);
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
  if (text.empty()) return;
  if (!m_text.empty()) m_text += "; ";
  m_text += text;
}

}  // namespace mlf::imaging
