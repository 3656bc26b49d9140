// A node's content through the store's own stream pipelines, and the test cipher's key on a
// node: the set-up that tests of the store share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mlf {
class CMarrowleafDoc;
}

namespace mlf::test {

// The node's whole content, read in pieces of piece bytes (a small piece exercises the reads
// that end inside a block).
std::string ReadStream(CMarrowleafDoc& doc, uint32_t id, size_t piece = 4096);

// Writes content as the node's new stream; false when the stream could not be finished.
bool WriteStream(CMarrowleafDoc& doc, uint32_t id, const std::string& content, bool compress = true);

// Gives the node the key fields of TestCrypt with a 16-byte key and the test block length,
// saves the record (marking the document modified), and remembers the password for this run.
void UseTestKey(CMarrowleafDoc& doc, uint32_t id, const std::string& password, uint32_t testLength);

}  // namespace mlf::test
