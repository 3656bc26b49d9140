// The module's C interface through the client: loading and initialising with their log lines,
// every record's size, null and stale handles, and finding the dictionary.
#include <QPushButton>

#include <filesystem>
#include <functional>

#include "modal_script.h"
#include "spell_fixture.h"

namespace mlf::test {
namespace {

constexpr const char* kEnglishPackage = "hunspell-en-us";

std::string LastError(const SpellModule& module) { return module.lastError(); }

TEST_F(SpellTest, StartsWithItsLogLinesAndShutsDown) {
  StartModule();
  EXPECT_TRUE(handler.IsAvailable());
  handler.Shutdown();
  EXPECT_FALSE(handler.IsAvailable());
  EXPECT_EQ(Logged(), "Calling LoadLibrary(\"libquarnspellcheck.dll\")...Done.\r\n"
                      "Initializing spell-checking library...Done.\r\n");
}

TEST_F(SpellTest, WithoutTheModuleEveryCallFailsWithAReason) {
  ScratchDir emptyFolder;
  EXPECT_FALSE(handler.StartFrom(Env::Default(), emptyFolder.path()));
  EXPECT_FALSE(handler.IsAvailable());
  EXPECT_EQ(handler.Module(), nullptr);
  EXPECT_EQ(Logged(), "Calling LoadLibrary(\"libquarnspellcheck.dll\")...FAILED.\r\n");
  SpellOutcome check = handler.Check(1, 0);
  EXPECT_FALSE(check.ok);
  EXPECT_FALSE(check.error.empty());
  EXPECT_FALSE(handler.ShowOptions(0).ok);
}

TEST_F(SpellTest, EveryRecordMustCarryItsOwnSize) {
  StartModule();
  const SpellModule& module = *handler.Module();
  QuarnSpellChecker* checker = nullptr;
  QuarnSpellOpen open = MakeOpenRecord();
  ASSERT_GE(module.openChecker(&checker, &open), 0);
  ASSERT_NE(checker, nullptr);

  // Each case hands one record with a wrong size, or none, to its entry point.
  struct Case {
    const char* record;
    std::function<int32_t(uint32_t size, bool give)> call;
    uint32_t rightSize;
  };
  const Case cases[] = {
      {"init", [&](uint32_t size, bool give) {
         QuarnSpellInit init = MakeInitRecord();
         init.size = size;
         return module.initialise(give ? &init : nullptr);
       }, 40},
      {"open", [&](uint32_t size, bool give) {
         QuarnSpellOpen record{size};
         QuarnSpellChecker* other = nullptr;
         int32_t result = module.openChecker(&other, give ? &record : nullptr);
         EXPECT_EQ(other, nullptr);
         return result;
       }, 4},
      {"options", [&](uint32_t size, bool give) {
         QuarnSpellOptions record = MakeOptionsRecord(0);
         record.size = size;
         return module.showOptions(checker, give ? &record : nullptr);
       }, 8},
      {"check", [&](uint32_t size, bool give) {
         QuarnSpellCheck record = MakeCheckRecord(0, 0);
         record.size = size;
         return module.check(checker, give ? &record : nullptr);
       }, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    for (uint32_t size : {0u, c.rightSize - 1, c.rightSize + 1, 0xFFFFFFFFu}) {
      EXPECT_LT(c.call(size, true), 0) << size;
      EXPECT_NE(LastError(module).find(std::string("The ") + c.record + " record has "), std::string::npos)
          << LastError(module);
    }
    EXPECT_LT(c.call(c.rightSize, false), 0);
    EXPECT_EQ(LastError(module), std::string("No ") + c.record + " record was given.");
  }
  module.closeChecker(checker);
}

TEST_F(SpellTest, NullAndStaleHandlesAreRefused) {
  StartModule();
  const SpellModule& module = *handler.Module();
  QuarnSpellOpen open = MakeOpenRecord();
  EXPECT_LT(module.openChecker(nullptr, &open), 0);
  EXPECT_FALSE(LastError(module).empty());

  QuarnSpellCheck check = MakeCheckRecord(0, 0);
  QuarnSpellOptions options = MakeOptionsRecord(0);
  EXPECT_LT(module.check(nullptr, &check), 0);
  EXPECT_EQ(LastError(module), "No checker was given.");
  EXPECT_LT(module.showOptions(nullptr, &options), 0);
  EXPECT_EQ(LastError(module), "No checker was given.");
  module.closeChecker(nullptr);  // ignored

  QuarnSpellChecker* checker = nullptr;
  ASSERT_GE(module.openChecker(&checker, &open), 0);
  module.closeChecker(checker);
  module.closeChecker(checker);  // a second release is ignored
  EXPECT_LT(module.check(checker, &check), 0);
  EXPECT_EQ(LastError(module), "The checker is not open.");
}

TEST_F(SpellTest, CheckRecordNamesATextEditorAndAKnownRange) {
  StartModule();
  const SpellModule& module = *handler.Module();
  QuarnSpellChecker* checker = nullptr;
  QuarnSpellOpen open = MakeOpenRecord();
  ASSERT_GE(module.openChecker(&checker, &open), 0);

  QPushButton button("not an editor");
  button.show();
  QuarnSpellCheck check = MakeCheckRecord(static_cast<uint32_t>(button.winId()), 0);
  EXPECT_LT(module.check(checker, &check), 0);
  EXPECT_EQ(LastError(module), "Window " + std::to_string(button.winId()) + " is not a text editor.");

  check = MakeCheckRecord(static_cast<uint32_t>(ShowEditor("text").winId()), 0);
  check.range = 7;
  EXPECT_LT(module.check(checker, &check), 0);
  EXPECT_EQ(LastError(module), "The check record asks for an unknown range, 7.");
  module.closeChecker(checker);

  EXPECT_EQ(handler.Check(uint64_t{1} << 32, 0).error, "The window id does not fit in 32 bits.");
}

TEST_F(SpellTest, NothingWorksBeforeInitialisationOrAfterShutdown) {
  StartModule();
  const SpellModule& module = *handler.Module();
  module.shutdown();
  QuarnSpellChecker* checker = nullptr;
  QuarnSpellOpen open = MakeOpenRecord();
  EXPECT_LT(module.openChecker(&checker, &open), 0);
  EXPECT_EQ(checker, nullptr);
  EXPECT_EQ(LastError(module), "The spell-check module was not initialised.");
  QuarnSpellInit init = MakeInitRecord();
  EXPECT_GE(module.initialise(&init), 0);
  EXPECT_STREQ(module.lastError(), "");
}

TEST_F(SpellTest, EnglishDictionaryIsInstalled) {
  StartModule();
  ShowEditor("The quick brown fox jumps over the lazy dog.");
  ModalScript script({AcceptMessageBox("The spelling check is complete.")});
  SpellOutcome outcome = CheckEditor();
  ASSERT_TRUE(outcome.ok) << "the en_US dictionary was not found; install the package " << kEnglishPackage
                          << " (scripts/install-deps.sh). The module said: " << outcome.error;
  EXPECT_EQ(script.Pending(), "");
}

TEST_F(SpellTest, MissingOrUnreadableDictionaryNamesLanguageAndFolders) {
  // A dictionary whose .aff is a folder exists but cannot be read.
  std::filesystem::create_directories(UserFolder() + "/dictionaries/xx_BROKEN.aff");
  WriteWholeFile(UserFolder() + "/dictionaries/xx_BROKEN.dic", "1\nword\n");
  struct Case {
    const char* language;
    const char* says;
  } const cases[] = {{"xx_NONE", "No dictionary for \"xx_NONE\" was found"},
                     {"xx_BROKEN", "The dictionary for \"xx_BROKEN\" cannot be read"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    WriteSettings(std::string("Language=") + c.language + "\n");
    StartModule();
    ShowEditor("Any text");
    SpellOutcome outcome = CheckEditor();
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.error.find(c.says), std::string::npos) << outcome.error;
    EXPECT_NE(outcome.error.find(UserFolder() + "/dictionaries"), std::string::npos) << outcome.error;
    EXPECT_NE(outcome.error.find("/usr/share/hunspell"), std::string::npos) << outcome.error;
  }
}

}  // namespace
}  // namespace mlf::test
