#include <gtest/gtest.h>

#include "exchange/node_export.h"
#include "exchange/node_import.h"
#include "imaging/picture_encoder.h"
#include "imaging/picture_resource.h"
#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

std::string Png() {
  std::vector<uint8_t> png = EncodePicture(DecodePictureResource(PictureResource::DefaultLogo).bitmap, EncodeFormat::Png);
  return std::string(png.begin(), png.end());
}

std::string Jpeg() {
  std::vector<uint8_t> jpg = EncodePicture(DecodePictureResource(PictureResource::DefaultLogo).bitmap, EncodeFormat::Jpeg);
  return std::string(jpg.begin(), jpg.end());
}

class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeTest() : scope(prompts) {
    for (const char* dir : {"/out", "/in"}) env.CreateDirectory(dir);
  }
  uint32_t Folder(const char* title, uint32_t parent = 0) {
    CMlfNode node;
    node.Create(&doc, ntFolder, title, parent);
    return node.GetId();
  }
  uint32_t Note(const char* title, uint32_t parent, const std::string& rtf = "{\\rtf1 x}") {
    CMlfNode node;
    node.Create(&doc, ntNote, title, parent);
    CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(rtf.data(), rtf.size());
    data->Finish();
    return node.GetId();
  }
  uint32_t Image(const char* title, const std::string& bytes) {
    env.PutFile("/in/picture", bytes);
    uint32_t id = doc.Data_AddImageFromFile("/in/picture", 0, false);
    CMlfNode node(&doc, id);
    node.SetTitle(title);
    node.Update(true);
    return id;
  }
  ExportTally Export(uint32_t root = 0) {
    CNodeBatchExport process(doc, "/out", root);
    ProcessDriver(process, prompts).RunToEnd();
    return process.Tally();
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> texts;
    for (const auto& m : prompts.messages) texts.push_back(m.text);
    return texts;
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
  CMarrowleafDoc doc{env};
};

TEST_F(ExchangeTest, BatchExportMirrorsTheTree) {
  uint32_t a = Folder("A");
  uint32_t b = Folder("B", a);
  Note("one", b, "{\\rtf1 first}");
  Note("two", b);
  Folder("Empty");
  Note("top", 0);
  Image("Photo", Jpeg());
  Image("photo.JPG", Jpeg());
  Export();
  EXPECT_EQ(env.GetFile("/out/A/B/one.rtf"), "{\\rtf1 first}");
  EXPECT_TRUE(env.FileExists("/out/A/B/two.rtf"));
  EXPECT_TRUE(env.DirectoryExists("/out/Empty"));
  EXPECT_TRUE(env.FileExists("/out/top.rtf"));
  EXPECT_TRUE(env.FileExists("/out/Photo.jpg"));
  EXPECT_TRUE(env.FileExists("/out/photo.JPG"));
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ExchangeTest, OverwriteQuestionNamesTheFile) {
  Note("Report", 0, "{\\rtf1 new}");
  env.PutFile("/out/Report.rtf", "old");
  prompts.QueueAnswer(MessageAnswer::No);
  Export();
  ASSERT_EQ(Questions(), std::vector<std::string>{"/out/Report.rtf already exists. Overwrite?"});
  EXPECT_EQ(env.GetFile("/out/Report.rtf"), "old");
  prompts.QueueAnswer(MessageAnswer::Yes);
  Export();
  EXPECT_EQ(env.GetFile("/out/Report.rtf"), "{\\rtf1 new}");
}

