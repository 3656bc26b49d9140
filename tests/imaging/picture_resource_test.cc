#include "imaging/picture_resource.h"

#include <gtest/gtest.h>

namespace mlf {
namespace {

TEST(PictureResourceTest, TheDefaultLogoIsA128PixelPngWithTransparentCorners) {
  const DecodedPicture logo = DecodePictureResource(PictureResource::DefaultLogo);
  ASSERT_TRUE(logo) << logo.reason;
  EXPECT_EQ(logo.format, PictureFormat::Png);
  EXPECT_EQ(logo.bitmap.Width(), 128);
  EXPECT_EQ(logo.bitmap.Height(), 128);
  EXPECT_EQ(logo.bitmap.BitsPerPixel(), 32);
  const PixelBuffer pixels = logo.bitmap.ToPixelBuffer();
  EXPECT_EQ(pixels.Pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(pixels.Pixel(64, 10) >> 24, 0xFFu);
  EXPECT_LT(PictureResourceBytes(PictureResource::DefaultLogo).size(), 8192u) << "keep it small";
}

}  // namespace
}  // namespace mlf
