#include "store/node_content_copy.h"

#include <algorithm>
#include <vector>

#include "store/document.h"

namespace mlf {

bool CopyStoredContent(CMarrowleafDoc& source, uint32_t sourceId, CMarrowleafDoc& target, uint32_t targetId) {
  constexpr size_t kPiece = 16 * 1024;
  auto lockSource = source.Lock();
  auto lockTarget = target.Lock();
  NTV record;
  DATALOC from;
  if (!source.Data_GetItem(sourceId, record) || !source.Data_GetLocation(sourceId, from) || !from.bHasData)
    return false;
  File* in = source.FileOf(from);
  File* out = target.m_workFile.get();
  if (!in || !out) return false;
  try {
    uint64_t start = out->Size();
    out->Seek(start);
    in->Seek(from.nLoc);
    std::vector<char> buffer(kPiece);
    for (uint32_t left = record.nStorageLength; left > 0;) {
      size_t n = std::min<size_t>(left, kPiece);
      in->ReadExact(buffer.data(), n);
      out->Write(buffer.data(), n);
      left -= static_cast<uint32_t>(n);
    }
    target.Data_SetLocation(targetId, DATALOC{1, 1, 0, static_cast<uint32_t>(start)});
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace mlf