TEST_F(ExchangeTest, ErrorQuestionAbortRetryIgnore) {
  Note("a/b", 0);   // a title that is no file name here
  Note("after", 0);
  struct Case {
    std::vector<MessageAnswer> answers;
    size_t questions;
    bool afterWritten;
  } cases[] = {
      {{MessageAnswer::Abort}, 1, false},
      {{MessageAnswer::Retry, MessageAnswer::Ignore}, 2, true},
      {{MessageAnswer::Ignore}, 1, true},
  };
  for (const Case& c : cases) {
    env.DeleteTree("/out");
    env.CreateDirectory("/out");
    prompts.messages.clear();
    for (MessageAnswer a : c.answers) prompts.QueueAnswer(a);
    Export();
    ASSERT_EQ(prompts.messages.size(), c.questions);
    EXPECT_EQ(prompts.messages[0].text.rfind("Error exporting /out/a/b.", 0), 0u);
    EXPECT_EQ(prompts.messages[0].buttons, MessageButtons::AbortRetryIgnore);
    EXPECT_EQ(env.FileExists("/out/after.rtf"), c.afterWritten);
    EXPECT_FALSE(env.FileExists("/out/a/b.rtf"));
  }
}

TEST_F(ExchangeTest, TitlesNeverReachOutsideTheFolder) {
  uint32_t up = Folder("..");
  Note("escaped", up);
  Note("..", 0);
  prompts.defaultAnswer = MessageAnswer::Ignore;
  Export();
  EXPECT_FALSE(env.FileExists("/escaped.rtf"));
  EXPECT_FALSE(env.FileExists("/out/../escaped.rtf"));
  EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(ExchangeTest, CancelStopsBeforeTheNextNode) {
  for (int i = 0; i < 5; ++i) Note(("n" + std::to_string(i)).c_str(), 0);
  env.PutFile("/out/n0.rtf", "old");
  CNodeBatchExport process(doc, "/out");
  // Cancel is pressed while the overwrite question about the first file is open.
  struct CancellingPrompts : test::ScriptedPrompts {
    CNodeProcess* process = nullptr;
    MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                          MessageButtons buttons) override {
      process->SetCancel(true);
      return ScriptedPrompts::Message(text, caption, icon, buttons);
    }
  } cancelling;
  cancelling.process = &process;
  cancelling.defaultAnswer = MessageAnswer::Yes;
  ProcessDriver(process, cancelling).RunToEnd();
  EXPECT_EQ(env.GetFile("/out/n0.rtf"), "{\\rtf1 x}") << "the file in hand is finished";
  for (int i = 1; i < 5; ++i) EXPECT_FALSE(env.FileExists("/out/n" + std::to_string(i) + ".rtf"));
}

TEST_F(ExchangeTest, SingleExportReencodesImages) {
  uint32_t id = Image("Picture", Jpeg());
  CNodeSingleExport process(doc, id, "/out/pic", 7);
  ProcessDriver(process, prompts).RunToEnd();
  EXPECT_TRUE(process.Succeeded());
  EXPECT_EQ(env.GetFile("/out/pic.png").substr(1, 3), "PNG");
}

TEST_F(ExchangeTest, TotalsCountOnlyWhatWasWritten) {
  uint32_t folder = Folder("F");
  Note("Report", folder, "{\\rtf1 new}");
  Note("Kept", folder);
  Note("a/b", 0);
  env.CreateDirectory("/out/F");
  env.PutFile("/out/F/Kept.rtf", "old");
  prompts.QueueAnswer(MessageAnswer::No);      // keep Kept.rtf
  prompts.QueueAnswer(MessageAnswer::Ignore);  // skip a/b
  ExportTally tally = Export();
  EXPECT_EQ(tally.written, 2u) << "the folder and Report";
  EXPECT_EQ(tally.kept, std::vector<std::string>{"/out/F/Kept"});
  ASSERT_EQ(tally.failed.size(), 1u);
  EXPECT_EQ(tally.failed[0], (ExportFailure{"/out/a/b", "The title is not a valid file name here."}));
  EXPECT_EQ(env.GetFile("/out/F/Kept.rtf"), "old");
}

