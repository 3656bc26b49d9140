// Backups on save: the previous versions of the note file kept beside it as name.bak1 (the
// newest) to name.bakN, by rename, without ever putting the note file itself at risk.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/fault_env.h"
#include "platform/mem_env.h"
#include "store/backup_rotation.h"
#include "store/document.h"
#include "store/node.h"
#include "support/node_content.h"
#include "support/scratch_dir.h"
#include "support/scripted_prompts.h"

namespace mlf {
namespace {

const std::string kPath = "/notes/a.mlf";

// A file system without hard links (FAT, many network shares): bak1 is made by renaming the
// old file away.
class NoLinksEnv : public FaultEnv {
 public:
  using FaultEnv::FaultEnv;
  void LinkFile(const std::string&, const std::string& link) override {
    throw FileError(link, "hard links are not supported", EPERM);
  }
};

class BackupTest : public ::testing::Test {
 protected:
  BackupTest() : scope(prompts) { env.CreateDirectory("/notes"); }

  // Saves the document with its one note holding "version n"; the bytes of the saved file.
  std::string SaveVersion(CMarrowleafDoc& doc, int n, const std::string& path = kPath) {
    uint32_t note = 0;
    doc.Data_EnumItems([&](const NTV& r) { note = r.nIndex; });
    if (!note) {
      CMlfNode node;
      node.Create(&doc, ntNote, "Note", 0);
      note = node.GetId();
    }
    EXPECT_TRUE(test::WriteStream(doc, note, "version " + std::to_string(n)));
    EXPECT_TRUE(doc.OnSaveDocument(path)) << "save " << n;
    return doc.GetEnv().FileExists(path) ? ReadAll(doc.GetEnv(), path) : std::string();
  }

  static std::string ReadAll(Env& fs, const std::string& path) {
    std::unique_ptr<File> file = fs.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareReadWrite);
    std::string bytes(file->Size(), '\0');
    file->ReadExact(bytes.data(), bytes.size());
    return bytes;
  }

