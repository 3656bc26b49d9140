#include "settings/settings.h"

namespace mlf {
namespace {

// One table drives loading and saving, so the two can never disagree on a name or an order.
template <typename Settings, typename Visitor>
void VisitValues(Settings& s, Visitor&& v) {
  v.Flag("PromptDelete", s.promptDelete, true);
  v.Flag("PromptMove", s.promptMove, false);
  v.Flag("ResizeBilinear", s.resizeBilinear, false);
  v.Flag("ShowHelpBar", s.showHelpBar, true);
  v.Placement("LastPlacement", s.lastPlacement);
  v.Flag("StartInTray", s.startInTray, false);
  v.Flag("ReloadLast", s.reloadLast, false);
  v.Number("DefaultFontSize", s.defaultFontSize, 12u);
  v.Number("ImportFontSize", s.importFontSize, 11u);
  v.Text("DefaultFontName", s.defaultFontName);
  v.Text("ImportFontName", s.importFontName);
  v.Flag("WordWrap", s.wordWrap, true);
  v.Flag("SingleClick", s.singleClick, false);
  v.Flag("ShowSplash", s.showSplash, true);
  v.Flag("AutoWordSelection", s.autoWordSelection, true);
  v.Flag("ImageScaleToFit", s.imageScaleToFit, true);
  v.Placement("LastChildPlacement", s.lastChildPlacement);
  v.Flag("AlwaysOnTop", s.alwaysOnTop, false);
  v.Signed("SearchMode", s.searchMode, 0);
  v.Number("DataSearchOptions", s.dataSearchOptions, 7u);
  v.Rect("FindInNodesRect", s.findInNodesRect);
  v.Text("CustomColours", s.customColours);
  v.Flag("MinimizeToTray", s.minimizeToTray, true);
  v.Flag("KeepBackups", s.keepBackups, true);
  v.Number("BackupCount", s.backupCount, 3u);
  v.Number("AutosaveMinutes", s.autosaveMinutes, 2u);
}

struct Loader {
  SettingsStore& store;
  void Flag(const char* name, bool& value, bool fallback) {
    std::optional<uint32_t> n = store.ReadNumber(name);
    value = n ? *n != 0 : fallback;
  }
  void Number(const char* name, uint32_t& value, uint32_t fallback) { value = store.ReadNumber(name).value_or(fallback); }
  void Signed(const char* name, int32_t& value, int32_t fallback) {
    std::optional<uint32_t> n = store.ReadNumber(name);
    value = n ? static_cast<int32_t>(*n) : fallback;
  }
  void Text(const char* name, std::string& value) { value = store.ReadText(name).value_or(std::string()); }
  void Placement(const char* name, WindowPlacement& value) {
    std::optional<std::vector<uint8_t>> bytes = store.ReadBinary(name);
    value = bytes ? UnpackPlacement(*bytes) : WindowPlacement{};
  }
  void Rect(const char* name, ScreenRect& value) { value = UnpackRect(store.ReadBinary(name)); }
};

struct Saver {
  SettingsStore& store;
  void Flag(const char* name, bool value, bool) { store.WriteNumber(name, value ? 1 : 0); }
  void Number(const char* name, uint32_t value, uint32_t) { store.WriteNumber(name, value); }
  void Signed(const char* name, int32_t value, int32_t) { store.WriteNumber(name, static_cast<uint32_t>(value)); }
  void Text(const char* name, const std::string& value) { store.WriteText(name, value); }
  void Placement(const char* name, const WindowPlacement& value) { store.WriteBinary(name, PackPlacement(value)); }
  void Rect(const char* name, const ScreenRect& value) { store.WriteBinary(name, PackRect(value)); }
};

}  // namespace

void MlfSettings::Load(SettingsStore& store) {
  VisitValues(*this, Loader{store});
  if (defaultFontSize == 0) defaultFontSize = 12;
  if (importFontSize == 0) importFontSize = 11;
  if (defaultFontName.empty()) defaultFontName = "Arial";
  if (importFontName.empty()) importFontName = "Courier New";
  if (searchMode < 0 || searchMode > 2) searchMode = 0;
  m_loaded = true;
}

void MlfSettings::Save(SettingsStore& store) const {
  if (!m_loaded) return;
  VisitValues(*this, Saver{store});
}

}  // namespace mlf
