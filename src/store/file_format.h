// The note file's byte layout: the magic text, the 112-byte plain header, the node table
// entries (44 bytes plus the title up to version 5, 72 bytes plus the title from version 6),
// the section blocks and the envelope of an encrypted file. All integers are little-endian.
#pragma once

#include <cstdint>
#include <string>

#include "store/binary_io.h"
#include "store/collection_records.h"
#include "store/file_header.h"
#include "store/node_record.h"

namespace mlf {

inline constexpr const char* kEncryptedMagic = "Encrypted Marrowleaf File";
inline constexpr const char* kEncryptedMagicV2 = "Encrypted Marrowleaf File V2";
constexpr uint32_t kMaxMagicLength = 63;

// The magic: uint32 N = 2 x characters + 2, then N bytes of UTF-16LE with a terminating zero.
// A length over 63 reads as an empty magic.
std::string ReadMagic(BinaryReader& in);
void WriteMagic(ByteWriter& out, const std::string& magic);

// The 76 bytes that follow the plain magic; returns the node count. Fields a version lacks read
// as 0.
uint32_t ReadHeaderBody(BinaryReader& in, FileHeader& header);
void WriteHeader(ByteWriter& out, const FileHeader& header, uint32_t nodeCount);

NTV ReadNodeEntry(BinaryReader& in, uint32_t version);
void WriteNodeEntry(ByteWriter& out, const NTV& record);

// Section entries: a bookmark is stored as id, reserved A, reserved B, node, name.
MLFBOOKMARK ReadBookmark(BinaryReader& in);
void WriteBookmark(ByteWriter& out, const MLFBOOKMARK& bookmark);
MLFTASK ReadTask(BinaryReader& in);
void WriteTask(ByteWriter& out, const MLFTASK& task);

}  // namespace mlf
