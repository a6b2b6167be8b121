#include "core/site_table.h"

#include <gtest/gtest.h>

#include <optional>

namespace quenbo::core {
namespace {

TEST(SiteTable, LabelsAreFoundInAnyAsciiCase) {
  struct Case {
    std::string_view label;
    std::optional<int> index;
  };
  const Case cases[] = {
      {"Btdad", 0},
      {"btsow", 20},
      {"SXBTZZ", 17},
      {"sxbtzz", 17},
      {"章鱼搜索", 23},
      {"bt樱桃", 9},
      {"BT樱桃", 9},
      {"Btdad ", std::nullopt},
      {"Btda", std::nullopt},
      {"", std::nullopt},
      {"nosuchsite", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(siteIndex(c.label), c.index) << c.label;
}

}  // namespace
}  // namespace quenbo::core
