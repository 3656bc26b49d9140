// The imports and exports of the document window, under the progress dialog: the kinds of
// import into a folder, files that cannot be imported, single and batch export.
#include <QTreeWidgetItem>

#include "gui_fixture.h"
#include "store/node.h"

namespace mlf::test {
namespace {

class ExchangeTest : public GuiFixture {
 protected:
  uint8_t TypeOf(uint32_t id) {
    CMlfNode node;
    return node.Attach(doc, id) ? node.GetType() : 0xFF;
  }
  uint32_t ParentOf(uint32_t id) {
    CMlfNode node;
    return node.Attach(doc, id) ? node.Record().nParent : 0xFFFFFFFF;
  }
};

TEST_F(ExchangeTest, EachKindOfImportLandsInTheFolder) {
  uint32_t folder = Add(ntFolder, "Folder");
  Show();
  env.CreateDirectory("/in");
  env.PutFile("/in/text.txt", "plain words\n");
  env.PutFile("/in/picture.png", PngBytes(4, 3));
  env.PutFile("/in/blob.bin", std::string("\x00\x01\x02\xFF", 4));
  env.PutFile("/in/page.html", "<html><body>page</body></html>");
  struct Case {
    ImportKind kind;
    const char* file;
    uint8_t type;
    const char* title;
  } cases[] = {
      {ImportKind::Notes, "/in/text.txt", ntNote, "text.txt"},
      {ImportKind::Images, "/in/picture.png", ntImage, "picture.png"},
      {ImportKind::ForeignData, "/in/blob.bin", ntForeign, "blob.bin"},
      {ImportKind::Html, "/in/page.html", ntHtml, "page.html"},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> made = frame->ImportChosenFiles(c.kind, folder, {QString::fromLatin1(c.file)});
    ASSERT_EQ(made.size(), 1u) << c.file;
    EXPECT_EQ(TypeOf(made[0]), c.type) << c.file;
    EXPECT_EQ(ParentOf(made[0]), folder) << c.file;
    // The tree shows it under the folder at once.
    ASSERT_NE(Item(made[0]), nullptr) << c.file;
    EXPECT_EQ(Item(made[0])->parent(), Item(folder)) << c.file;
    EXPECT_EQ(Item(made[0])->text(0).toStdString(), c.title);
  }
  EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(ExchangeTest, FilesThatCannotBeImportedAreReported) {
  Show();
  env.CreateDirectory("/in");
  env.PutFile("/in/kept.txt", "words");
  // The vanished file was chosen but is gone when it is read.
  std::vector<uint32_t> made = frame->ImportChosenFiles(ImportKind::Notes, 0, {"/in/gone.txt", "/in/kept.txt"});
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"1 of 2 file(s) could not be imported:\n/in/gone.txt"}));

  prompts.messages.clear();
  made = frame->ImportChosenFiles(ImportKind::ForeignData, 0, {"/in/gone.bin", "/in/kept.txt"});
  EXPECT_EQ(made.size(), 1u);
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"WARNING: Could not import data from '/in/gone.bin'."}));
  EXPECT_EQ(prompts.messages[0].caption, "Data import error");
}

TEST_F(ExchangeTest, SingleExportWritesTheNodeAndReportsAFailure) {
  uint32_t note = Add(ntNote, "Report", 0, "{\\rtf1 text}");
  Show();
  env.CreateDirectory("/out");
  EXPECT_TRUE(frame->ExportNodeTo(note, "/out/Report.rtf"));
  EXPECT_EQ(env.GetFile("/out/Report.rtf"), "{\\rtf1 text}");
  EXPECT_TRUE(MessageTexts().empty());

  EXPECT_FALSE(frame->ExportNodeTo(note, "/missing/Report.rtf"));
  ASSERT_EQ(MessageTexts().size(), 1u);
  EXPECT_EQ(MessageTexts()[0].rfind("Could not export to '/missing/Report.rtf'.", 0), 0u) << MessageTexts()[0];
}

TEST_F(ExchangeTest, BatchExportTellsTheTotalsOnlyWhenSomethingFailed) {
  uint32_t folder = Add(ntFolder, "Folder");
  Add(ntNote, "Inside", folder, "{\\rtf1 a}");
  uint32_t bad = Add(ntNote, "bad/name", 0, "{\\rtf1 b}");
  Show();
  env.CreateDirectory("/out");
  prompts.QueueAnswer(MessageAnswer::Ignore);
  EXPECT_FALSE(frame->BatchExportTo("/out"));
  EXPECT_TRUE(env.FileExists("/out/Folder/Inside.rtf"));
  std::vector<std::string> texts = MessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rfind("Error exporting /out/bad/name", 0), 0u) << texts[0];
  EXPECT_EQ(texts[1], "2 of 3 node(s) exported to /out.\n1 node(s) failed.");

  prompts.messages.clear();
  ASSERT_TRUE(doc->Data_DeleteItem(bad));
  env.CreateDirectory("/again");
  EXPECT_TRUE(frame->BatchExportTo("/again"));
  EXPECT_TRUE(MessageTexts().empty());
}

}  // namespace
}  // namespace mlf::test
