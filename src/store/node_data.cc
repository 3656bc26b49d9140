#include "store/node_data.h"

#include "diagnostics/log.h"
#include "store/document.h"
#include "store/node.h"
#include "store/progress.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"

namespace mlf {

CMlfNodeData::CMlfNodeData(ProgressSink* status) : m_status(status) {}

CMlfNodeData::~CMlfNodeData() { Release(); }

bool CMlfNodeData::Initialize(CMlfNode* node, int mode, bool compress) {
  if (m_initialized && !Release()) return false;
  if (!node) {
    AppLog().WriteLine("CMlfNodeData::Initialize was called with pNode := NULL.");
    return false;
  }
  m_node = node;
  m_mode = mode;
  m_document = node->GetDocument();
  DATALOC location;
  m_hasData = m_document->Data_GetLocation(node->GetId(), location) && location.bHasData;
  if (mode == kModeAttach) {
    m_initialized = true;
    return true;
  }
  if (mode == kModeRead) {
    if (!m_hasData) return false;
    m_reader = std::make_unique<StreamReader>(*m_document, node->GetId());
    if (!m_reader->IsOpen()) {
      m_reader.reset();
      AppLog().WriteLine("CMlfNodeData::Initialize failed calling m_pDoc->Data_OpenStream for reading.");
      return false;
    }
    m_reader->PrepareReadBuffer();
  } else {
    m_writer = std::make_unique<StreamWriter>(*m_document, node->GetId(), compress);
    if (!m_writer->IsOpen()) {
      m_writer.reset();
      AppLog().WriteLine("CMlfNodeData::Initialize failed calling m_pDoc->Data_OpenStream for writing.");
      return false;
    }
  }
  m_initialized = true;
  return true;
}

size_t CMlfNodeData::Get(void* buffer, size_t length) {
  if (!m_initialized || !m_reader) return 0;
  size_t n = m_reader->Get(buffer, length);
  if (m_status && n) m_status->StepProgress(n);
  return n;
}

ContentError CMlfNodeData::Error() const { return m_reader ? m_reader->Error() : ContentError::None; }

void CMlfNodeData::ExpectLength(uint64_t length) {
  if (m_initialized && m_writer) m_writer->ExpectLength(length);
}

void CMlfNodeData::Put(const void* buffer, size_t length) {
  if (m_initialized && m_writer) m_writer->Put(buffer, length);
}

bool CMlfNodeData::Finish() {
  if (!m_writer) return m_mode == kModeAttach || m_mode == kModeRead;
  std::unique_ptr<StreamWriter> writer = std::move(m_writer);
  bool stored = writer->Finish();
  if (stored && m_node) m_node->Reload();  // the handle sees the new lengths
  return stored;
}

bool CMlfNodeData::Release() {
  bool ok = true;
  if (m_writer) ok = Finish();
  m_reader.reset();
  m_initialized = false;
  return ok;
}

uint32_t CMlfNodeData::ReadCallback(uintptr_t cookie, uint8_t* buffer, int32_t length, int32_t* count) {
  auto* data = reinterpret_cast<CMlfNodeData*>(cookie);
  if (!data || !buffer || !count || length < 0) return 0;
  *count = static_cast<int32_t>(data->Get(buffer, static_cast<size_t>(length)));
  return 0;
}

uint32_t CMlfNodeData::WriteCallback(uintptr_t cookie, uint8_t* buffer, int32_t length, int32_t* count) {
  auto* data = reinterpret_cast<CMlfNodeData*>(cookie);
  if (!data || !buffer || !count || length < 0) return 0;
  data->Put(buffer, static_cast<size_t>(length));
  *count = length;
  return 0;
}

}  // namespace mlf
