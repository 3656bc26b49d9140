// Windows bitmaps with the V4 and V5 headers (108 and 124 bytes), as many programs write them
// by default, built here byte by byte.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/picture_decoder.h"
#include "picture_test_util.h"

namespace mlf {
namespace {

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

struct BmpLayout {
  uint32_t headerSize;
  uint16_t bits;
  uint32_t compression;                // 0 none, 3 bit fields
  std::vector<uint32_t> masks;         // red, green, blue, alpha (in the header)
  std::vector<uint32_t> palette;       // 0x00RRGGBB entries
  std::vector<uint8_t> rows;           // bottom row first, each padded to 4 bytes
};

// A 2 x 2 picture.
std::vector<uint8_t> Bmp(const BmpLayout& s) {
  std::vector<uint8_t> info;
  Put32(info, s.headerSize);
  Put32(info, 2);  // width
  Put32(info, 2);  // height, bottom-up
  Put16(info, 1);
  Put16(info, s.bits);
  Put32(info, s.compression);
  Put32(info, static_cast<uint32_t>(s.rows.size()));
  Put32(info, 2835);
  Put32(info, 2835);
  Put32(info, static_cast<uint32_t>(s.palette.size()));
  Put32(info, 0);
  for (size_t i = 0; i < 4; ++i) Put32(info, i < s.masks.size() ? s.masks[i] : 0);
  Put32(info, 0x73524742);  // "sRGB" colour space
  info.resize(s.headerSize, 0);
  std::vector<uint8_t> out = {'B', 'M'};
  uint32_t pixelsAt = 14 + s.headerSize + 4 * static_cast<uint32_t>(s.palette.size());
  Put32(out, pixelsAt + static_cast<uint32_t>(s.rows.size()));
  Put32(out, 0);
  Put32(out, pixelsAt);
  out.insert(out.end(), info.begin(), info.end());
  for (uint32_t colour : s.palette) Put32(out, colour);
  out.insert(out.end(), s.rows.begin(), s.rows.end());
  return out;
}

TEST(BmpHeaderTest, V4AndV5HeadersDecode) {
  // Top row red, green; bottom row blue, white. Expected as 0xAARRGGBB from the top left.
  const std::vector<uint32_t> expected = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  const std::vector<uint8_t> rows24 = {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,   // blue, white, pad
                                       0, 0, 0xFF, 0, 0xFF, 0, 0, 0};        // red, green, pad
  const std::vector<uint8_t> rows32 = {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                       0, 0, 0xFF, 0xFF, 0, 0xFF, 0, 0xFF};
  const std::vector<uint8_t> rows565 = {0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07};
  const std::vector<uint8_t> rows8 = {2, 3, 0, 0, 0, 1, 0, 0};
  struct Case {
    const char* name;
    BmpLayout layout;
  };
  const std::vector<Case> cases = {
      {"V4, 24 bits", {108, 24, 0, {}, {}, rows24}},
      {"V5, 24 bits", {124, 24, 0, {}, {}, rows24}},
      {"V5, 32 bits with alpha mask", {124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {}, rows32}},
      {"V5, 16 bits 5-6-5", {124, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, rows565}},
      {"V5, 8-bit palette", {124, 8, 0, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, rows8}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedPicture picture = DecodePicture(Bmp(c.layout));
    ASSERT_TRUE(picture) << picture.reason;
    EXPECT_EQ(picture.format, PictureFormat::Bmp);
    EXPECT_EQ(test::PixelsOf(picture.bitmap), expected);
  }
}

TEST(BmpHeaderTest, DamagedV5HeadersAreRefusedWithAReason) {
  std::vector<uint8_t> good = Bmp({124, 24, 0, {}, {}, std::vector<uint8_t>(16, 0)});
  std::vector<uint8_t> cut(good.begin(), good.begin() + 60);
  std::vector<uint8_t> farPixels = good;
  farPixels[10] = 0xF0;
  farPixels[11] = 0xFF;
  std::vector<uint8_t> jpeg = good;
  jpeg[14 + 16] = 4;  // BI_JPEG
  for (const auto& bytes : {cut, farPixels, jpeg}) {
    DecodedPicture picture = DecodePicture(bytes);
    EXPECT_FALSE(picture);
    EXPECT_FALSE(picture.reason.empty());
  }
}

}  // namespace
}  // namespace mlf
