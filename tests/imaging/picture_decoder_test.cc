#include "imaging/picture_decoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

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
  std::array<uint32_t, 6> pixels = test::kPattern;
};
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

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
  EXPECT_THAT(test::PixelsOf(picture.bitmap), ::testing::ElementsAreArray(c.pixels));
}

Bytes Bmp24() { return test::PatternBmp(24); }
Bytes Bmp32() { return test::PatternBmp(32); }
Bytes PsdRaw() { return test::PatternPsd(false); }
Bytes PsdPackBits() { return test::PatternPsd(true); }
Bytes TgaTopDown() { return test::PatternTga(true); }
Bytes TgaBottomUp() { return test::PatternTga(false); }

INSTANTIATE_TEST_SUITE_P(
    EveryLosslessFormat, DecodeFormatTest,
    ::testing::Values(DecodeCase{"Bmp", Bmp24, PictureFormat::Bmp},
                      DecodeCase{"Bmp32WithUnusedAlpha", Bmp32, PictureFormat::Bmp},
                      DecodeCase{"Gif", test::PatternGif, PictureFormat::Gif},
                      DecodeCase{"Pcx", test::PatternPcx, PictureFormat::Pcx},
                      DecodeCase{"Pgm", test::PatternPgm, PictureFormat::Pgm,
                                 test::GreyPatternPixels()},
                      DecodeCase{"Ppm", test::PatternPpm, PictureFormat::Ppm},
                      DecodeCase{"Pict", test::PatternPict, PictureFormat::Pict},
                      DecodeCase{"PictIndexed", test::PatternPictIndexed, PictureFormat::Pict},
                      DecodeCase{"PictBitMap", test::MonochromePict, PictureFormat::Pict,
                                 test::kMonochromePattern},
                      DecodeCase{"Psd", PsdRaw, PictureFormat::Psd},
                      DecodeCase{"PsdPackBits", PsdPackBits, PictureFormat::Psd},
                      DecodeCase{"Sgi", test::PatternSgi, PictureFormat::Sgi},
                      DecodeCase{"Iff", test::PatternIff, PictureFormat::Iff},
                      DecodeCase{"IffPbm", test::PatternIffPbm, PictureFormat::Iff},
                      DecodeCase{"TgaTopDown", TgaTopDown, PictureFormat::Tga},
                      DecodeCase{"TgaBottomUp", TgaBottomUp, PictureFormat::Tga}),
    [](const auto& info) { return std::string(info.param.name); });

