// A decoded picture: an owned bitmap of the codec library in the picture's own pixel format
// (1, 4, 8, 16, 24 or 32 bits per pixel, 8 bits per channel at most). Bitmaps are moved, not
// copied; every operation returns a new bitmap and leaves this one unchanged, and returns a
// null bitmap when it fails (a null bitmap in, or no memory).
#pragma once

#include "imaging/pixel_buffer.h"

struct FIBITMAP;

namespace mlf {

class Bitmap {
 public:
  Bitmap() = default;
  // Takes ownership; for the codec layer's own files.
  explicit Bitmap(FIBITMAP* dib) : m_dib(dib) {}
  ~Bitmap();
  Bitmap(Bitmap&& other) noexcept : m_dib(other.m_dib) { other.m_dib = nullptr; }
  Bitmap& operator=(Bitmap&& other) noexcept;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  bool IsNull() const { return m_dib == nullptr; }
  explicit operator bool() const { return m_dib != nullptr; }

  // 0 for a null bitmap.
  int Width() const;
  int Height() const;
  int BitsPerPixel() const;

  Bitmap Clone() const;
  // 32 bits per pixel with alpha (A8R8G8B8); transparent palette entries become alpha 0.
  Bitmap ConvertedTo32Bits() const;
  // quarterTurns clockwise: 1 is 90 degrees, 2 is 180, 3 is 270; taken modulo 4. Bitmaps of 4
  // and 16 bits per pixel come back with 8 and 24.
  Bitmap RotatedClockwise(int quarterTurns) const;
  // Resampled to width x height with a bilinear filter; null when either is not positive.
  Bitmap ResizedBilinear(int width, int height) const;
  // The pixels as 32-bit ARGB rows, top-down; empty for a null bitmap.
  PixelBuffer ToPixelBuffer() const;

  // For the codec layer's own files.
  FIBITMAP* Handle() const { return m_dib; }

 private:
  FIBITMAP* m_dib = nullptr;
};

}  // namespace mlf
