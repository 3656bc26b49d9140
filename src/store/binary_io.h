// Little-endian reading and writing of the note file's records. The reader never trusts the
// file: every read is checked against the file's size and a C text stops at end of file.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file.h"

namespace mlf {

// A read that the file cannot satisfy: the file is damaged or cut short.
class DamagedFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BinaryReader {
 public:
  explicit BinaryReader(File& file);
  // Reads only the first size bytes of the file (at most its size).
  BinaryReader(File& file, uint64_t size);

  uint64_t Size() const { return m_size; }
  uint64_t Position() const { return m_position; }
  void Seek(uint64_t offset);
  uint64_t Remaining() const { return m_size - m_position; }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  void Bytes(void* data, size_t size);
  std::vector<uint8_t> Bytes(size_t size);
  // Single-byte text up to its terminating zero byte.
  std::string CText();

 private:
  void Fill();
  void Need(size_t size) const;

  File& m_file;
  uint64_t m_size;
  uint64_t m_position = 0;
  std::vector<uint8_t> m_buffer;
  uint64_t m_bufferStart = 0;  // file offset of m_buffer[0]
};

class ByteWriter {
 public:
  void U8(uint8_t v) { m_bytes.push_back(v); }
  void U16(uint16_t v) {
    const uint8_t bytes[] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    Bytes(bytes, sizeof bytes);
  }
  void U32(uint32_t v) {
    const uint8_t bytes[] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                             static_cast<uint8_t>(v >> 24)};
    Bytes(bytes, sizeof bytes);
  }
  void Bytes(const void* data, size_t size) {
    const auto* b = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), b, b + size);
  }
  void CText(const std::string& text) { Bytes(text.c_str(), text.size() + 1); }
  size_t Size() const { return m_bytes.size(); }
  std::vector<uint8_t>& Data() { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

}  // namespace mlf