Bytes Truncated(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes PatternPng() {
  return EncodePicture(test::PatternBitmap(test::PatternPpm()), EncodeFormat::Png);
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A run-length Targa picture of 3 x 2 pixels whose data is one run packet of orange. Its data
// is shorter than its rows are many, which gave the codec's read cache no room at all.
Bytes RunLengthTga(uint8_t packet) {
  return {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20, packet, 0x10, 0x80, 0xFF};
}

TEST(DecodePictureTest, ARunLengthTargaThatFillsThePictureExactlyDecodes) {
  const DecodedPicture picture = DecodePicture(RunLengthTga(0x80 | 5));
  ASSERT_TRUE(picture) << picture.reason;
  EXPECT_THAT(test::PixelsOf(picture.bitmap), ::testing::Each(0xFFFF8010u));
}

// A DOS EPS header, a line of PostScript and the pattern as a TIFF preview.
Bytes EpsWithTiffPreview() {
  const std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n";
  const Bytes tiff = EncodePicture(test::PatternBitmap(test::PatternPpm()), EncodeFormat::Tiff);
  Bytes eps = {0xC5, 0xD0, 0xD3, 0xC6};
  auto le32 = [&](size_t v) {
    for (int i = 0; i < 4; ++i) eps.push_back(uint8_t(v >> (8 * i)));
  };
  le32(30), le32(postScript.size()), le32(0), le32(0), le32(30 + postScript.size()),
      le32(tiff.size());
  eps.insert(eps.end(), {0xFF, 0xFF});
  eps.insert(eps.end(), postScript.begin(), postScript.end());
  eps.insert(eps.end(), tiff.begin(), tiff.end());
  return eps;
}

TEST(DecodePictureTest, AnEpsPictureShowsItsTiffPreview) {
  const DecodedPicture picture = DecodePicture(EpsWithTiffPreview());
  ASSERT_TRUE(picture) << picture.reason;
  EXPECT_EQ(picture.format, PictureFormat::EpsTiff);
  EXPECT_THAT(test::PixelsOf(picture.bitmap), ::testing::ElementsAreArray(test::kPattern));
}

struct RefusalCase {
  const char* name;
  Bytes bytes;
  PictureFormat format;
  const char* reason;  // a part of the reason text
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, FailsWithAReason) {
  const RefusalCase& c = GetParam();
  const DecodedPicture picture = DecodePicture(c.bytes);
  EXPECT_FALSE(picture);
  EXPECT_TRUE(picture.bitmap.IsNull());
  EXPECT_EQ(picture.format, c.format);
  EXPECT_THAT(picture.reason, HasSubstr(c.reason));
}

Bytes WithSize(Bytes bytes, size_t at, std::initializer_list<uint8_t> value) {
  std::copy(value.begin(), value.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    DamagedAndForeignInput, RefusalTest,
    ::testing::Values(
        RefusalCase{"Empty", {}, PictureFormat::Unknown, "empty"},
        RefusalCase{"TextFile", Text("Dear diary,\r\nnothing happened today.\r\n"),
                    PictureFormat::Unknown, "not a picture"},
        RefusalCase{"PngCutAfterItsHeader", Truncated(PatternPng(), 40), PictureFormat::Png,
                    "PNG picture is damaged"},
        RefusalCase{"PngCutInItsSignature", Truncated(PatternPng(), 5), PictureFormat::Unknown,
                    "not a picture"},
        RefusalCase{"PlaceableMetafile",
                    Bytes{0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0x10, 0, 0x10, 0, 0, 0},
                    PictureFormat::Wmf, "Windows metafiles (WMF) cannot be shown yet"},
        RefusalCase{"PlainMetafile",
                    Bytes{1, 0, 9, 0, 0, 3, 0x20, 0, 0, 0, 1, 0, 0x10, 0, 0, 0, 0, 0},
                    PictureFormat::Wmf, "no metafile renderer"},
        RefusalCase{"RecordOneWithoutTheEmfSignature",
                    WithSize(Bytes(88, 0), 0, {1, 0, 0, 0}) /* record type 1 */,
                    PictureFormat::Unknown, "not a picture"},
        RefusalCase{"EnhancedMetafileWithSignature",
                    WithSize(WithSize(Bytes(88, 0), 0, {1, 0, 0, 0}), 40, {' ', 'E', 'M', 'F'}),
                    PictureFormat::Emf, "Enhanced metafiles (EMF) cannot be shown yet"},
        // The codec library's own reader would write past its line buffer on these.
        RefusalCase{"PsdRowLongerThanItsLine",
                    WithSize(test::PatternPsd(true), test::kPsdFirstRowCount, {0, 0x68}),
                    PictureFormat::Psd, "compressed rows are damaged"},
        RefusalCase{"PsdRunPastItsRow",
                    WithSize(test::PatternPsd(true), test::kPsdFirstRowCount + 12, {0x7F}),
                    PictureFormat::Psd, "compressed rows are damaged"},
        RefusalCase{"PsdCutShort", Truncated(test::PatternPsd(true), 60), PictureFormat::Psd,
                    "compressed rows are damaged"},
        RefusalCase{"TgaWiderThanItsBytesCanHold",
                    Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFD, 0xF9, 0x02, 0x10, 24, 0},
                    PictureFormat::Tga, "too large"},
        RefusalCase{"TgaRunPastTheLastPixel", RunLengthTga(0x80 | 6), PictureFormat::Tga,
                    "goes past the end of the picture"},
        RefusalCase{"TgaRunLengthCutShort", Truncated(RunLengthTga(0x80 | 5), 20),
                    PictureFormat::Tga, "cut short"},
        RefusalCase{"IffChunksOvershootTheForm", WithSize(test::PatternIff(), 4, {0, 0, 0, 40}),
                    PictureFormat::Iff, "do not add up"},
        RefusalCase{"IffPbmRowLongerThanALine",
                    WithSize(test::PatternIffPbm(), test::kPbmFirstRow, {5}), PictureFormat::Iff,
                    "longer than the picture is wide"},
        RefusalCase{"IffPbmCutShort", Truncated(test::PatternIffPbm(), test::kPbmFirstRow + 3),
                    PictureFormat::Iff, "cut short"},
        RefusalCase{"PcxWiderThanItsRows", WithSize(test::PatternPcx(), 8, {0x02, 0x7F}),
                    PictureFormat::Pcx, "rows are shorter than the picture is wide"},
        RefusalCase{"PcxRowsFarLongerThanWide", WithSize(test::PatternPcx(), 66, {0x04, 0xFF}),
                    PictureFormat::Pcx, "far longer than the picture is wide"},
        RefusalCase{"PcxEmptyWindow", WithSize(test::PatternPcx(), 4, {0x05, 0x00}),
                    PictureFormat::Pcx, "window is empty"},
        RefusalCase{"PortableBitmap", Text("P4 8 1\n\x55"), PictureFormat::Unknown,
                    "Portable bitmaps (PBM) are not supported"},
        RefusalCase{"WindowsIcon", Bytes{0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0, 1, 0, 0},
                    PictureFormat::Unknown, "not a picture in a known format"},
        RefusalCase{"HugeGrayMap", Text("P5 60000 60000 255\n\x01\x02"), PictureFormat::Pgm,
                    "too large"},
        RefusalCase{"HugeGifScreen", WithSize(test::PatternGif(), 6, {0x60, 0xEA, 0x60, 0xEA}),
                    PictureFormat::Gif, "too large"},
        RefusalCase{"BmpWiderThanItsBytesCanHold",
                    WithSize(test::PatternBmp(32), 18, {0x03, 0x00, 0x00, 0x07}),
                    PictureFormat::Bmp, "too large"},
        RefusalCase{"HugeSgi", WithSize(test::PatternSgi(), 6, {0xEA, 0x60, 0xEA, 0x60}),
                    PictureFormat::Sgi, "too large"},
        RefusalCase{"HugeIff", WithSize(test::PatternIff(), 20, {0xEA, 0x60, 0xEA, 0x60}),
                    PictureFormat::Iff, "too large"},
        RefusalCase{"HugePictBitMap",
                    WithSize(test::PatternPict(), 0x240, {0x7F, 0xFF, 0x7F, 0xFF}),
                    PictureFormat::Pict, "too large"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodePictureTest, CodecMessagesStayWithTheThreadThatCausedThem) {
  const Bytes damaged = Truncated(PatternPng(), 40);
  const Bytes sound = test::PatternPpm();
  std::atomic<int> leaks{0};
  auto decodeMany = [&](const Bytes& bytes, bool expectReason) {
    for (int i = 0; i < 200; ++i)
      if (DecodePicture(bytes).reason.empty() == expectReason) ++leaks;
  };
  std::thread failing(decodeMany, std::cref(damaged), true);
  std::thread succeeding(decodeMany, std::cref(sound), false);
  failing.join();
  succeeding.join();
  EXPECT_EQ(leaks, 0);
}

TEST(DecodePictureTest, AllowsAtMost16384PixelsAByteWithinFixedBounds) {
  EXPECT_EQ(MaxPicturePixels(0), uint64_t{1} << 24);
  EXPECT_EQ(MaxPicturePixels(2048), uint64_t{1} << 25);
  EXPECT_EQ(MaxPicturePixels(size_t{1} << 20), uint64_t{1} << 28);
}

TEST(DecodePictureFileTest, ReadsTheFileThroughTheEnv) {
  MemEnv env;
  const Bytes ppm = test::PatternPpm();
  env.PutFile("/pictures/pattern.ppm", std::string(ppm.begin(), ppm.end()));
  const DecodedPicture picture = DecodePictureFile(env, "/pictures/pattern.ppm");
  ASSERT_TRUE(picture) << picture.reason;
  EXPECT_EQ(picture.format, PictureFormat::Ppm);
  EXPECT_EQ(picture.bitmap.Width(), test::kPatternWidth);
}

TEST(DecodePictureFileTest, AMissingFileFailsWithTheFileError) {
  MemEnv env;
  const DecodedPicture picture = DecodePictureFile(env, "/pictures/missing.png");
  EXPECT_FALSE(picture);
  EXPECT_THAT(picture.reason, HasSubstr("/pictures/missing.png"));
}

}  // namespace
}  // namespace mlf
