#include "imaging/picture_decoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "imaging/picture_encoder.h"
#include "imaging/picture_fixtures.h"
#include "imaging/picture_test_util.h"
#include "platform/mem_env.h"

namespace mlf {
namespace {

using test::Bytes;
using ::testing::HasSubstr;

struct DecodeCase {
  const char* name;
  Bytes (*make)();
  PictureFormat format;
  bool grey;  // holds kGreyPattern rather than kPattern
};

class DecodeFormatTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFormatTest, DecodesThePatternWithItsFormatAndOrientation) {
  const DecodeCase& c = GetParam();
  const Bytes bytes = c.make();
  EXPECT_EQ(DetectPictureFormat(bytes), c.format);

  const DecodedPicture picture = DecodePicture(bytes);
  ASSERT_TRUE(picture) << picture.reason;
  EXPECT_EQ(picture.format, c.format);
  EXPECT_EQ(picture.reason, "");
  EXPECT_EQ(picture.bitmap.Width(), test::kPatternWidth);
  EXPECT_EQ(picture.bitmap.Height(), test::kPatternHeight);
  const auto expected = c.grey ? test::GreyPatternPixels() : test::kPattern;
  EXPECT_THAT(test::PixelsOf(picture.bitmap), ::testing::ElementsAreArray(expected));
}

Bytes TgaTopDown() { return test::PatternTga(true); }
Bytes TgaBottomUp() { return test::PatternTga(false); }

INSTANTIATE_TEST_SUITE_P(
    EveryLosslessFormat, DecodeFormatTest,
    ::testing::Values(DecodeCase{"Bmp", test::PatternBmp, PictureFormat::Bmp, false},
                      DecodeCase{"Gif", test::PatternGif, PictureFormat::Gif, false},
                      DecodeCase{"Pcx", test::PatternPcx, PictureFormat::Pcx, false},
                      DecodeCase{"Pgm", test::PatternPgm, PictureFormat::Pgm, true},
                      DecodeCase{"Ppm", test::PatternPpm, PictureFormat::Ppm, false},
                      DecodeCase{"Pict", test::PatternPict, PictureFormat::Pict, false},
                      DecodeCase{"Psd", test::PatternPsd, PictureFormat::Psd, false},
                      DecodeCase{"Sgi", test::PatternSgi, PictureFormat::Sgi, false},
                      DecodeCase{"Iff", test::PatternIff, PictureFormat::Iff, false},
                      DecodeCase{"TgaTopDown", TgaTopDown, PictureFormat::Tga, false},
                      DecodeCase{"TgaBottomUp", TgaBottomUp, PictureFormat::Tga, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mlf
