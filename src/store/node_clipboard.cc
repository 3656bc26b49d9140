#include "store/node_clipboard.h"

namespace mlf {

NodeClipboard& NodeClipboard::Instance() {
  static NodeClipboard clipboard;
  return clipboard;
}

NodeClipboardEntry NodeClipboard::Get() const {
  std::lock_guard lock(m_mutex);
  return m_entry;
}

void NodeClipboard::Set(const NodeClipboardEntry& entry) {
  std::lock_guard lock(m_mutex);
  m_entry = entry;
}

void NodeClipboard::Clear() {
  std::lock_guard lock(m_mutex);
  m_entry = {};
}

void NodeClipboard::ForgetDocument(const CMarrowleafDoc* document) {
  std::lock_guard lock(m_mutex);
  if (m_entry.hasEntry && m_entry.sourceDocument == document) m_entry = {};
}

}  // namespace mlf
