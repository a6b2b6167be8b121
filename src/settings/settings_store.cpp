#include "settings/settings_store.h"

#include <cstdint>

#include "base/encoding.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "base/numbers.h"
#include "settings/settings_keys.h"
#include "settings/stored_settings.h"
#include "forms/main_window_names.h"
#include "core/site_table.h"
#include "window/window_model.h"

namespace quenbo::settings {

using namespace forms::names;

SettingsStore::SettingsStore(window::WindowModel& window, std::filesystem::path filePath)
    : window_(window), filePath_(std::move(filePath)) {}

void SettingsStore::load() {
  // The file does not change while it is loaded: read it once, not once per key.
  IniFile file(readFile(filePath_).value_or(Bytes()));
  const StoredSettings s = readStoredSettings(file);

  // A number box gets the decimal text of the stored integer; its bounds rule then runs on
  // that change. The loader only ever ticks: every box starts unticked.
  auto number = [&](window::EditBoxId box, int value) { window_.setText(box, integerToText(value)); };
  auto check = [&](window::CheckBoxId box, bool ticked) {
    if (ticked) window_.setChecked(box, true);
  };
  number(编辑框_页数, s.pages);
  number(编辑框_时间, s.timeout);
  number(编辑框_线程数量, s.threads);
  check(选择框_精准搜索, s.exactSearch);
  check(选择框_过滤字词, s.filterWordsOn);
  check(选择框_显示字词, s.showWordsOn);
  check(选择框_删除重复, s.removeDuplicates);
  number(编辑框_GB, s.gigabytes);
  number(编辑框_MB, s.megabytes);
  window_.setText(编辑框_关键字词A, s.filterText);
  window_.setText(编辑框_关键字词B, s.showText);
  check(选择框_保证显示, s.keepVisible);
  for (int index : core::kSitesInLoadOrder) {
    check(siteCheckBox(core::kSites[static_cast<std::size_t>(index)].label),
          s.sites[static_cast<std::size_t>(index)]);
  }
  int tab = readCurrentTab(file);
  if (tab >= 0 && window_.tabVisible(高级选择夹1, tab)) window_.setCurrentTab(高级选择夹1, tab);
}

std::optional<WindowPlacement> SettingsStore::placement() const {
  return readWindowPlacement(IniFile(readFile(filePath_).value_or(Bytes())));
}

bool SettingsStore::writePlacement(const WindowPlacement& placement) {
  return change([&](IniFile& file) { setWindowPlacement(file, placement); });
}

bool SettingsStore::writeValue(std::string_view section, std::string_view key,
                               std::string_view value) {
  return change([&](IniFile& file) { file.setValue(section, key, value); });
}

bool SettingsStore::change(const std::function<void(IniFile&)>& change) {
  if (!settingsLoaded_) return false;
  // The configuration directory may not exist yet on a first run.
  // A directory that cannot be made fails the write below.
  (void)makeDirectories(filePath_.parent_path());
  return changeIniFile(filePath_, change);
}

}  // namespace quenbo::settings
