#include "settings/window_placement.h"

#include "base/numbers.h"
#include "settings/settings_keys.h"

namespace quenbo::settings {

std::optional<WindowPlacement> readWindowPlacement(const IniFile& file) {
  const SettingsKeys& k = settingsKeys();
  for (const Text* key : {&k.left, &k.top, &k.width, &k.height}) {
    if (file.value(k.window, *key).empty()) return std::nullopt;
  }
  WindowPlacement p;
  p.left = textToInteger(file.value(k.window, k.left));
  p.top = textToInteger(file.value(k.window, k.top));
  p.width = textToInteger(file.value(k.window, k.width));
  p.height = textToInteger(file.value(k.window, k.height));
  p.maximised = file.value(k.window, k.maximised) == k.yes;
  if (p.width <= 0 || p.height <= 0) return std::nullopt;
  p.tab = readCurrentTab(file);
  return p;
}

void setWindowPlacement(IniFile& file, const WindowPlacement& p) {
  const SettingsKeys& k = settingsKeys();
  file.setValue(k.window, k.left, integerToText(p.left));
  file.setValue(k.window, k.top, integerToText(p.top));
  file.setValue(k.window, k.width, integerToText(p.width));
  file.setValue(k.window, k.height, integerToText(p.height));
  file.setValue(k.window, k.maximised, p.maximised ? k.yes : k.no);
  if (p.tab >= 0) file.setValue(k.window, k.tab, integerToText(p.tab));
}

int readCurrentTab(const IniFile& file) {
  const SettingsKeys& k = settingsKeys();
  Text value = file.value(k.window, k.tab);
  return value.empty() ? -1 : textToInteger(value);
}

}  // namespace quenbo::settings
