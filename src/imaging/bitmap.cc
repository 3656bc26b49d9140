#include "imaging/bitmap.h"

#include <cstring>

#include "imaging/freeimage_support.h"

namespace mlf {

static_assert(FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR && FI_RGBA_ALPHA == 3,
              "32-bit rows are copied as 0xAARRGGBB words, which needs B, G, R, A bytes");

Bitmap::~Bitmap() {
  if (m_dib) FreeImage_Unload(m_dib);
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this != &other) {
    if (m_dib) FreeImage_Unload(m_dib);
    m_dib = other.m_dib;
    other.m_dib = nullptr;
  }
  return *this;
}

int Bitmap::Width() const { return m_dib ? static_cast<int>(FreeImage_GetWidth(m_dib)) : 0; }
int Bitmap::Height() const { return m_dib ? static_cast<int>(FreeImage_GetHeight(m_dib)) : 0; }
int Bitmap::BitsPerPixel() const { return m_dib ? static_cast<int>(FreeImage_GetBPP(m_dib)) : 0; }

Bitmap Bitmap::Clone() const {
  imaging::CodecMessages messages;
  return Bitmap(m_dib ? FreeImage_Clone(m_dib) : nullptr);
}

Bitmap Bitmap::ConvertedTo32Bits() const {
  imaging::CodecMessages messages;
  return Bitmap(m_dib ? FreeImage_ConvertTo32Bits(m_dib) : nullptr);
}

Bitmap Bitmap::RotatedClockwise(int quarterTurns) const {
  const int turns = ((quarterTurns % 4) + 4) % 4;
  if (turns == 0) return Clone();
  if (!m_dib) return Bitmap();
  imaging::CodecMessages messages;
  // The library cannot turn 4- and 16-bit bitmaps; widen those first.
  Bitmap widened;
  if (BitsPerPixel() == 4) widened = Bitmap(FreeImage_ConvertTo8Bits(m_dib));
  if (BitsPerPixel() == 16) widened = Bitmap(FreeImage_ConvertTo24Bits(m_dib));
  FIBITMAP* source = widened ? widened.Handle() : m_dib;
  // The library turns anticlockwise for positive angles.
  return Bitmap(FreeImage_Rotate(source, -90.0 * turns));
}

Bitmap Bitmap::ResizedBilinear(int width, int height) const {
  if (!m_dib || width <= 0 || height <= 0) return Bitmap();
  imaging::CodecMessages messages;
  return Bitmap(FreeImage_Rescale(m_dib, width, height, FILTER_BILINEAR));
}

PixelBuffer Bitmap::ToPixelBuffer() const {
  if (!m_dib) return PixelBuffer();
  Bitmap converted;
  FIBITMAP* source = m_dib;
  if (BitsPerPixel() != 32) {
    converted = ConvertedTo32Bits();
    if (!converted) return PixelBuffer();
    source = converted.Handle();
  }
  PixelBuffer pixels(Width(), Height());
  // The library keeps its rows bottom-up.
  for (int y = 0; y < pixels.Height(); ++y) {
    std::memcpy(pixels.Row(y), FreeImage_GetScanLine(source, pixels.Height() - 1 - y),
                static_cast<size_t>(pixels.Stride()));
  }
  return pixels;
}

}  // namespace mlf
