#include "store/binary_io.h"

#include <algorithm>
#include <cstring>

namespace mlf {

constexpr size_t kBufferSize = 256 * 1024;

BinaryReader::BinaryReader(File& file) : m_file(file), m_size(file.Size()) {}

BinaryReader::BinaryReader(File& file, uint64_t size) : m_file(file), m_size(std::min(size, file.Size())) {}

void BinaryReader::Seek(uint64_t offset) {
  if (offset > m_size) throw DamagedFileError("an offset lies beyond the end of the file");
  m_position = offset;
}

void BinaryReader::Need(size_t size) const {
  if (size > m_size - m_position) throw DamagedFileError("the file ends too early");
}

void BinaryReader::Fill() {
  m_bufferStart = m_position;
  m_buffer.resize(static_cast<size_t>(std::min<uint64_t>(kBufferSize, m_size - m_position)));
  m_file.Seek(m_position);
  m_file.ReadExact(m_buffer.data(), m_buffer.size());
}

void BinaryReader::Bytes(void* data, size_t size) {
  Need(size);
  auto* out = static_cast<uint8_t*>(data);
  while (size > 0) {
    if (m_position < m_bufferStart || m_position >= m_bufferStart + m_buffer.size()) Fill();
    size_t offset = static_cast<size_t>(m_position - m_bufferStart);
    size_t n = std::min(size, m_buffer.size() - offset);
    std::memcpy(out, m_buffer.data() + offset, n);
    out += n;
    size -= n;
    m_position += n;
  }
}

std::vector<uint8_t> BinaryReader::Bytes(size_t size) {
  Need(size);
  std::vector<uint8_t> bytes(size);
  Bytes(bytes.data(), size);
  return bytes;
}

uint8_t BinaryReader::U8() {
  uint8_t v;
  Bytes(&v, 1);
  return v;
}

uint16_t BinaryReader::U16() {
  uint8_t b[2];
  Bytes(b, 2);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t BinaryReader::U32() {
  uint8_t b[4];
  Bytes(b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

std::string BinaryReader::CText() {
  std::string text;
  while (true) {
    if (m_position >= m_size) throw DamagedFileError("a text runs past the end of the file");
    if (m_position < m_bufferStart || m_position >= m_bufferStart + m_buffer.size()) Fill();
    size_t offset = static_cast<size_t>(m_position - m_bufferStart);
    const uint8_t* start = m_buffer.data() + offset;
    const void* zero = std::memchr(start, 0, m_buffer.size() - offset);
    size_t n = zero ? static_cast<const uint8_t*>(zero) - start : m_buffer.size() - offset;
    text.append(reinterpret_cast<const char*>(start), n);
    m_position += n;
    if (zero) {
      ++m_position;
      return text;
    }
  }
}

}  // namespace mlf
