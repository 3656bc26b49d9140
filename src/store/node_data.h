// Reads and writes one node's content through the stream pipelines: reading decodes the
// whole content at Initialize so that Get is a memory copy; writing collects the content and
// commits it at Finish. Created by a node handle on first content access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "store/content_error.h"

namespace mlf {

class CMarrowleafDoc;
class CMlfNode;
class ProgressSink;
class StreamReader;
class StreamWriter;

class CMlfNodeData {
 public:
  enum Mode { kModeRead = 1, kModeWrite = 2, kModeAttach = 4 };

  explicit CMlfNodeData(ProgressSink* status = nullptr);
  ~CMlfNodeData();
  CMlfNodeData(const CMlfNodeData&) = delete;
  CMlfNodeData& operator=(const CMlfNodeData&) = delete;

  // Attaches to the node for reading (false without stored data), writing, or attach only.
  bool Initialize(CMlfNode* node, int mode, bool compress);
  // Up to length bytes of content; 0 when not initialised or at the end.
  size_t Get(void* buffer, size_t length);
  // A hint for a write: the content's length, when known before it arrives.
  void ExpectLength(uint64_t length);
  void Put(const void* buffer, size_t length);
  // Ends a write: the content becomes the node's. False when it could not be stored.
  bool Finish();
  // Closes a read, finishes a write; the object becomes uninitialised.
  bool Release();
  bool IsInitialized() const { return m_initialized; }
  bool HasData() const { return m_hasData; }
  // Why the content read so far is not the node's whole, intact content (None while it is).
  ContentError Error() const;

  // Stream callbacks of a rich-text control; with a null pointer they do nothing. Both return 0.
  static uint32_t ReadCallback(uintptr_t cookie, uint8_t* buffer, int32_t length, int32_t* count);
  static uint32_t WriteCallback(uintptr_t cookie, uint8_t* buffer, int32_t length, int32_t* count);

 private:
  ProgressSink* m_status;
  CMarrowleafDoc* m_document = nullptr;
  CMlfNode* m_node = nullptr;
  bool m_initialized = false;
  bool m_hasData = false;
  int m_mode = 0;
  std::unique_ptr<StreamReader> m_reader;
  std::unique_ptr<StreamWriter> m_writer;
};

}  // namespace mlf