  // The numbers of the backups beside path, ascending.
  static std::vector<uint32_t> Backups(Env& fs, const std::string& path) {
    std::vector<uint32_t> numbers;
    for (uint32_t n = 1; n <= 20; ++n)
      if (fs.FileExists(BackupName(path, n))) numbers.push_back(n);
    return numbers;
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope;
};

TEST_F(BackupTest, BackupsRotateNewestFirstAndNeverExceedTheCount) {
  struct Case {
    uint32_t keep;
    int saves;
  };
  for (const Case& c : {Case{3, 1}, Case{3, 2}, Case{3, 4}, Case{3, 7}, Case{1, 3}, Case{5, 3}, Case{0, 4}}) {
    SCOPED_TRACE("keep " + std::to_string(c.keep) + ", " + std::to_string(c.saves) + " saves");
    if (env.FileExists(kPath)) env.DeleteFile(kPath);
    for (uint32_t n : Backups(env, kPath)) env.DeleteFile(BackupName(kPath, n));
    CMarrowleafDoc doc(env);
    doc.OnNewDocument();
    doc.SetBackupCount(c.keep);
    std::vector<std::string> versions;  // the file's bytes after each save
    for (int n = 1; n <= c.saves; ++n) versions.push_back(SaveVersion(doc, n));
    uint32_t expected = std::min<uint32_t>(c.keep, c.saves - 1);
    std::vector<uint32_t> wanted;
    for (uint32_t n = 1; n <= expected; ++n) wanted.push_back(n);
    EXPECT_EQ(Backups(env, kPath), wanted);
    EXPECT_EQ(env.GetFile(kPath), versions.back());
    for (uint32_t n : wanted) EXPECT_EQ(env.GetFile(BackupName(kPath, n)), versions[versions.size() - 1 - n]) << "bak" << n;
    EXPECT_TRUE(prompts.messages.empty());
  }
}

TEST_F(BackupTest, ALowerCountDeletesTheOldestAndOtherNamesStay) {
  CMarrowleafDoc doc(env);
  doc.OnNewDocument();
  doc.SetBackupCount(5);
  for (int n = 1; n <= 6; ++n) SaveVersion(doc, n);
  ASSERT_EQ(Backups(env, kPath), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
  for (const char* other : {"/notes/a.mlf.bak07", "/notes/a.mlf.bakx", "/notes/a.mlf.bak", "/notes/b.mlf.bak9"})
    env.PutFile(other, "not a backup of a.mlf");
  std::string bak1 = env.GetFile(BackupName(kPath, 1));
  doc.SetBackupCount(2);
  SaveVersion(doc, 7);
  EXPECT_EQ(Backups(env, kPath), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(env.GetFile(BackupName(kPath, 2)), bak1);
  for (const char* other : {"/notes/a.mlf.bak07", "/notes/a.mlf.bakx", "/notes/a.mlf.bak", "/notes/b.mlf.bak9"})
    EXPECT_TRUE(env.FileExists(other)) << other;
}

// Every operation of a save with backups failed once or from then on, with and without hard
// links, and then a power cut: the note file is the old or the new version, never missing
// unless the user was told where the old one is; a failed save is reported; never more than
// three backups.
TEST_F(BackupTest, AFailureAtAnyStepKeepsTheNoteFileAndIsReported) {
  std::string oldBytes;
  {
    CMarrowleafDoc doc(env);
    doc.OnNewDocument();
    doc.SetBackupCount(3);
    for (int n = 1; n <= 4; ++n) oldBytes = SaveVersion(doc, n);
  }
  env.SyncAll();
  const std::string bak1 = env.GetFile(BackupName(kPath, 1));
  size_t runs = 0;
  for (bool links : {true, false}) {
    for (bool powerCut : {false, true}) {
      for (bool permanent : {false, true}) {
        for (uint64_t n = 1;; ++n, ++runs) {
          SCOPED_TRACE(std::string(links ? "links" : "no links") + (powerCut ? ", power cut" : "") +
                       (permanent ? ", permanent" : ", once") + ", operation " + std::to_string(n));
          env.PutFile(kPath, oldBytes);
          env.PutFile(BackupName(kPath, 1), bak1);
          NoLinksEnv noLinks(env);
          FaultEnv linking(env);
          FaultEnv& faulty = links ? linking : noLinks;
          std::string newBytes;
          bool saved;
          {
            CMarrowleafDoc doc(faulty);
            ASSERT_TRUE(doc.OnOpenDocument(kPath));
            prompts.messages.clear();  // a notice of leftovers that an earlier run could not delete
            doc.SetBackupCount(3);
            uint32_t note = 0;
            doc.Data_EnumItems([&](const NTV& r) { note = r.nIndex; });
            ASSERT_TRUE(test::WriteStream(doc, note, "the new version"));
            faulty.FailAt(n, permanent);
            saved = doc.OnSaveDocument(kPath);
            faulty.FailAt(0, false);
          }
          if (!saved) {
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_NE(prompts.messages[0].text.find("Failed to save"), std::string::npos);
          }
          if (powerCut) env.DropUnsyncedData();
          EXPECT_LE(Backups(env, kPath).size(), 3u);
          if (!env.FileExists(kPath)) {
            // Only without links, the replacement and the way back both failed.
            EXPECT_FALSE(links);
            EXPECT_FALSE(saved);
            EXPECT_TRUE(powerCut || prompts.messages[0].text.find("kept as: " + BackupName(kPath, 1)) != std::string::npos)
                << prompts.messages[0].text;
            EXPECT_EQ(env.GetFile(BackupName(kPath, 1)), oldBytes);
          } else {
            std::string now = env.GetFile(kPath);
            if (now != oldBytes) {
              CMarrowleafDoc check(env);
              ASSERT_TRUE(check.OnOpenDocument(kPath));
              EXPECT_EQ(test::ReadStream(check, 1), "the new version");
            } else if (!saved && !powerCut) {
              EXPECT_NE(prompts.messages[0].text.find("not changed"), std::string::npos);
            }
            if (saved && !powerCut) {
              EXPECT_EQ(env.GetFile(BackupName(kPath, 1)), oldBytes);
            }
          }
          if (!faulty.Failed()) break;
        }
      }
    }
  }
  EXPECT_GT(runs, 60u) << "every operation of a save was failed once";
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

// On the disk: backups are the old files themselves, owner-only like the file the program
// made, and a save through a link keeps them beside the file the link leads to.
TEST_F(BackupTest, OnDiskBackupsAreOwnerOnlyAndLieBesideTheLinksTarget) {
  test::ScratchDir dir;
  Env& disk = Env::Default();
  ::mkdir((dir / "real").c_str(), 0700);
  const std::string real = dir / "real/notes.mlf", link = dir / "notes.mlf";
  CMarrowleafDoc doc(disk);
  doc.OnNewDocument();
  doc.SetBackupCount(3);
  std::vector<std::string> versions{SaveVersion(doc, 1, real)};
  ASSERT_EQ(::symlink("real/notes.mlf", link.c_str()), 0);
  for (int n = 2; n <= 5; ++n) versions.push_back(SaveVersion(doc, n, link));
  EXPECT_TRUE(S_ISLNK(ModeOf(link))) << "the link stays a link";
  EXPECT_EQ(Backups(disk, real), (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_TRUE(Backups(disk, link).empty()) << "nothing beside the link";
  for (uint32_t n = 1; n <= 3; ++n) {
    EXPECT_EQ(test::ReadWholeFile(BackupName(real, n)), versions[4 - n]) << "bak" << n;
    EXPECT_EQ(ModeOf(BackupName(real, n)) & 07777, 0600u) << "bak" << n;
  }
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 1u) << "the saved file shares its inode with no backup";
}

}  // namespace
}  // namespace mlf
