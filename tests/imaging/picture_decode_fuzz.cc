// Fuzzes decoding from memory, and for what decodes, the operations the image view and the
// export run on a picture.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/picture_decoder.h"
#include "imaging/picture_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const mlf::DecodedPicture picture = mlf::DecodePicture(std::span(data, size));
  const mlf::Bitmap& bitmap = picture.bitmap;
  // Large pictures only cost time here: every operation below scales with the pixel count.
  if (!picture || uint64_t(bitmap.Width()) * uint64_t(bitmap.Height()) > (1u << 20)) return 0;
  const mlf::Bitmap working = bitmap.ConvertedTo32Bits().RotatedClockwise(1);
  working.ResizedBilinear(working.Width() / 2 + 1, working.Height() / 3 + 1).ToPixelBuffer();
  bitmap.RotatedClockwise(2).ToPixelBuffer();
  mlf::EncodePicture(bitmap, mlf::EncodeFormat::Png);
  mlf::EncodePicture(bitmap, mlf::EncodeFormat::Jpeg);
  return 0;
}
