#include "imaging/picture_encoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/picture_decoder.h"
#include "imaging/picture_fixtures.h"
#include "imaging/picture_test_util.h"
#include "platform/fault_env.h"
#include "platform/mem_env.h"

namespace mlf {
namespace {

using ::testing::HasSubstr;

Bitmap Decode(const test::Bytes& bytes) {
  DecodedPicture picture = DecodePicture(bytes);
  EXPECT_TRUE(picture) << picture.reason;
  return std::move(picture.bitmap);
}

struct LosslessCase {
  const char* name;
  EncodeFormat format;
  PictureFormat detected;
  test::Bytes (*source)();
};
void PrintTo(const LosslessCase& c, std::ostream* os) { *os << c.name; }

class LosslessRoundTripTest : public ::testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessRoundTripTest, DecodesToThePixelsThatWereEncoded) {
  const LosslessCase& c = GetParam();
  const Bitmap original = Decode(c.source());
  std::string reason;
  const std::vector<uint8_t> bytes = EncodePicture(original, c.format, &reason);
  ASSERT_FALSE(bytes.empty()) << reason;
  const DecodedPicture decoded = DecodePicture(bytes);
  ASSERT_TRUE(decoded) << decoded.reason;
  EXPECT_EQ(decoded.format, c.detected);
  EXPECT_EQ(test::PixelsOf(decoded.bitmap), test::PixelsOf(original));
}

test::Bytes TransparentPattern() { return test::PatternGifWithTransparentBlack(); }

INSTANTIATE_TEST_SUITE_P(
    Formats, LosslessRoundTripTest,
    ::testing::Values(
        LosslessCase{"BmpTrueColour", EncodeFormat::WindowsBitmap, PictureFormat::Bmp,
                     test::PatternPpm},
        LosslessCase{"BmpPalette", EncodeFormat::WindowsBitmap, PictureFormat::Bmp,
                     test::PatternGif},
        LosslessCase{"PngTrueColour", EncodeFormat::Png, PictureFormat::Png, test::PatternPpm},
        LosslessCase{"PngGrey", EncodeFormat::Png, PictureFormat::Png, test::PatternPgm},
        LosslessCase{"PngTransparent", EncodeFormat::Png, PictureFormat::Png, TransparentPattern},
        LosslessCase{"PngAlpha", EncodeFormat::Png, PictureFormat::Png, test::PatternPict},
        LosslessCase{"TiffTrueColour", EncodeFormat::Tiff, PictureFormat::Tiff, test::PatternPpm},
        LosslessCase{"TiffPalette", EncodeFormat::Tiff, PictureFormat::Tiff, test::PatternGif},
        LosslessCase{"TiffAlpha", EncodeFormat::Tiff, PictureFormat::Tiff, test::PatternPict}),
    [](const auto& info) { return std::string(info.param.name); });

// 16 x 16 pixels in four plain 8 x 8 quarters, which JPEG keeps close to their colours.
test::Bytes Quarters() {
  const uint8_t colours[4][3] = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}, {0xFF, 0xFF, 0xFF}};
  test::Bytes pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint8_t* c = colours[(y / 8) * 2 + x / 8];
      pixels.insert(pixels.end(), c, c + 3);
    }
  return test::Ppm(16, 16, pixels);
}

void ExpectNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int a = int(actual >> shift) & 0xFF, e = int(expected >> shift) & 0xFF;
    EXPECT_LE(std::abs(a - e), tolerance) << std::hex << actual << " vs " << expected;
  }
}

TEST(JpegEncodingTest, KeepsTheColoursWithinTheLossOfTheCodec) {
  const std::vector<uint8_t> bytes = EncodePicture(Decode(Quarters()), EncodeFormat::Jpeg);
  const DecodedPicture decoded = DecodePicture(bytes);
  ASSERT_TRUE(decoded) << decoded.reason;
  EXPECT_EQ(decoded.format, PictureFormat::Jpeg);
  const PixelBuffer pixels = decoded.bitmap.ToPixelBuffer();
  ASSERT_EQ(pixels.Width(), 16);
  ExpectNear(pixels.Pixel(3, 3), 0xFF0000, 40);
  ExpectNear(pixels.Pixel(12, 3), 0x00FF00, 40);
  ExpectNear(pixels.Pixel(3, 12), 0x0000FF, 40);
  ExpectNear(pixels.Pixel(12, 12), 0xFFFFFF, 40);
}

TEST(JpegEncodingTest, PutsTransparentPartsOnWhite) {
  const Bitmap transparent = Decode(test::PatternGifWithTransparentBlack()).ConvertedTo32Bits();
  const std::vector<uint8_t> bytes = EncodePicture(transparent, EncodeFormat::Jpeg);
  const DecodedPicture decoded = DecodePicture(bytes);
  ASSERT_TRUE(decoded) << decoded.reason;
  EXPECT_EQ(decoded.bitmap.BitsPerPixel(), 24);
  // A 3 x 2 picture blurs its colours together; the transparent black must come out light.
  EXPECT_GT(decoded.bitmap.ToPixelBuffer().Pixel(1, 1) & 0xFF, 0x80u);
}

TEST(EncodePictureTest, ANullBitmapFailsWithAReason) {
  std::string reason;
  EXPECT_TRUE(EncodePicture(Bitmap(), EncodeFormat::Png, &reason).empty());
  EXPECT_THAT(reason, HasSubstr("no picture"));
}

TEST(EncodePictureTest, ExportFormatCodesChooseTheirEncoder) {
  EXPECT_EQ(EncodeFormatOf(ImageFormatCode::WindowsBitmap), EncodeFormat::WindowsBitmap);
  EXPECT_EQ(EncodeFormatOf(ImageFormatCode::Jpeg), EncodeFormat::Jpeg);
  EXPECT_EQ(EncodeFormatOf(ImageFormatCode::Png), EncodeFormat::Png);
  EXPECT_EQ(EncodeFormatOf(ImageFormatCode::Tiff), EncodeFormat::Tiff);
  for (ImageFormatCode code :
       {ImageFormatCode::None, ImageFormatCode::Gif, ImageFormatCode::Pcx, ImageFormatCode::Pict,
        ImageFormatCode::Pgm, ImageFormatCode::Targa, ImageFormatCode::Metafile})
    EXPECT_EQ(EncodeFormatOf(code), std::nullopt) << static_cast<int>(code);
}

TEST(WritePictureFileTest, WritesAFileThatDecodesAgain) {
  MemEnv env;
  env.CreateDirectory("/export");
  env.PutFile("/export/pic.png", "older bytes");
  const Bitmap pattern = Decode(test::PatternPpm());
  std::string reason;
  ASSERT_TRUE(WritePictureFile(env, "/export/pic.png", pattern, EncodeFormat::Png, &reason))
      << reason;
  const DecodedPicture decoded = DecodePictureFile(env, "/export/pic.png");
  ASSERT_TRUE(decoded) << decoded.reason;
  EXPECT_EQ(decoded.format, PictureFormat::Png);
  EXPECT_EQ(test::PixelsOf(decoded.bitmap), test::PixelsOf(pattern));
}

TEST(WritePictureFileTest, AFileThatCannotBeWrittenFailsWithTheFileError) {
  MemEnv memory;
  FaultEnv env(memory);
  env.FailAt(1, true);
  std::string reason;
  EXPECT_FALSE(WritePictureFile(env, "/export/pic.bmp", Decode(test::PatternPpm()),
                                EncodeFormat::WindowsBitmap, &reason));
  EXPECT_THAT(reason, HasSubstr("/export/pic.bmp"));
}

}  // namespace
}  // namespace mlf
