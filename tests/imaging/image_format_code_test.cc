#include "imaging/image_format_code.h"

#include <gtest/gtest.h>

namespace mlf {
namespace {

TEST(ImageFormatCodeTest, MapsEveryDetectedFormatToItsExportCode) {
  const std::pair<PictureFormat, int> table[] = {
      {PictureFormat::Bmp, 1},     {PictureFormat::Gif, 2},    {PictureFormat::Jpeg, 3},
      {PictureFormat::Pcx, 4},     {PictureFormat::Pict, 5},   {PictureFormat::Pgm, 6},
      {PictureFormat::Png, 7},     {PictureFormat::Tga, 8},    {PictureFormat::Tiff, 9},
      {PictureFormat::Wmf, 10},    {PictureFormat::Emf, 10},   {PictureFormat::Ppm, 0},
      {PictureFormat::Psd, 0},     {PictureFormat::Sgi, 0},    {PictureFormat::Iff, 0},
      {PictureFormat::EpsTiff, 9}, {PictureFormat::Unknown, 0}};
  for (auto [format, code] : table)
    EXPECT_EQ(static_cast<int>(ImageFormatCodeOf(format)), code) << PictureFormatName(format);
}

TEST(ImageFormatCodeTest, EachCodeHasTheExtensionListedFirstForIt) {
  const char* extensions[] = {"",    "bmp", "gif", "jpg", "pcx", "pic",
                              "pgm", "png", "tga", "tif", "emf"};
  for (int code = 0; code <= 10; ++code)
    EXPECT_EQ(ImageFormatExtension(static_cast<ImageFormatCode>(code)), extensions[code]) << code;
}

TEST(ImageFormatCodeTest, AddsTheExtensionUnlessTheNameEndsWithIt) {
  struct Case {
    const char* name;
    ImageFormatCode code;
    const char* expected;
  };
  const Case cases[] = {
      {"Photo", ImageFormatCode::Jpeg, "Photo.jpg"},
      {"photo.JPG", ImageFormatCode::Jpeg, "photo.JPG"},
      {"Title", ImageFormatCode::Metafile, "Title.emf"},
      {"pic", ImageFormatCode::Png, "pic.png"},
      {"Photo.jpeg", ImageFormatCode::Jpeg, "Photo.jpeg.jpg"},
      {"a.jpg.txt", ImageFormatCode::Jpeg, "a.jpg.txt.jpg"},
      {"my.jpgs.jpg", ImageFormatCode::Jpeg, "my.jpgs.jpg"},
      {"scan.tif.tif", ImageFormatCode::Tiff, "scan.tif.tif"},
      {"jpg", ImageFormatCode::Jpeg, "jpg.jpg"},
      {"scan", ImageFormatCode::None, "scan"},
  };
  for (const Case& c : cases) EXPECT_EQ(AddFormatExtension(c.name, c.code), c.expected) << c.name;
}

}  // namespace
}  // namespace mlf
