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

namespace {

// Each record's fields are listed once, in file order, and the list serves both directions:
// FieldReader fills the fields from the file, FieldWriter writes them, each by the field's type.
struct FieldReader {
  BinaryReader& in;
  void operator()(uint8_t& v) { v = in.U8(); }
  void operator()(uint16_t& v) { v = in.U16(); }
  void operator()(uint32_t& v) { v = in.U32(); }
  void operator()(std::string& v) { v = in.CText(); }
  template <typename T, size_t N>
  void operator()(std::array<T, N>& values) {
    for (T& v : values) (*this)(v);
  }
};

struct FieldWriter {
  ByteWriter& out;
  void operator()(uint8_t v) { out.U8(v); }
  void operator()(uint16_t v) { out.U16(v); }
  void operator()(uint32_t v) { out.U32(v); }
  void operator()(const std::string& v) { out.CText(v); }
  template <typename T, size_t N>
  void operator()(const std::array<T, N>& values) {
    for (T v : values) (*this)(v);
  }
};

// The header after the magic; the node count sits among its fields.
template <typename Fields, typename Header, typename Count>
void HeaderFields(Fields&& field, Header& h, Count& nodeCount) {
  field(h.version);
  field(h.created);
  field(h.reserved56);
  field(nodeCount);
  field(h.logoOffset);
  field(h.logoLength);
  field(h.reserved84);
  field(h.bookmarksOffset);
  field(h.viewFlags);
  field(h.moreInfoOffset);
  field(h.reserved100);
  field(h.sortFlags);
  field(h.folderArrangement);
  field(h.keywordsOffset);
}

// Versions before 6 lack the reserved words and the two CRCs.
template <typename Fields, typename Record>
void NodeEntryFields(Fields&& field, Record& r, uint32_t version) {
  field(r.nLoc);
  field(r.nType);
  field(r.nReserved1);
  field(r.nIcon);
  field(r.nIndex);
  field(r.nParent);
  field(r.nFlags);
  field(r.nStorageLength);
  field(r.nRawLength);
  field(r.nKeyLength);
  field(r.nHashType);
  field(r.nCryptType);
  field(r.nTestLength);
  if (version >= 6) {
    field(r.nReserved);
    field(r.nDataCRC);
    field(r.nFileDataCRC);
  }
  field(r.strTitle);
}

template <typename Fields, typename Record>
void BookmarkFields(Fields&& field, Record& b) {
  field(b.nId);
  field(b.nReservedA);
  field(b.nReservedB);
  field(b.nNode);
  field(b.strName);
}

template <typename Fields, typename Record>
void TaskFields(Fields&& field, Record& t) {
  field(t.nId);
  field(t.strTitle);
  field(t.nFlags);
  field(t.nCreated);
  field(t.nStart);
  field(t.nDue);
  field(t.nPriority);
  field(t.nReserved1);
  field(t.nReserved2);
  field(t.nReserved3);
  field(t.nNode);
  field(t.nReserved4);
  field(t.nReserved5);
  field(t.strNotes);
}

}  // namespace

uint32_t ReadHeaderBody(BinaryReader& in, FileHeader& header) {
  uint32_t nodeCount = 0;
  HeaderFields(FieldReader{in}, header, nodeCount);
  if (header.version < 3) header.sortFlags = header.folderArrangement = 0;
  if (header.version < 5) header.keywordsOffset = 0;
  if (header.version < 6) header.moreInfoOffset = 0;
  return nodeCount;
}

void WriteHeader(ByteWriter& out, const FileHeader& header, uint32_t nodeCount) {
  WriteMagic(out, kPlainMagic);
  HeaderFields(FieldWriter{out}, header, nodeCount);
}

NTV ReadNodeEntry(BinaryReader& in, uint32_t version) {
  NTV r;
  NodeEntryFields(FieldReader{in}, r, version);
  if (version == 6) r.nDataCRC = r.nFileDataCRC = 0;  // present but not yet meaningful
  return r;
}

void WriteNodeEntry(ByteWriter& out, const NTV& r) { NodeEntryFields(FieldWriter{out}, r, kCurrentFileVersion); }

MLFBOOKMARK ReadBookmark(BinaryReader& in) {
  MLFBOOKMARK b;
  BookmarkFields(FieldReader{in}, b);
  return b;
}

void WriteBookmark(ByteWriter& out, const MLFBOOKMARK& b) { BookmarkFields(FieldWriter{out}, b); }

MLFTASK ReadTask(BinaryReader& in) {
  MLFTASK t;
  TaskFields(FieldReader{in}, t);
  return t;
}

void WriteTask(ByteWriter& out, const MLFTASK& t) { TaskFields(FieldWriter{out}, t); }

}  // namespace mlf
