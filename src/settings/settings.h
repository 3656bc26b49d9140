// Every user option and remembered window state, with its stored name, type and default. Read
// once at start-up, written once at shutdown; nothing in between.
#pragma once

#include <string>

#include "settings/custom_colours.h"
#include "settings/settings_store.h"
#include "settings/window_placement.h"

namespace mlf {

// Data that Find in Nodes searches.
enum SearchData : uint32_t { kSearchTitles = 1, kSearchKeywords = 2, kSearchContent = 4 };

struct MlfSettings {
  bool promptDelete = true;
  bool promptMove = false;
  bool resizeBilinear = false;
  bool showHelpBar = true;
  WindowPlacement lastPlacement;
  bool startInTray = false;
  bool reloadLast = false;
  uint32_t defaultFontSize = 12;
  uint32_t importFontSize = 11;
  std::string defaultFontName = "Arial";
  std::string importFontName = "Courier New";
  bool wordWrap = true;
  bool singleClick = false;
  bool showSplash = true;
  bool autoWordSelection = true;
  bool imageScaleToFit = true;
  WindowPlacement lastChildPlacement;
  bool alwaysOnTop = false;
  int32_t searchMode = 0;  // 0..2
  uint32_t dataSearchOptions = kSearchTitles | kSearchKeywords | kSearchContent;
  ScreenRect findInNodesRect;
  std::string customColours;  // as stored; ParseCustomColours reads it
  bool minimizeToTray = true;
  bool keepBackups = true;   // a save keeps the previous versions of the note file beside it
  uint32_t backupCount = 3;  // as name.bak1 (the newest) to name.bakN

  // The number of previous versions a save keeps: 0 when backups are off.
  uint32_t BackupsKept() const { return keepBackups ? backupCount : 0; }
  uint32_t autosaveMinutes = 2;  // how often modified documents go to recovery files; 0 = never

  // Reads every value, with the default for what is missing or of the wrong type, and the
  // corrections: font size 0, an empty font name, a search mode outside 0..2.
  void Load(SettingsStore& store);
  // Writes every value in the same order. Only a run whose settings were loaded saves them, so
  // a start that failed early never overwrites the user's settings with defaults.
  void Save(SettingsStore& store) const;
  bool IsLoaded() const { return m_loaded; }

 private:
  bool m_loaded = false;
};

}  // namespace mlf
