// Sections, keys and the two boolean values of the settings file, in GBK.
#pragma once

#include "base/text.h"

namespace quenbo::settings {

struct SettingsKeys {
  Text search, pages, timeout, threads;
  Text filter, exactSearch, filterWords, showWords, removeDuplicates, gigabytes, megabytes,
      filterText, showText;
  Text display, keepVisible;
  Text sites;  // keyed by the site label
  // The window's own section: placement and current tab.
  Text window, left, top, width, height, maximised, tab;
  Text yes, no;
};

const SettingsKeys& settingsKeys();

}  // namespace quenbo::settings
