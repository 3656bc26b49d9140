// Pixels in the form the GUI wraps without copying:
//   QImage(buffer.Data(), buffer.Width(), buffer.Height(), buffer.Stride(), QImage::Format_ARGB32)
// Rows run top-down, Stride() bytes apart; each pixel is one native-endian uint32 0xAARRGGBB
// with straight (not premultiplied) alpha, so the bytes are B, G, R, A on little-endian
// machines. The buffer must outlive any QImage that wraps it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mlf {

class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(int width, int height)
      : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height) {}

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Bytes from the start of one row to the next.
  int Stride() const { return m_width * 4; }
  bool IsEmpty() const { return m_pixels.empty(); }

  const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(m_pixels.data()); }
  uint8_t* Data() { return reinterpret_cast<uint8_t*>(m_pixels.data()); }
  uint32_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * m_width; }
  // 0xAARRGGBB of the pixel in column x of row y, counted from the top left.
  uint32_t Pixel(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_width + x]; }

 private:
  int m_width = 0;
  int m_height = 0;
  std::vector<uint32_t> m_pixels;
};

}  // namespace mlf
