// Pages built to break the cutting: huge or crafted. Each gives a sound result in bounded
// time, never a crash or a hang.
#include <gtest/gtest.h>

#include "sites/text_cleaning.h"
#include "sites/text_cutting.h"

namespace quenbo::sites {
namespace {

constexpr std::size_t kFiftyMegabytes = 50u << 20;

TEST(HostilePage, FiftyMegabytePage) {
  Text page;
  const Text box = "<div class=\"box\"><a href=\"magnet:?xt=urn:btih:ABC\">x</a>" +
                   std::string(400, ' ') + "</div>";
  while (page.size() < kFiftyMegabytes) page += box;
  std::vector<Text> blocks;
  int count = cutAll(page, "<div class=\"box\">", "</div>", blocks);
  EXPECT_EQ(static_cast<std::size_t>(count), page.size() / box.size());
  EXPECT_EQ(textBetween(page, "magnet:", "\""), "?xt=urn:btih:ABC");
  EXPECT_EQ(textBetween(page, "<none>", "\""), "");
  EXPECT_EQ(textAfterLast(page, "btih:").substr(0, 3), "ABC");
  EXPECT_EQ(replaceChain(page, {{"  ", ""}}).size(), page.size() - 400 * blocks.size());
  EXPECT_EQ(net::trimBlanks(page), page);
}

TEST(HostilePage, GbkPageOfLeadBytesOnly) {
  Text page(kFiftyMegabytes + 1, '\xB0');  // odd length: ends in a lone lead byte
  std::vector<Text> blocks;
  // Every character starts with the marker: tens of millions of empty pieces are refused.
  EXPECT_EQ(cutAll(page, "\xB0", "\xB0", blocks), 0);
  EXPECT_EQ(textBetween(page, "\xB0\xB0", "x"), "");
  EXPECT_EQ(net::trimBlanks(page), page);
}

}  // namespace
}  // namespace quenbo::sites
