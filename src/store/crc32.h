// The reflected CRC-32 of zlib (the CRC of "123456789" is 0xCBF43926). A record value of 0
// means that no CRC was recorded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mlf {

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);

class Crc32 {
 public:
  void Restart() { m_value = 0; }
  void Update(const void* data, size_t size) { m_value = Crc32Update(m_value, data, size); }
  uint32_t Value() const { return m_value; }

 private:
  uint32_t m_value = 0;
};

}  // namespace mlf
