// The search and filter choices of the settings file as one value, read the way the
// settings loader reads them: the window's controls are filled from it, and the command line
// searches with it directly.
#pragma once

#include <array>

#include "base/ini_file.h"
#include "base/text.h"
#include "core/search_request.h"
#include "core/site_table.h"

namespace quenbo::settings {

// The range a number box keeps: a text outside it is replaced by the nearer bound.
struct NumberBounds {
  int lowest, highest;
  int clamp(int value) const { return value < lowest ? lowest : value > highest ? highest : value; }
};
inline constexpr NumberBounds kPageBounds{1, 30};     // 编辑框_页数: pages per site
inline constexpr NumberBounds kTimeoutBounds{3, 10};  // 编辑框_时间: seconds per request
inline constexpr NumberBounds kThreadBounds{1, 10};   // 编辑框_线程数量

struct StoredSettings {
  // As stored; a value below its lowest loads as 5 (the bounds apply afterwards).
  int pages = 5, timeout = 5, threads = 5;
  bool exactSearch = true, filterWordsOn = false, showWordsOn = false, removeDuplicates = true;
  int gigabytes = 0, megabytes = 0;
  Text filterText, showText;  // the word lists, as stored
  bool keepVisible = false;
  // Ticked shown sites; a hidden site is never ticked from the file.
  std::array<bool, core::kSiteCount> sites{};
};

// A missing file, section or key gives the default.
StoredSettings readStoredSettings(const IniFile& file);

// The filter the stored settings ask for (without a keyword).
core::FilterSettings storedFilter(const StoredSettings& settings);

}  // namespace quenbo::settings
