#include <gtest/gtest.h>

#include <QSettings>

#include "app/qt_settings_store.h"
#include "settings/settings.h"

namespace mlf {
namespace {

TEST(QtSettingsStoreTest, SettingsSurviveSavingAndLoading) {
  MlfSettings saved;
  {
    QtSettingsStore first;
    saved.Load(first);  // only loaded settings are ever saved
  }
  saved.promptDelete = false;
  saved.defaultFontName = "DejaVu Sans";
  saved.searchMode = 2;
  saved.customColours = "#00ffffff; #000000ff;\"quoted\" = text";
  saved.lastPlacement = {WindowPlacement::kSize, 0, kShowMaximized, 0, 0, 0, 0, 10, 20, 810, 620};
  saved.findInNodesRect = {-5, 6, 700, 800};
  {
    QtSettingsStore store;
    saved.Save(store);
    store.Flush();
  }
  MlfSettings loaded;
  QtSettingsStore store;
  loaded.Load(store);
  EXPECT_FALSE(loaded.promptDelete);
  EXPECT_EQ(loaded.defaultFontName, "DejaVu Sans");
  EXPECT_EQ(loaded.searchMode, 2);
  EXPECT_EQ(loaded.customColours, saved.customColours) << "the text format's special characters survive";
  EXPECT_EQ(loaded.lastPlacement.showState, kShowMaximized);
  EXPECT_EQ(loaded.lastPlacement.right, 810);
  EXPECT_EQ(loaded.findInNodesRect, saved.findInNodesRect);
  EXPECT_FALSE(loaded.lastChildPlacement.IsSet()) << "an unset placement is written empty and read as none";
}

TEST(QtSettingsStoreTest, AValueOfAnotherTypeReadsAsMissing) {
  QtSettingsStore store;
  store.WriteBinary("Blob", {1, 2, 3});
  store.WriteText("Word", "not a number");
  store.WriteNumber("Count", 7);
  EXPECT_FALSE(store.ReadNumber("Blob"));
  EXPECT_FALSE(store.ReadText("Blob"));
  EXPECT_FALSE(store.ReadNumber("Word"));
  EXPECT_FALSE(store.ReadBinary("Count"));
  EXPECT_EQ(store.ReadNumber("Count"), 7u);
  EXPECT_EQ(store.ReadBinary("Blob"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(store.ReadNumber("Missing"));
}

TEST(QtSettingsStoreTest, KeepsTheProgramsKeyAndGroup) {
  { QtSettingsStore store; store.WriteNumber("PromptMove", 1); }
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quarn Data Solutions"),
                     QStringLiteral("Quarn Marrowleaf"));
  EXPECT_EQ(settings.value(QStringLiteral("Settings/PromptMove")).toUInt(), 1u);
}

}  // namespace
}  // namespace mlf
