// What the image view spends on a large photo: decoding, the 32-bit working copy, a quarter
// turn, the bilinear shrink to the window and the pixel buffer the screen is drawn from.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/picture_decoder.h"
#include "imaging/picture_encoder.h"

namespace mlf {
namespace {

constexpr int kWidth = 2000, kHeight = 1000;

// A smooth 24-bit picture, as a binary PPM.
std::vector<uint8_t> Photo() {
  std::string ppm = "P6 " + std::to_string(kWidth) + " " + std::to_string(kHeight) + " 255\n";
  std::vector<uint8_t> bytes(ppm.begin(), ppm.end());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      bytes.insert(bytes.end(), {uint8_t(x * 255 / kWidth), uint8_t(y * 255 / kHeight),
                                 uint8_t((x ^ y) & 0xFF)});
  return bytes;
}

const Bitmap& PhotoBitmap() {
  static const DecodedPicture photo = DecodePicture(Photo());
  return photo.bitmap;
}

void SetPixels(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * int64_t{kWidth} * kHeight);
}

void BM_DecodePng(benchmark::State& state) {
  const std::vector<uint8_t> png = EncodePicture(PhotoBitmap(), EncodeFormat::Png);
  for (auto _ : state) benchmark::DoNotOptimize(DecodePicture(png));
  SetPixels(state);
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State& state) {
  const std::vector<uint8_t> jpeg = EncodePicture(PhotoBitmap(), EncodeFormat::Jpeg);
  for (auto _ : state) benchmark::DoNotOptimize(DecodePicture(jpeg));
  SetPixels(state);
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

void BM_ConvertTo32Bits(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(PhotoBitmap().ConvertedTo32Bits());
  SetPixels(state);
}
BENCHMARK(BM_ConvertTo32Bits)->Unit(benchmark::kMillisecond);

void BM_RotateQuarterTurn(benchmark::State& state) {
  const Bitmap working = PhotoBitmap().ConvertedTo32Bits();
  for (auto _ : state) benchmark::DoNotOptimize(working.RotatedClockwise(1));
  SetPixels(state);
}
BENCHMARK(BM_RotateQuarterTurn)->Unit(benchmark::kMillisecond);

// The shrink of a 2000 x 1000 picture into a 500 x 500 window.
void BM_BilinearShrinkToWindow(benchmark::State& state) {
  const Bitmap working = PhotoBitmap().ConvertedTo32Bits();
  for (auto _ : state) benchmark::DoNotOptimize(working.ResizedBilinear(500, 250));
  SetPixels(state);
}
BENCHMARK(BM_BilinearShrinkToWindow)->Unit(benchmark::kMillisecond);

void BM_PixelBuffer(benchmark::State& state) {
  const Bitmap working = PhotoBitmap().ConvertedTo32Bits();
  for (auto _ : state) benchmark::DoNotOptimize(working.ToPixelBuffer());
  SetPixels(state);
}
BENCHMARK(BM_PixelBuffer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mlf