TEST_F(ExchangeTest, EveryKindOfNodeIsExportedAndNamedOnce) {
  CMlfNode page;
  page.Create(&doc, ntHtml, "Page", 0);
  CMlfNodeData* data = page.GetNodeDataForWrite(true);
  data->Put("<p>hi</p>", 9);
  data->Finish();
  Note("notes.RTF", 0, "{\\rtf1 kept name}");
  ExportTally tally = Export();
  EXPECT_EQ(env.GetFile("/out/Page.html"), "<p>hi</p>");
  EXPECT_EQ(env.GetFile("/out/notes.RTF"), "{\\rtf1 kept name}") << "never notes.RTF.rtf";
  EXPECT_EQ(tally.written, 2u);
  EXPECT_TRUE(tally.failed.empty());
}

TEST_F(ExchangeTest, ADamagedStreamFailsItsNodeAndWritesNothing) {
  uint32_t bad;
  DATALOC location;
  NTV record;
  {
    CMarrowleafDoc saved(env);
    CMlfNode good;
    good.Create(&saved, ntNote, "Good", 0);
    CMlfNodeData* data = good.GetNodeDataForWrite(true);
    data->Put("{\\rtf1 good}", 12);
    data->Finish();
    CMlfNode damaged;
    damaged.Create(&saved, ntNote, "Bad", 0);
    data = damaged.GetNodeDataForWrite(true);
    std::string text(20000, 'x');
    data->Put(text.data(), text.size());
    data->Finish();
    bad = damaged.GetId();
    ASSERT_TRUE(saved.OnSaveDocument("/f.mlf"));
    saved.Data_GetLocation(bad, location);
    saved.Data_GetItem(bad, record);
  }
  std::string bytes = env.GetFile("/f.mlf");
  bytes.replace(location.nLoc + record.nStorageLength / 2, 4, "\x55\xAA\x55\xAA");
  env.PutFile("/f.mlf", bytes);
  env.PutFile("/out/Bad.rtf", "the user's own file");
  ASSERT_TRUE(doc.OnOpenDocument("/f.mlf"));
  prompts.QueueAnswer(MessageAnswer::Yes);  // overwrite Bad.rtf
  prompts.QueueAnswer(MessageAnswer::Ignore);
  ExportTally tally = Export();
  ASSERT_EQ(Questions().size(), 2u);
  EXPECT_EQ(Questions()[1], "Error exporting /out/Bad.\n\nthe stored data is damaged");
  EXPECT_EQ(env.GetFile("/out/Bad.rtf"), "the user's own file") << "a failed node harms no file";
  EXPECT_EQ(env.GetFile("/out/Good.rtf"), "{\\rtf1 good}");
  EXPECT_EQ(tally.written, 1u);
  EXPECT_EQ(tally.failed, (std::vector<ExportFailure>{{"/out/Bad", "the stored data is damaged"}}));
  for (const auto& entry : env.ListDirectory("/out")) EXPECT_EQ(entry.name.find(".part"), std::string::npos);
}

TEST_F(ExchangeTest, NodesOutsideTheTreeAreExportedAtTheTopLevel) {
  uint32_t orphan = Folder("Orphan");
  Note("inside", orphan);
  uint32_t a = Folder("A"), b = Folder("B", a);
  NTV record;
  doc.Data_GetItem(orphan, record);
  record.nParent = 99;  // no such node
  doc.Data_SetItem(orphan, record, false);
  doc.Data_GetItem(a, record);
  record.nParent = b;  // A and B hold each other
  doc.Data_SetItem(a, record, false);
  ExportTally tally = Export();
  EXPECT_TRUE(env.FileExists("/out/Orphan/inside.rtf"));
  EXPECT_TRUE(env.DirectoryExists("/out/A/B"));
  EXPECT_EQ(tally.written, 4u);
}

TEST_F(ExchangeTest, OneBranchExportsAlone) {
  uint32_t a = Folder("A");
  Note("one", Folder("B", a));
  uint32_t top = Note("top", 0);
  ExportTally tally = Export(a);
  EXPECT_TRUE(env.FileExists("/out/A/B/one.rtf"));
  EXPECT_FALSE(env.FileExists("/out/top.rtf"));
  EXPECT_EQ(tally.written, 3u);
  Export(top);
  EXPECT_TRUE(env.FileExists("/out/top.rtf"));
}

