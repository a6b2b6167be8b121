// The content every simulated site shows: stable, shared across sites where it should be, and
// dressed in each site's own forms (highlights, sizes, Chinese text).
#include <gtest/gtest.h>

#include "site_simulator/site_simulator.h"

namespace quenbo {
namespace {

using simulator::SimulatedItem;
using simulator::SiteSimulator;

class SimulatedContent : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sites_ = new SiteSimulator(); }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }
  static std::vector<SimulatedItem> items(std::string_view label, int page = 1,
                                          std::string_view keyword = "abc") {
    return sites_->itemsOnPage(label, keyword, page);
  }
  static SiteSimulator* sites_;
};
SiteSimulator* SimulatedContent::sites_ = nullptr;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return text;
}

// The text without its markup tags.
std::string withoutTags(std::string_view text) {
  std::string out;
  bool inTag = false;
  for (char c : text) {
    if (c == '<') inTag = true;
    if (!inTag) out += c;
    if (c == '>') inTag = false;
  }
  return out;
}

bool hasChinese(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0xE4) return true;  // lead byte of a CJK character
  }
  return false;
}

TEST_F(SimulatedContent, EverySiteShowsTheDefaultPagesOfItsOwnResults) {
  for (const std::string& label : SiteSimulator::siteLabels()) {
    SCOPED_TRACE(label);
    std::vector<SimulatedItem> first = items(label);
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(items(label, 3).size(), 10u);
    EXPECT_TRUE(items(label, 4).empty());
    EXPECT_TRUE(items(label, 0).empty());
    EXPECT_EQ(items(label)[5].infoHash, first[5].infoHash);  // stable
    EXPECT_NE(items(label, 2)[5].infoHash, first[5].infoHash);
    EXPECT_NE(items(label, 1, "abd")[5].infoHash, first[5].infoHash);
    for (const SimulatedItem& item : first) {
      EXPECT_EQ(item.infoHash.size(), 40u);
      EXPECT_NE(withoutTags(item.title).find(" abc "), std::string::npos) << item.title;
      EXPECT_TRUE(hasChinese(item.title)) << item.title;
      EXPECT_FALSE(item.size.empty());
    }
  }
}

TEST_F(SimulatedContent, EveryThirdResultIsTheSameResourceOnEverySite) {
  std::string shared = items("Btdad")[3].infoHash;
  for (const char* label : {"Sobt", "Btsow", "种子搜", "磁小鸭", "Renz"}) {
    SCOPED_TRACE(label);
    EXPECT_EQ(lower(items(label)[3].infoHash), shared);
    EXPECT_NE(lower(items(label)[4].infoHash), items("Btdad")[4].infoHash);
  }
  // Btsow and Torrentz write hashes in upper case.
  EXPECT_EQ(items("Btsow")[0].infoHash.find_first_of("abcdef"), std::string::npos);
  EXPECT_EQ(items("Torrentz")[3].link, "magnet:?xt=urn:btih:" + items("Torrentz")[3].infoHash);
}

TEST_F(SimulatedContent, TitlesCarryEachSitesHighlightAndBadge) {
  struct Case {
    const char* label;
    const char* marked;  // the keyword as the first title shows it
  } cases[] = {
      {"Btdad", "<span class=\"red\">abc</span>"},
      {"Ciliguo", "<span style='color:#dc3545'>abc</span>"},
      {"Sobt", "<em>abc</em>"},
      {"Wiki", "<b>abc</b>"},
      {"BT樱桃", "<b>abc</b>"},
      {"A8bt", "<b>a</b><b>bc</b>"},
      {"Btsow", " abc "},
      {"种子搜", " abc "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_NE(items(c.label)[0].title.find(c.marked), std::string::npos) << items(c.label)[0].title;
    EXPECT_EQ(items(c.label)[1].title.find('<'), std::string::npos);
  }
  EXPECT_EQ(items("Monova")[2].title.rfind("<span class=\"label label-success\">HD</span>", 0), 0u);
  EXPECT_NE(items("Sobt", 1, "a<b>")[1].title.find("a&lt;b&gt;"), std::string::npos);
  EXPECT_NE(items("种子搜", 1, "a<b>")[1].title.find("a<b>"), std::string::npos);
}

TEST_F(SimulatedContent, SizesAndDatesTakeEachSitesForm) {
  auto sizes = [](std::string_view label) {
    std::string all;
    for (const SimulatedItem& item : items(label)) all += item.size + "|";
    return all;
  };
  for (const char* compact : {"Btsow", "FeiBt"}) {
    SCOPED_TRACE(compact);
    EXPECT_EQ(sizes(compact).find(' '), std::string::npos);
    EXPECT_NE(sizes(compact).find_first_of("gmk"), std::string::npos);  // some lower-case units
  }
  for (const char* unknown : {"磁小鸭", "Ciliwang"}) {
    EXPECT_EQ(items(unknown)[3].size, "未知");
    EXPECT_EQ(sizes(unknown).find(' '), std::string::npos);
  }
  EXPECT_NE(sizes("SXBTZZ").find("\u00A0"), std::string::npos);
  EXPECT_NE(sizes("idopea").find("\u00A0"), std::string::npos);
  EXPECT_NE(sizes("Btdad").find(' '), std::string::npos);
  EXPECT_EQ(items("idopea")[0].date.substr(0, 11), std::string(10, ' ') + "2");
  EXPECT_EQ(items("idopea")[0].heat, "");
  EXPECT_NE(items("Sunyaa")[0].link.find("&dn="), std::string::npos);
  EXPECT_EQ(items("Kickass")[0].heat + items("Kickass")[0].date, "");
  EXPECT_EQ(items("Monova")[0].heat + items("Monova")[0].date, "");
  EXPECT_EQ(items("Ciliwang")[0].date.size(), 19u);  // date and time
}

}  // namespace
}  // namespace quenbo
