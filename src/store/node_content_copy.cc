#include "store/node_content_copy.h"

#include <vector>

#include "store/document.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"

namespace mlf {

bool CopyStoredContent(CMarrowleafDoc& source, uint32_t sourceId, CMarrowleafDoc& target, uint32_t targetId) {
  NTV record;
  if (!source.Data_GetItem(sourceId, record)) return false;
  std::optional<std::vector<uint8_t>> stored = StreamReader(source, sourceId).ReadStored();
  if (!stored) return false;
  MLFSTREAMHANDLE handle;
  target.Data_OpenStream(targetId, true, &handle, record.nFlags & kNodeCompressed);
  MLFSTREAM stream;
  if (!target.Data_GetStream(handle.nStreamId, stream)) return false;
  // The copy keeps the source's flags, lengths and CRCs: its bytes are the same.
  stream.nRawLength = record.nRawLength;
  try {
    CommitStream(target, handle.nStreamId, stream, {}, *stored);
  } catch (const FileError&) {
    stream.bForOutput = 0;
    target.Data_SetStream(handle.nStreamId, stream);
    target.Data_CloseStream(handle.nStreamId);
    return false;
  }
  return true;
}

}  // namespace mlf
