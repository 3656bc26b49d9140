// The node clipboard of the process. It holds no data of its own: Paste reads the branch from
// the source document at that moment.
#pragma once

#include <cstdint>
#include <mutex>

namespace mlf {

class CMarrowleafDoc;

struct NodeClipboardEntry {
  bool hasEntry = false;
  CMarrowleafDoc* sourceDocument = nullptr;
  const void* sourceTree = nullptr;  // the tree where Cut or Copy was chosen; opaque here
  uint32_t nodeId = 0;               // the root of the branch
  bool cut = false;                  // delete the branch from its source once pasted
};

class NodeClipboard {
 public:
  static NodeClipboard& Instance();

  NodeClipboardEntry Get() const;
  void Set(const NodeClipboardEntry& entry);
  void Clear();
  // Clears the clipboard when it holds a node of the document.
  void ForgetDocument(const CMarrowleafDoc* document);

 private:
  mutable std::mutex m_mutex;
  NodeClipboardEntry m_entry;
};

}  // namespace mlf
