#include "store/file_format.h"

namespace mlf {

std::string ReadMagic(BinaryReader& in) {
  uint32_t length = in.U32();
  if (length > kMaxMagicLength) return {};
  std::vector<uint8_t> bytes = in.Bytes(length);
  std::string magic;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t c = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (c == 0) break;
    magic += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return magic;
}

void WriteMagic(ByteWriter& out, const std::string& magic) {
  out.U32(static_cast<uint32_t>(2 * magic.size() + 2));
  for (char c : magic) out.U16(static_cast<uint8_t>(c));
  out.U16(0);
}

uint32_t ReadHeaderBody(BinaryReader& in, FileHeader& header) {
  header.version = in.U32();
  for (uint16_t& word : header.created) word = in.U16();
  in.Bytes(header.reserved56.data(), header.reserved56.size());
  uint32_t nodeCount = in.U32();
  header.logoOffset = in.U32();
  header.logoLength = in.U32();
  header.reserved84 = in.U32();
  header.bookmarksOffset = in.U32();
  header.viewFlags = in.U32();
  header.moreInfoOffset = in.U32();
  header.reserved100 = in.U32();
  header.sortFlags = in.U16();
  header.folderArrangement = in.U16();
  header.keywordsOffset = in.U32();
  if (header.version < 3) header.sortFlags = header.folderArrangement = 0;
  if (header.version < 5) header.keywordsOffset = 0;
  if (header.version < 6) header.moreInfoOffset = 0;
  return nodeCount;
}

void WriteHeader(ByteWriter& out, const FileHeader& header, uint32_t nodeCount) {
  WriteMagic(out, kPlainMagic);
  out.U32(header.version);
  for (uint16_t word : header.created) out.U16(word);
  out.Bytes(header.reserved56.data(), header.reserved56.size());
  out.U32(nodeCount);
  out.U32(header.logoOffset);
  out.U32(header.logoLength);
  out.U32(header.reserved84);
  out.U32(header.bookmarksOffset);
  out.U32(header.viewFlags);
  out.U32(header.moreInfoOffset);
  out.U32(header.reserved100);
  out.U16(header.sortFlags);
  out.U16(header.folderArrangement);
  out.U32(header.keywordsOffset);
}

NTV ReadNodeEntry(BinaryReader& in, uint32_t version) {
  NTV r;
  r.nLoc = in.U32();
  r.nType = in.U8();
  r.nReserved1 = in.U8();
  r.nIcon = in.U16();
  r.nIndex = in.U32();
  r.nParent = in.U32();
  r.nFlags = in.U32();
  r.nStorageLength = in.U32();
  r.nRawLength = in.U32();
  r.nKeyLength = in.U32();
  r.nHashType = in.U32();
  r.nCryptType = in.U32();
  r.nTestLength = in.U32();
  if (version >= 6) {
    for (uint32_t& word : r.nReserved) word = in.U32();
    r.nDataCRC = in.U32();
    r.nFileDataCRC = in.U32();
    if (version == 6) r.nDataCRC = r.nFileDataCRC = 0;  // present but not yet meaningful
  }
  r.strTitle = in.CText();
  return r;
}

void WriteNodeEntry(ByteWriter& out, const NTV& r) {
  out.U32(r.nLoc);
  out.U8(r.nType);
  out.U8(r.nReserved1);
  out.U16(r.nIcon);
  out.U32(r.nIndex);
  out.U32(r.nParent);
  out.U32(r.nFlags);
  out.U32(r.nStorageLength);
  out.U32(r.nRawLength);
  out.U32(r.nKeyLength);
  out.U32(r.nHashType);
  out.U32(r.nCryptType);
  out.U32(r.nTestLength);
  for (uint32_t word : r.nReserved) out.U32(word);
  out.U32(r.nDataCRC);
  out.U32(r.nFileDataCRC);
  out.CText(r.strTitle);
}

MLFBOOKMARK ReadBookmark(BinaryReader& in) {
  MLFBOOKMARK b;
  b.nId = in.U32();
  b.nReservedA = in.U32();
  b.nReservedB = in.U32();
  b.nNode = in.U32();
  b.strName = in.CText();
  return b;
}

void WriteBookmark(ByteWriter& out, const MLFBOOKMARK& b) {
  out.U32(b.nId);
  out.U32(b.nReservedA);
  out.U32(b.nReservedB);
  out.U32(b.nNode);
  out.CText(b.strName);
}

MLFTASK ReadTask(BinaryReader& in) {
  MLFTASK t;
  t.nId = in.U32();
  t.strTitle = in.CText();
  t.nFlags = in.U32();
  t.nCreated = in.U32();
  t.nStart = in.U32();
  t.nDue = in.U32();
  t.nPriority = in.U8();
  t.nReserved1 = in.U8();
  t.nReserved2 = in.U8();
  t.nReserved3 = in.U32();
  t.nNode = in.U32();
  t.nReserved4 = in.U32();
  t.nReserved5 = in.U32();
  t.strNotes = in.CText();
  return t;
}

void WriteTask(ByteWriter& out, const MLFTASK& t) {
  out.U32(t.nId);
  out.CText(t.strTitle);
  out.U32(t.nFlags);
  out.U32(t.nCreated);
  out.U32(t.nStart);
  out.U32(t.nDue);
  out.U8(t.nPriority);
  out.U8(t.nReserved1);
  out.U8(t.nReserved2);
  out.U32(t.nReserved3);
  out.U32(t.nNode);
  out.U32(t.nReserved4);
  out.U32(t.nReserved5);
  out.CText(t.strNotes);
}

}  // namespace mlf
