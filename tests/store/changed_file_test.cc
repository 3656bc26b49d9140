// A note file changed by another program (a sync tool, another machine) since the document
// read or last saved it: Save never overwrites that change without asking.
#include <chrono>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "support/node_content.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"

namespace mlf {
namespace {

const std::string kPath = "/notes/a.mlf";
using SaveResult = CMarrowleafDoc::SaveResult;

class ChangedFileTest : public ::testing::Test {
 protected:
  ChangedFileTest() : scope(prompts) { env.CreateDirectory("/notes"); }

  // A saved file opened in doc, with one note changed since.
  void OpenAndEdit(CMarrowleafDoc& doc, const std::string& path = kPath) {
    {
      CMarrowleafDoc first(doc.GetEnv());
      first.OnNewDocument();
      CMlfNode note;
      note.Create(&first, ntNote, "Note", 0);
      ASSERT_TRUE(test::WriteStream(first, note.GetId(), "as read"));
      ASSERT_TRUE(first.OnSaveDocument(path));
    }
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_TRUE(test::WriteStream(doc, 1, "edited here"));
  }

  // What the file at kPath holds, by a fresh document.
  std::string NoteOnDisk() {
    CMarrowleafDoc check(env);
    return check.OnOpenDocument(kPath) ? test::ReadStream(check, 1) : "<not a note file>";
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
};

TEST_F(ChangedFileTest, EachAnswerDoesWhatItSays) {
  struct Case {
    const char* name;
    MessageAnswer answer;  // the default question's buttons: Yes Save As, No overwrite, Cancel keep editing
    SaveResult result;
    const char* onDisk;
    bool modified;
  };
  for (const Case& c : {Case{"overwrite", MessageAnswer::No, SaveResult::Saved, "edited here", false},
                        Case{"save as", MessageAnswer::Yes, SaveResult::SaveAsChosen, "<not a note file>", true},
                        Case{"keep editing", MessageAnswer::Cancel, SaveResult::KeptEditing, "<not a note file>", true}}) {
    SCOPED_TRACE(c.name);
    {
      CMarrowleafDoc doc(env);
      OpenAndEdit(doc);
      env.PutFile(kPath, "written by a sync tool");
      EXPECT_TRUE(doc.ChangedOnDisk());
      prompts.messages.clear();
      prompts.QueueAnswer(c.answer);
      EXPECT_EQ(doc.Save(kPath), c.result);
      ASSERT_EQ(prompts.messages.size(), 1u);
      EXPECT_NE(prompts.messages[0].text.find("'" + kPath + "' was changed by another program"), std::string::npos);
      EXPECT_EQ(doc.IsModified(), c.modified);
      EXPECT_EQ(test::ReadStream(doc, 1), "edited here") << "the document keeps the user's version";
      EXPECT_EQ(doc.ChangedOnDisk(), c.modified) << "after an overwrite the file is the document's own again";
    }
    EXPECT_EQ(NoteOnDisk(), c.onDisk);
  }
}

TEST_F(ChangedFileTest, NothingIsAskedWhenTheFileIsTheDocumentsOwn) {
  for (bool deleted : {false, true}) {
    SCOPED_TRACE(deleted ? "moved away meanwhile" : "unchanged");
    {
      CMarrowleafDoc doc(env);
      OpenAndEdit(doc);
      if (deleted) env.RenameFile(kPath, "/notes/elsewhere.mlf");
      EXPECT_FALSE(doc.ChangedOnDisk());
      prompts.messages.clear();
      EXPECT_EQ(doc.Save(kPath), SaveResult::Saved);
      ASSERT_TRUE(test::WriteStream(doc, 1, "edited again"));
      EXPECT_EQ(doc.Save(kPath), SaveResult::Saved) << "its own save is no change by another program";
      EXPECT_TRUE(prompts.messages.empty());
    }
    EXPECT_EQ(NoteOnDisk(), "edited again");
  }
}

TEST_F(ChangedFileTest, SaveAsOntoAnotherFileIsNotAsked) {
  CMarrowleafDoc doc(env);
  OpenAndEdit(doc);
  env.PutFile(kPath, "written by a sync tool");
  EXPECT_EQ(doc.Save("/notes/b.mlf"), SaveResult::Saved);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(env.GetFile(kPath), "written by a sync tool");
}

// On the disk, a rewrite in place that keeps the size (and the inode) is still a change: the
// modification time is compared to the nanosecond.
TEST_F(ChangedFileTest, ARewriteInPlaceOfTheSameSizeIsNoticed) {
  test::ScratchDir dir;
  const std::string path = dir / "a.mlf";
  CMarrowleafDoc doc(Env::Default());
  OpenAndEdit(doc, path);
  std::string bytes = test::ReadWholeFile(path);
  EXPECT_FALSE(doc.ChangedOnDisk());
  // Past the file system's clock tick, which may be coarser than its nanosecond field.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  {
    std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);  // as another program does
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  EXPECT_TRUE(doc.ChangedOnDisk());
  prompts.QueueAnswer(MessageAnswer::Cancel);
  EXPECT_EQ(doc.Save(path), SaveResult::KeptEditing);
  EXPECT_EQ(test::ReadWholeFile(path), bytes);
}

}  // namespace
}  // namespace mlf
