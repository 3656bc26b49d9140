#include "imaging/bitmap.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "imaging/picture_decoder.h"
#include "imaging/picture_fixtures.h"
#include "imaging/picture_test_util.h"

namespace mlf {
namespace {

using ::testing::ElementsAre;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF,
                   kBlack = 0xFF000000, kGrey = 0xFF808080;

Bitmap Decode(const test::Bytes& bytes) {
  DecodedPicture picture = DecodePicture(bytes);
  EXPECT_TRUE(picture) << picture.reason;
  return std::move(picture.bitmap);
}

struct SourceCase {
  const char* name;
  test::Bytes (*make)();
  int bitsPerPixel;
};
void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

class BitmapSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(BitmapSourceTest, ReportsItsSizeAndDepth) {
  const Bitmap bitmap = Decode(GetParam().make());
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.BitsPerPixel(), GetParam().bitsPerPixel);
}

TEST_P(BitmapSourceTest, FourClockwiseTurnsGiveTheOriginalPixels) {
  const Bitmap original = Decode(GetParam().make());
  Bitmap turned = original.Clone();
  for (int turn = 0; turn < 4; ++turn) turned = turned.RotatedClockwise(1);
  EXPECT_EQ(turned.Width(), original.Width());
  EXPECT_EQ(test::PixelsOf(turned), test::PixelsOf(original));
}

TEST_P(BitmapSourceTest, ConvertsTo32BitsKeepingThePixels) {
  const Bitmap original = Decode(GetParam().make());
  const Bitmap converted = original.ConvertedTo32Bits();
  EXPECT_EQ(converted.BitsPerPixel(), 32);
  EXPECT_EQ(test::PixelsOf(converted), test::PixelsOf(original));
}

TEST_P(BitmapSourceTest, ResizesToTheGivenSize) {
  const Bitmap resized = Decode(GetParam().make()).ResizedBilinear(7, 5);
  EXPECT_EQ(resized.Width(), 7);
  EXPECT_EQ(resized.Height(), 5);
}

INSTANTIATE_TEST_SUITE_P(PixelFormats, BitmapSourceTest,
                         ::testing::Values(SourceCase{"TrueColour", test::PatternPpm, 24},
                                           SourceCase{"Palette", test::PatternGif, 4},
                                           SourceCase{"Grey", test::PatternPgm, 8},
                                           SourceCase{"WithAlpha", test::PatternPict, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BitmapTest, RotatesClockwiseByQuarterTurns) {
  // The pattern:  red   green blue
  //               white black grey
  const Bitmap pattern = Decode(test::PatternPpm());
  struct Case {
    int turns;
    int width;
    std::vector<uint32_t> pixels;
  };
  const Case cases[] = {
      {0, 3, {kRed, kGreen, kBlue, kWhite, kBlack, kGrey}},
      {1, 2, {kWhite, kRed, kBlack, kGreen, kGrey, kBlue}},
      {2, 3, {kGrey, kBlack, kWhite, kBlue, kGreen, kRed}},
      {3, 2, {kBlue, kGrey, kGreen, kBlack, kRed, kWhite}},
      {5, 2, {kWhite, kRed, kBlack, kGreen, kGrey, kBlue}},
      {-1, 2, {kBlue, kGrey, kGreen, kBlack, kRed, kWhite}},
  };
  for (const Case& c : cases) {
    const Bitmap turned = pattern.RotatedClockwise(c.turns);
    EXPECT_EQ(turned.Width(), c.width) << c.turns << " turns";
    EXPECT_EQ(test::PixelsOf(turned), c.pixels) << c.turns << " turns";
  }
}

TEST(BitmapTest, TransparentPaletteEntriesBecomeAlphaZero) {
  const Bitmap converted = Decode(test::PatternGifWithTransparentBlack()).ConvertedTo32Bits();
  EXPECT_THAT(test::PixelsOf(converted),
              ElementsAre(kRed, kGreen, kBlue, kWhite, kBlack & 0x00FFFFFF, kGrey));
}

TEST(BitmapTest, BilinearResizeGivesTheSizeAndBlendsNeighbours) {
  const Bitmap ramp = Decode(test::Pgm(2, 1, {0x00, 0xFF}));
  const Bitmap wide = ramp.ResizedBilinear(4, 3);
  ASSERT_EQ(wide.Width(), 4);
  ASSERT_EQ(wide.Height(), 3);
  const PixelBuffer pixels = wide.ToPixelBuffer();
  std::vector<int> row;
  for (int x = 0; x < 4; ++x) row.push_back(pixels.Pixel(x, 1) & 0xFF);
  // Nearest-neighbour sampling would give only 0 and 255.
  EXPECT_LT(row[0], row[1]);
  EXPECT_GT(row[1], 0);
  EXPECT_LT(row[1], row[2]);
  EXPECT_LT(row[2], 255);
  EXPECT_LT(row[2], row[3]);
  EXPECT_NEAR(row[0] + row[3], 255, 2) << "the ramp stays symmetric";
  EXPECT_NEAR(row[1] + row[2], 255, 2);
}

TEST(BitmapTest, BilinearResizeKeepsAUniformColour) {
  test::Bytes pixels;
  for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), {0xFF, 0x80, 0x10});
  const Bitmap orange = Decode(test::Ppm(4, 4, pixels));
  EXPECT_THAT(test::PixelsOf(orange.ResizedBilinear(2, 3)), ::testing::Each(0xFFFF8010u));
}

TEST(BitmapTest, ResizeToAnEmptySizeFails) {
  const Bitmap pattern = Decode(test::PatternPpm());
  EXPECT_TRUE(pattern.ResizedBilinear(0, 2).IsNull());
  EXPECT_TRUE(pattern.ResizedBilinear(3, -1).IsNull());
}

TEST(BitmapTest, PixelBufferRowsAreTopDownAndTightlyPacked) {
  const PixelBuffer pixels = Decode(test::PatternPpm()).ToPixelBuffer();
  EXPECT_EQ(pixels.Width(), 3);
  EXPECT_EQ(pixels.Height(), 2);
  EXPECT_EQ(pixels.Stride(), 12);
  // B, G, R, A bytes on a little-endian machine: QImage::Format_ARGB32.
  const uint8_t* secondRow = pixels.Data() + pixels.Stride();
  EXPECT_THAT(std::vector<uint8_t>(secondRow, secondRow + 4), ElementsAre(0xFF, 0xFF, 0xFF, 0xFF));
  EXPECT_THAT(std::vector<uint8_t>(pixels.Data(), pixels.Data() + 4),
              ElementsAre(0, 0, 0xFF, 0xFF));
}

TEST(BitmapTest, ANullBitmapGivesNullResults) {
  const Bitmap none;
  EXPECT_EQ(none.Width(), 0);
  EXPECT_EQ(none.BitsPerPixel(), 0);
  EXPECT_TRUE(none.ConvertedTo32Bits().IsNull());
  EXPECT_TRUE(none.RotatedClockwise(1).IsNull());
  EXPECT_TRUE(none.RotatedClockwise(0).IsNull());
  EXPECT_TRUE(none.ResizedBilinear(2, 2).IsNull());
  EXPECT_TRUE(none.ToPixelBuffer().IsEmpty());
}

}  // namespace
}  // namespace mlf
