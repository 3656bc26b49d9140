#include <gtest/gtest.h>

#include "file_fixture.h"

#include "imaging/picture_encoder.h"
#include "imaging/picture_resource.h"
#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"

namespace mlf {
namespace {

// The smallest GIF: one transparent pixel.
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                       "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                       43);

std::string Png() {
  std::vector<uint8_t> png = EncodePicture(DecodePictureResource(PictureResource::DefaultLogo).bitmap, EncodeFormat::Png);
  return std::string(png.begin(), png.end());
}

uint32_t U32At(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

void PutU32(std::string& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

class ImageNodeTest : public ::testing::Test {
 protected:
  ImageNodeTest() { env.CreateDirectory("/in"); env.CreateDirectory("/out"); }
  MemEnv env;
  CMarrowleafDoc doc{env};
};

TEST_F(ImageNodeTest, OnlyDecodablePicturesBecomeImageNodes) {
  env.PutFile("/in/readme.txt", "just words");
  EXPECT_EQ(doc.Data_AddImageFromFile("/in/readme.txt", 0, true), 0u);
  EXPECT_EQ(doc.Data_GetCount(), 0u) << "no node";
  env.PutFile("/in/dot.gif", kGif);
  uint32_t id = doc.Data_AddFromFile("/in/dot.gif", ntImage, 2, false);
  ASSERT_NE(id, 0u);
  CMlfNode node(&doc, id);
  EXPECT_EQ(node.GetType(), ntImage);
  EXPECT_FALSE(node.IsCompressed());
  EXPECT_STREQ(node.GetTitle(), "dot.gif");
}

TEST_F(ImageNodeTest, ExportNamesAndBytes) {
  env.PutFile("/in/dot.gif", kGif);
  env.PutFile("/in/logo", Png());
  uint32_t gif = doc.Data_AddImageFromFile("/in/dot.gif", 0, true);
  uint32_t png = doc.Data_AddImageFromFile("/in/logo", 0, true);
  struct Case {
    uint32_t node;
    const char* path;
    int format;
    const char* written;
  } cases[] = {
      {gif, "/out/Dot", 0, "/out/Dot.gif"},
      {gif, "/out/dot.GIF", 0, "/out/dot.GIF"},
      {png, "/out/pic", 7, "/out/pic.png"},
      {png, "/out/pic", 1, "/out/pic.bmp"},
      {png, "/out/pic", 3, "/out/pic.jpg"},
  };
  for (const Case& c : cases) {
    std::string written;
    ASSERT_TRUE(doc.Data_CopyImageToFile(c.node, c.path, c.format, nullptr, &written)) << c.written;
    EXPECT_EQ(written, c.written);
    EXPECT_TRUE(env.FileExists(c.written));
  }
  EXPECT_EQ(env.GetFile("/out/Dot.gif"), kGif) << "stored bytes unchanged";
  EXPECT_EQ(env.GetFile("/out/pic.png").substr(1, 3), "PNG");
  EXPECT_EQ(env.GetFile("/out/pic.bmp").substr(0, 2), "BM");
  std::string reason;
  EXPECT_FALSE(doc.Data_CopyImageToFile(png, "/out/pic", 5, &reason)) << "PICT cannot be written";
  EXPECT_FALSE(doc.Data_CopyImageToFile(png, "/missing/pic", 7, &reason));
  EXPECT_FALSE(reason.empty()) << "the file error is the reason";
}

TEST_F(ImageNodeTest, LogoSurvivesSaveAndReopen) {
  auto first = std::make_unique<CMarrowleafDoc>(env);
  EXPECT_FALSE(first->GetLogoBitmap().IsNull()) << "the program's own logo";
  env.PutFile("/in/dot.gif", kGif);
  env.PutFile("/in/not-a-picture", "x");
  EXPECT_FALSE(first->SetLogoFromFile("/in/not-a-picture"));
  EXPECT_FALSE(first->GetLogoPicture()) << "no custom logo yet";
  ASSERT_TRUE(first->SetLogoFromFile("/in/dot.gif"));
  EXPECT_EQ(first->GetLogoBitmap().Width(), 1);
  const std::vector<uint8_t> picture(kGif.begin(), kGif.end());
  EXPECT_EQ(first->GetLogoPicture(), picture) << "from the work file";
  env.CreateDirectory("/notes");
  ASSERT_TRUE(first->OnSaveDocument("/notes/logo.mlf"));
  first.reset();  // releases the file
  CMarrowleafDoc reopened(env);
  ASSERT_TRUE(reopened.OnOpenDocument("/notes/logo.mlf"));
  EXPECT_TRUE(reopened.HasLogo());
  EXPECT_EQ(reopened.GetLogoBitmap().Width(), 1);
  EXPECT_EQ(reopened.GetLogoPicture(), picture) << "from the file read";
  ASSERT_TRUE(reopened.OnSaveDocument("/notes/logo.mlf")) << "the logo is copied from the data file";
  EXPECT_EQ(reopened.GetLogoPicture(), picture) << "from the file saved";
  reopened.ClearLogo();
  EXPECT_FALSE(reopened.GetLogoPicture());
  EXPECT_EQ(reopened.GetLogoBitmap().Width(), 128) << "back to the program's own";
}

TEST_F(ImageNodeTest, ALogoThatCannotBeDecodedIsKeptAndSavedAgain) {
  // An enhanced metafile header: recognised by the image layer, not decodable by it.
  std::string metafile(88, '\0');
  PutU32(metafile, 0, 1);
  PutU32(metafile, 4, 88);
  PutU32(metafile, 40, 0x464D4520);
  env.CreateDirectory("/notes");
  {
    CMarrowleafDoc first(env);
    env.PutFile("/in/dot.gif", kGif);
    ASSERT_TRUE(first.SetLogoFromFile("/in/dot.gif"));
    ASSERT_TRUE(first.OnSaveDocument("/notes/logo.mlf"));
  }
  // The file's logo section is pointed at the metafile, appended at the end.
  std::string bytes = env.GetFile("/notes/logo.mlf");
  std::string member = test::ZlibGzip(metafile);
  PutU32(bytes, 76, static_cast<uint32_t>(bytes.size()));
  PutU32(bytes, 80, static_cast<uint32_t>(member.size()));
  env.PutFile("/notes/logo.mlf", bytes + member);

  {
    CMarrowleafDoc doc(env);
    ASSERT_TRUE(doc.OnOpenDocument("/notes/logo.mlf"));
    EXPECT_TRUE(doc.HasLogo());
    EXPECT_EQ(doc.GetLogoBitmap().Width(), 128) << "the program's own logo is shown meanwhile";
    std::optional<std::vector<uint8_t>> kept = doc.GetLogoPicture();
    ASSERT_TRUE(kept) << "its picture can still be had as it is";
    EXPECT_EQ(std::string(kept->begin(), kept->end()), metafile);
    ASSERT_TRUE(doc.OnSaveDocument("/notes/logo.mlf"));
  }
  std::string saved = env.GetFile("/notes/logo.mlf");
  uint32_t offset = U32At(saved, 76), length = U32At(saved, 80);
  ASSERT_NE(offset, 0u);
  ASSERT_LE(uint64_t(offset) + length, saved.size());
  EXPECT_EQ(test::ZlibGunzip(saved.substr(offset, length)), metafile) << "the logo's bytes were written back";
}

}  // namespace
}  // namespace mlf
