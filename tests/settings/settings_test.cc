#include <gtest/gtest.h>

#include "settings/settings.h"

namespace mlf {
namespace {

TEST(SettingsTest, FirstStartRunsWithDefaultsAndWritesEveryValue) {
  MemorySettingsStore store;
  MlfSettings settings;
  settings.Load(store);
  EXPECT_TRUE(settings.promptDelete);
  EXPECT_EQ(settings.defaultFontName, "Arial");
  EXPECT_EQ(settings.importFontSize, 11u);
  EXPECT_EQ(settings.dataSearchOptions, 7u);
  EXPECT_FALSE(settings.lastPlacement.IsSet());
  settings.Save(store);
  EXPECT_EQ(settings.BackupsKept(), 3u);
  EXPECT_EQ(store.values.size(), 26u);
  EXPECT_EQ(std::get<uint32_t>(store.values["AutosaveMinutes"]), 2u);
  EXPECT_EQ(std::get<uint32_t>(store.values["MinimizeToTray"]), 1u);
  EXPECT_TRUE(std::get<std::vector<uint8_t>>(store.values["LastPlacement"]).empty()) << "never captured";
  EXPECT_EQ(std::get<std::vector<uint8_t>>(store.values["FindInNodesRect"]).size(), 16u);
}

TEST(SettingsTest, StoredValuesAreCorrected) {
  struct Case {
    const char* name;
    MemorySettingsStore::Value stored;
    std::function<bool(const MlfSettings&)> expect;
  } cases[] = {
      {"DefaultFontSize", uint32_t(0), [](const MlfSettings& s) { return s.defaultFontSize == 12; }},
      {"ImportFontSize", std::string("wrong type"), [](const MlfSettings& s) { return s.importFontSize == 11; }},
      {"DefaultFontName", std::string(""), [](const MlfSettings& s) { return s.defaultFontName == "Arial"; }},
      {"ImportFontName", std::string(""), [](const MlfSettings& s) { return s.importFontName == "Courier New"; }},
      {"SearchMode", uint32_t(5), [](const MlfSettings& s) { return s.searchMode == 0; }},
      {"SearchMode", uint32_t(0xFFFFFFFF), [](const MlfSettings& s) { return s.searchMode == 0; }},
      {"SearchMode", uint32_t(2), [](const MlfSettings& s) { return s.searchMode == 2; }},
      {"FindInNodesRect", std::vector<uint8_t>(12, 1), [](const MlfSettings& s) { return s.findInNodesRect == ScreenRect{}; }},
      {"LastPlacement", std::vector<uint8_t>{}, [](const MlfSettings& s) { return !s.lastPlacement.IsSet(); }},
      {"PromptDelete", uint32_t(0), [](const MlfSettings& s) { return !s.promptDelete; }},
      {"KeepBackups", uint32_t(0), [](const MlfSettings& s) { return s.BackupsKept() == 0; }},
      {"BackupCount", uint32_t(7), [](const MlfSettings& s) { return s.BackupsKept() == 7; }},
  };
  for (const Case& c : cases) {
    MemorySettingsStore store;
    store.values[c.name] = c.stored;
    MlfSettings settings;
    settings.Load(store);
    EXPECT_TRUE(c.expect(settings)) << c.name;
  }
}

TEST(SettingsTest, ValuesSurviveSaveAndLoad) {
  MemorySettingsStore store;
  MlfSettings saved;
  saved.Load(store);
  saved.searchMode = 1;
  saved.dataSearchOptions = kSearchTitles;
  saved.findInNodesRect = {-10, 20, 300, 400};
  saved.lastPlacement = {44, 0, kShowMaximized, -1, -1, -1, -1, 10, 20, 810, 620};
  saved.importFontName = "DejaVu Sans Mono";
  saved.Save(store);
  MlfSettings loaded;
  loaded.Load(store);
  EXPECT_EQ(loaded.searchMode, 1);
  EXPECT_EQ(loaded.dataSearchOptions, kSearchTitles);
  EXPECT_EQ(loaded.findInNodesRect, (ScreenRect{-10, 20, 300, 400}));
  EXPECT_EQ(loaded.lastPlacement.showState, kShowMaximized);
  EXPECT_EQ(loaded.lastPlacement.bottom, 620);
  EXPECT_EQ(loaded.importFontName, "DejaVu Sans Mono");
}

TEST(SettingsTest, UnloadedSettingsAreNeverSaved) {
  MemorySettingsStore store;
  store.values["DefaultFontName"] = std::string("Garamond");
  MlfSettings neverLoaded;
  neverLoaded.Save(store);
  EXPECT_EQ(std::get<std::string>(store.values["DefaultFontName"]), "Garamond");
  EXPECT_EQ(store.values.size(), 1u);
}

TEST(CustomColoursTest, ReadingRules) {
  const uint32_t W = 0xFFFFFF;
  struct Case {
    const char* text;
    std::array<uint32_t, 3> first;
  } cases[] = {
      {"", {W, W, W}},
      {"#000000ff;#0000ff00;#00ff0000;", {0xFF, 0xFF00, 0xFF0000}},
      {"  #12; #34 ;x#56;", {0x12, 0x34, W}},
      {"#abc", {0xABC, W, W}},  // kept although its ";" is missing
      {"123;#456;", {W, W, W}},
  };
  for (const Case& c : cases) {
    CustomColours colours = ParseCustomColours(c.text);
    EXPECT_EQ((std::array<uint32_t, 3>{colours[0], colours[1], colours[2]}), c.first) << c.text;
  }
  CustomColours all;
  all.fill(0x00123456);
  std::string text = FormatCustomColours(all);
  EXPECT_EQ(text.size(), 160u);
  EXPECT_EQ(text.substr(0, 10), "#00123456;");
  EXPECT_EQ(ParseCustomColours(text), all);
}

TEST(WindowPlacementTest, RecordBytes) {
  WindowPlacement p{44, 2, kShowNormal, 1, 2, 3, 4, -5, 6, 7, 8};
  std::vector<uint8_t> bytes = PackPlacement(p);
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(bytes[0], 44);
  EXPECT_EQ(bytes[28], 0xFB);  // left = -5, little-endian
  EXPECT_EQ(UnpackPlacement(bytes).left, -5);
  EXPECT_TRUE(PackPlacement(WindowPlacement{}).empty());
}

}  // namespace
}  // namespace mlf
