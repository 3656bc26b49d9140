// The document's table of open streams.
#include "diagnostics/log.h"
#include "store/document.h"

namespace mlf {

bool CMarrowleafDoc::Data_OpenStream(uint32_t nodeId, bool forOutput, MLFSTREAMHANDLE* handle, bool compress) {
  if (!handle) return false;
  auto lock = Lock();
  handle->nReserved = 0;
  handle->pDoc = this;
  auto record = m_nodes.find(nodeId);
  auto location = m_locations.find(nodeId);
  if (record == m_nodes.end() || location == m_locations.end()) {
    handle->nStreamId = -1;
    return true;
  }
  if (!forOutput && !location->second.bHasData) {
    handle->nStreamId = 0;
    return true;
  }
  const NTV& node = record->second;
  MLFSTREAM stream;
  stream.hFile = forOutput || location->second.bInWorkFile ? m_workFile.get() : DataFile();
  if (!stream.hFile) AppLog().WriteLine("WARNING: A stream has been opened without a source/destination");
  stream.bForOutput = forOutput;
  stream.nStorageLength = node.nStorageLength;
  stream.nRawLength = node.nRawLength;
  stream.nDataCRC = node.nDataCRC;
  stream.nFileDataCRC = node.nFileDataCRC;
  stream.nLoc = forOutput ? (m_workFile ? static_cast<uint32_t>(m_workFile->Size()) : 0) : location->second.nLoc;
  stream.nIndex = nodeId;
  stream.bZipped = forOutput && compress ? 1 : (node.nFlags & kNodeCompressed ? 1 : 0);
  stream.bEncrypted = node.nFlags & kNodeEncrypted ? 1 : 0;
  if (stream.bEncrypted) {
    stream.nHashType = node.nHashType;
    stream.nCryptType = node.nCryptType;
  }
  int32_t id = static_cast<int32_t>(m_nextStreamId++);
  m_streams[id] = stream;
  handle->nStreamId = id;
  return true;
}

bool CMarrowleafDoc::Data_GetStream(int32_t streamId, MLFSTREAM& out) const {
  return CopyOut(m_streams, streamId, out);
}

void CMarrowleafDoc::Data_SetStream(int32_t streamId, const MLFSTREAM& stream) {
  auto lock = Lock();
  m_streams[streamId] = stream;
}

bool CMarrowleafDoc::Data_CloseStream(int32_t streamId) {
  if (streamId == 0) return true;
  auto lock = Lock();
  auto it = m_streams.find(streamId);
  if (it == m_streams.end()) {
    AppLog().WriteLine("CMarrowleafDoc::Data_CloseStream failed to find stream for id " + std::to_string(streamId) +
                       " in document '" + m_pathName + "'");
    return false;
  }
  MLFSTREAM stream = it->second;
  m_streams.erase(it);  // ids only grow, so a closed stream's id is never seen again
  if (!stream.bForOutput) return true;

  DATALOC& location = m_locations[stream.nIndex];
  location.bHasData = 1;
  location.bInWorkFile = 1;
  location.nLoc = stream.nLoc;
  auto record = m_nodes.find(stream.nIndex);
  if (record != m_nodes.end()) {
    NTV node = record->second;
    node.nFlags = (stream.bZipped ? kNodeCompressed : 0) | (stream.bEncrypted ? kNodeEncrypted : 0);
    node.nStorageLength = stream.nBytesDone;
    node.nRawLength = stream.bZipped || stream.bEncrypted ? stream.nRawLength : stream.nBytesDone;
    node.nDataCRC = stream.nDataCRC;
    node.nFileDataCRC = stream.nFileDataCRC;
    Data_SetItem(stream.nIndex, node, true);
  }
  return true;
}

}  // namespace mlf
