// The 26 search sites in catalogue order: the launch order of a search, the order of its
// running flags, and the check boxes of the settings tab.
#pragma once

#include <array>
#include <string_view>

namespace quenbo::window {

inline constexpr int kSiteCount = 26;

struct SiteBox {
  std::string_view label;  // UTF-8 spelling; the check box is "选择框_" + label
  bool visible;            // only eleven sites can be ticked
  int left;                // place in the row of site boxes (visible ones only)
  int width;
};

inline constexpr std::array<SiteBox, kSiteCount> kSiteBoxes = {{
    {"Btdad", true, 90, 50},      {"Ttcili", false, 0, 60},    {"Iheian", true, 160, 58},
    {"Ciliwang", false, 0, 60},   {"Ciliguo", false, 0, 60},   {"Sobt", true, 238, 45},
    {"Wiki", false, 0, 60},       {"磁小鸭", false, 0, 60},    {"Chazhongzi", false, 0, 60},
    {"BT樱桃", false, 0, 60},     {"种子搜", true, 303, 57},   {"BT蚂蚁", false, 0, 60},
    {"Torrentz", true, 760, 68},  {"磁力果", false, 0, 60},    {"Kickass", false, 0, 60},
    {"Skrbt", false, 0, 60},      {"Monova", false, 0, 60},    {"SXBTZZ", true, 848, 60},
    {"A8bt", false, 0, 60},       {"BTKU", false, 0, 60},      {"Btsow", true, 380, 50},
    {"Renz", true, 450, 50},      {"FeiBt", true, 520, 50},    {"章鱼搜索", true, 590, 70},
    {"Sunyaa", true, 680, 60},    {"idopea", false, 0, 60},
}};

}  // namespace quenbo::window
