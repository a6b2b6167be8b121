#include "settings/stored_settings.h"

#include <cstdint>

#include "base/encoding.h"
#include "base/numbers.h"
#include "settings/settings_keys.h"

namespace quenbo::settings {

StoredSettings readStoredSettings(const IniFile& file) {
  const SettingsKeys& k = settingsKeys();
  // Values below `lowest` load as `fallback`.
  auto number = [&](const Text& section, const Text& key, int lowest, int fallback) {
    int value = textToInteger(file.value(section, key));
    return value < lowest ? fallback : value;
  };
  auto check = [&](const Text& section, const Text& key, bool byDefault) {
    Text value = file.value(section, key);
    return byDefault ? value != k.no : value == k.yes;
  };
  StoredSettings s;
  s.pages = number(k.search, k.pages, 1, 5);
  s.timeout = number(k.search, k.timeout, 3, 5);
  s.threads = number(k.search, k.threads, 1, 5);
  s.exactSearch = check(k.filter, k.exactSearch, true);
  s.filterWordsOn = check(k.filter, k.filterWords, false);
  s.showWordsOn = check(k.filter, k.showWords, false);
  s.removeDuplicates = check(k.filter, k.removeDuplicates, true);
  s.gigabytes = number(k.filter, k.gigabytes, INT32_MIN, 0);
  s.megabytes = number(k.filter, k.megabytes, INT32_MIN, 0);
  s.filterText = file.value(k.filter, k.filterText);
  s.showText = file.value(k.filter, k.showText);
  s.keepVisible = check(k.display, k.keepVisible, false);
  for (int index : core::kSitesInLoadOrder) {
    std::string_view site = core::kSites[static_cast<std::size_t>(index)].label;
    s.sites[static_cast<std::size_t>(index)] = check(k.sites, utf8ToGbk(site), true);
  }
  return s;
}

core::FilterSettings storedFilter(const StoredSettings& settings) {
  core::FilterSettings f;
  f.exactSearch = settings.exactSearch;
  f.filterWordsOn = settings.filterWordsOn;
  f.filterWords = core::filterWordsOf(settings.filterText);
  f.showWordsOn = settings.showWordsOn;
  f.showWords = core::filterWordsOf(settings.showText);
  f.removeDuplicates = settings.removeDuplicates;
  f.sizeThreshold = core::sizeThreshold(integerToText(settings.gigabytes),
                                        integerToText(settings.megabytes));
  return f;
}

}  // namespace quenbo::settings
