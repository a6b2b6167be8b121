// The search sites, one row each, in catalogue order: the order of a search's launch, of its
// running flags and of the site boxes on the settings tab. A row's place is the site's index
// everywhere (`SiteRow::index`, `SiteRun::site`, the command line's --sites). Adding a site
// means a row here plus its adapter data in the site catalogue; every count follows.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quenbo::core {

struct SiteEntry {
  // UTF-8 spelling: the check box is "选择框_" + label; also the site's key in the settings
  // and hosts files and its name in the log.
  std::string_view label;
  bool shown;     // only shown boxes can be ticked
  int loadOrder;  // the settings loader's place for a shown box, from 0; -1 for a hidden one
  int left;       // place in the row of site boxes (shown ones only)
  int width;
};

inline constexpr auto kSites = std::to_array<SiteEntry>({
    {"Btdad", true, 0, 90, 50},     {"Ttcili", false, -1, 0, 60},  {"Iheian", true, 1, 160, 58},
    {"Ciliwang", false, -1, 0, 60}, {"Ciliguo", false, -1, 0, 60}, {"Sobt", true, 3, 238, 45},
    {"Wiki", false, -1, 0, 60},     {"磁小鸭", false, -1, 0, 60},  {"Chazhongzi", false, -1, 0, 60},
    {"BT樱桃", false, -1, 0, 60},   {"种子搜", true, 5, 303, 57},  {"BT蚂蚁", false, -1, 0, 60},
    {"Torrentz", true, 6, 760, 68}, {"磁力果", false, -1, 0, 60},  {"Kickass", false, -1, 0, 60},
    {"Skrbt", false, -1, 0, 60},    {"Monova", false, -1, 0, 60},  {"SXBTZZ", true, 8, 848, 60},
    {"A8bt", false, -1, 0, 60},     {"BTKU", false, -1, 0, 60},    {"Btsow", true, 9, 380, 50},
    {"Renz", true, 7, 450, 50},     {"FeiBt", true, 10, 520, 50},  {"章鱼搜索", true, 4, 590, 70},
    {"Sunyaa", true, 2, 680, 60},   {"idopea", false, -1, 0, 60},
});

inline constexpr int kSiteCount = static_cast<int>(kSites.size());

inline constexpr int kShownSiteCount = [] {
  int count = 0;
  for (const SiteEntry& site : kSites) count += site.shown ? 1 : 0;
  return count;
}();

// The indexes of the shown sites in the settings loader's order.
inline constexpr std::array<int, kShownSiteCount> kSitesInLoadOrder = [] {
  std::array<int, kShownSiteCount> order{};
  for (int& index : order) index = -1;
  for (int i = 0; i < kSiteCount; ++i) {
    const SiteEntry& site = kSites[static_cast<std::size_t>(i)];
    if (site.shown && site.loadOrder >= 0 && site.loadOrder < kShownSiteCount) {
      order[static_cast<std::size_t>(site.loadOrder)] = i;
    }
  }
  return order;
}();

// The index of the site with that label, ASCII letters in any case. UTF-8 labels hold no
// ASCII bytes in their multi-byte characters, so folding byte by byte leaves those alone.
constexpr std::optional<int> siteIndex(std::string_view label) {
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (int i = 0; i < kSiteCount; ++i) {
    std::string_view known = kSites[static_cast<std::size_t>(i)].label;
    if (known.size() != label.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < known.size() && same; ++k) same = fold(known[k]) == fold(label[k]);
    if (same) return i;
  }
  return std::nullopt;
}

// Every shown site has a place of its own in the load order, every hidden one none; no two
// labels differ in ASCII case only.
static_assert([] {
  for (int index : kSitesInLoadOrder) {
    if (index < 0) return false;
  }
  for (int i = 0; i < kSiteCount; ++i) {
    const SiteEntry& site = kSites[static_cast<std::size_t>(i)];
    if (!site.shown && site.loadOrder != -1) return false;
    if (siteIndex(site.label) != i) return false;
  }
  return true;
}());

}  // namespace quenbo::core