TEST_F(ExchangeTest, EncryptedNodesNeedTheirPassword) {
  test::TestCrypt crypt;
  doc.SetCryptProvider(&crypt);
  uint32_t id = Note("Secret", 0, "{\\rtf1 hidden}");
  ASSERT_TRUE(doc.SetNodeEncryption(id, test::TestCrypt::kCipher, 16, test::TestCrypt::kKeyDerivation,
                                    SecureString("right"), SecureString()));
  struct Case {
    std::optional<std::string> password;
    const char* reason;
  } cases[] = {{"wrong", "incorrect password"}, {std::nullopt, "no password was given"}, {"right", nullptr}};
  for (const Case& c : cases) {
    env.DeleteTree("/out");
    env.CreateDirectory("/out");
    prompts.QueuePassword(c.password);
    prompts.defaultAnswer = MessageAnswer::Ignore;
    ExportTally tally = Export();
    if (!c.reason) {
      EXPECT_EQ(env.GetFile("/out/Secret.rtf"), "{\\rtf1 hidden}");
      EXPECT_FALSE(CMlfNode(&doc, id).HasPassword()) << "locked again";
      continue;
    }
    EXPECT_EQ(tally.failed, (std::vector<ExportFailure>{{"/out/Secret", c.reason}}));
    EXPECT_FALSE(env.FileExists("/out/Secret.rtf"));
  }
}

TEST_F(ExchangeTest, BatchImportByTypeIntoAFolderOrBesideANote) {
  env.PutFile("/in/a.txt", "plain words");
  env.PutFile("/in/b.rtf", "{\\rtf1 rich}");
  env.PutFile("/in/scan", Png());
  env.PutFile("/in/photo.jpeg", Jpeg());
  env.CreateDirectory("/in/sub");
  uint32_t folder = Folder("Inbox");
  CNodeBatchImport process(doc, folder);
  for (const char* f : {"/in/a.txt", "/in/b.rtf", "/in/sub", "/in/scan", "/in/photo.jpeg"}) process.AddFile(f);
  std::vector<std::string> statuses;
  process.Start();
  while (!process.IsFinished()) statuses.push_back(process.GetStatusText());
  process.Join();
  ASSERT_EQ(process.Created().size(), 4u) << "the directory is skipped";
  std::vector<uint8_t> types;
  for (uint32_t id : process.Created()) {
    CMlfNode node(&doc, id);
    EXPECT_EQ(node.GetParent(), folder);
    types.push_back(node.GetType());
  }
  EXPECT_EQ(types, (std::vector<uint8_t>{ntNote, ntNote, ntImage, ntImage}));
  CMlfNode jpeg(&doc, process.Created()[3]);
  EXPECT_FALSE(jpeg.IsCompressed()) << "JPEG is stored as it is";
  CMlfNode scan(&doc, process.Created()[2]);
  EXPECT_TRUE(scan.IsCompressed());
  EXPECT_EQ(process.GetStatusText(), "Importing file 5 of 5...");
}

TEST_F(ExchangeTest, ForeignDataImportAsksAboutFailuresAndStopsOnCancel) {
  std::vector<std::string> files;
  for (int i = 0; i < 5; ++i) {
    files.push_back("/in/f" + std::to_string(i));
    if (i != 2) env.PutFile(files.back(), "data");
  }
  prompts.QueueAnswer(MessageAnswer::Cancel);
  CForeignDataImport process(doc, 0, files);
  ProcessDriver(process, prompts).RunToEnd();
  EXPECT_EQ(process.Created().size(), 2u);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, "WARNING: Could not import data from '/in/f2'.");
  EXPECT_EQ(prompts.messages[0].caption, "Data import error");
}

}  // namespace
}  // namespace mlf
