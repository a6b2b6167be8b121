#include "settings/settings_store.h"

#include <cstdint>

#include "base/encoding.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "base/numbers.h"
#include "settings/settings_keys.h"
#include "forms/main_window_names.h"
#include "forms/site_table.h"
#include "window/window_model.h"

namespace quenbo::ui {

using namespace window::names;

SettingsStore::SettingsStore(window::WindowModel& window, std::filesystem::path filePath)
    : window_(window), filePath_(std::move(filePath)) {}

void SettingsStore::load() {
  // The file does not change while it is loaded: read it once, not once per key.
  IniFile file(readFile(filePath_).value_or(Bytes()));
  const SettingsKeys& k = settingsKeys();

  // A number box gets the decimal text of the stored integer; its bounds rule then runs
  // on that change. Values below `lowest` load as `fallback`.
  auto number = [&](window::EditBoxId box, const Text& section, const Text& key, int lowest,
                    int fallback) {
    int value = textToInteger(file.value(section, key));
    if (value < lowest) value = fallback;
    window_.setText(box, integerToText(value));
  };
  // The loader only ever ticks: every box starts unticked.
  auto check = [&](window::CheckBoxId box, const Text& section, const Text& key, bool byDefault) {
    Text value = file.value(section, key);
    if (byDefault ? value != k.no : value == k.yes) window_.setChecked(box, true);
  };
  constexpr int kNoLowest = INT32_MIN;

  number(编辑框_页数, k.search, k.pages, 1, 5);
  number(编辑框_时间, k.search, k.timeout, 3, 5);
  number(编辑框_线程数量, k.search, k.threads, 1, 5);
  check(选择框_精准搜索, k.filter, k.exactSearch, true);
  check(选择框_过滤字词, k.filter, k.filterWords, false);
  check(选择框_显示字词, k.filter, k.showWords, false);
  check(选择框_删除重复, k.filter, k.removeDuplicates, true);
  number(编辑框_GB, k.filter, k.gigabytes, kNoLowest, 0);
  number(编辑框_MB, k.filter, k.megabytes, kNoLowest, 0);
  window_.setText(编辑框_关键字词A, file.value(k.filter, k.filterText));
  window_.setText(编辑框_关键字词B, file.value(k.filter, k.showText));
  check(选择框_保证显示, k.display, k.keepVisible, false);
  for (int index : window::kSitesInLoadOrder) {
    std::string_view site = window::kSites[static_cast<std::size_t>(index)].label;
    check(siteCheckBox(site), k.sites, utf8ToGbk(site), true);
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

}  // namespace quenbo::ui
