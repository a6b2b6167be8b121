// Sections, keys and the two boolean values of the settings file, in GBK.
#pragma once

#include "base/text.h"

namespace quenbo::ui {

struct SettingsKeys {
  Text search, pages, timeout, threads;
  Text filter, exactSearch, filterWords, showWords, removeDuplicates, gigabytes, megabytes,
      filterText, showText;
  Text display, keepVisible;
  Text sites;  // keyed by the site label
  Text yes, no;
};

const SettingsKeys& settingsKeys();

}  // namespace quenbo::ui
