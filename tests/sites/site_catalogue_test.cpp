#include "sites/site_catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "base/encoding.h"
#include "sites/site_hosts.h"
#include "sites/site_log.h"
#include "sites/site_plan.h"
#include "core/site_table.h"

namespace quenbo::sites {
namespace {

// A site of the table without adapter data would leave its row empty.
TEST(SiteCatalogue, EverySiteOfTheTableHasItsRowInPlace) {
  ASSERT_EQ(SiteCatalogue::rows().size(), core::kSites.size());
  for (int index = 0; index < core::kSiteCount; ++index) {
    const SiteRow& row = SiteCatalogue::row(index);
    const core::SiteEntry& site = core::kSites[static_cast<std::size_t>(index)];
    EXPECT_EQ(row.index, index);
    EXPECT_EQ(row.label, site.label);
    EXPECT_EQ(row.shown, site.shown) << row.label;
    EXPECT_EQ(row.logLabel, utf8ToGbk(site.label));
    EXPECT_FALSE(row.path.empty()) << row.label;
  }
}

TEST(SiteCatalogue, OnlyOneSiteCarriesAnotherLabelInItsHits) {
  for (const SiteRow& row : SiteCatalogue::rows()) {
    EXPECT_EQ(gbkToUtf8(row.hitLabel), row.index == 7 ? "磁力鸭" : row.label);
  }
}

// Whether `number` occurs in `url` as a number of its own, not inside a longer one.
bool holdsNumber(std::string_view url, std::string_view number) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t at = url.find(number); at != std::string_view::npos;
       at = url.find(number, at + 1)) {
    std::size_t end = at + number.size();
    if ((at == 0 || !digit(url[at - 1])) && (end == url.size() || !digit(url[end]))) return true;
  }
  return false;
}

// Every site's page URL starts with its scheme and host and carries the keyword, encoded,
// once, the page number, and the time stamp where the site takes one.
TEST(SiteCatalogue, PageUrlsCarryTheEncodedKeywordAndThePage) {
  SiteHosts hosts;
  std::string text = "[sites]\n";
  for (const SiteRow& row : SiteCatalogue::rows()) {
    if (row.host == HostSource::own && row.label != "Skrbt") {
      text += std::string(row.label) + " = h.test\n";
    }
  }
  text += "Skrbt = https://s.test\n[apis]\nA = a.test\nB = b.test:8080\n";
  hosts.read(text);
  ASSERT_TRUE(hosts.problems().empty());

  const std::string kw = "%E7%94%B5%E5%BD%B1%202019";
  const Text stamp = "1575158400123";
  for (int index = 0; index < core::kSiteCount; ++index) {
    SitePlan plan = planSite(index, hosts);
    const char* label = plan.row.label.data();
    ASSERT_FALSE(plan.baseUrl.empty()) << label;
    for (int page : {13, 14}) {
      Text url = pageUrl(plan, "电影 2019"_gbk, page, takesTimeStamp(plan.row) ? stamp : "");
      EXPECT_TRUE(url.starts_with(plan.baseUrl + "/")) << url;
      std::size_t at = url.find(kw);
      ASSERT_NE(at, Text::npos) << url;
      EXPECT_EQ(url.find(kw, at + 1), Text::npos) << url;
      url.erase(at, kw.size());
      if (takesTimeStamp(plan.row)) {
        ASSERT_NE(url.find(stamp), Text::npos) << url;
        url.erase(url.find(stamp), stamp.size());
      }
      EXPECT_TRUE(holdsNumber(url, std::to_string(page))) << url;
    }
  }
  // The base URLs as the hosts file gives them: its own scheme, an API's, or one with the host.
  EXPECT_EQ(planSite(0, hosts).baseUrl, "http://h.test");
  EXPECT_EQ(planSite(2, hosts).baseUrl, "https://h.test");
  EXPECT_EQ(planSite(10, hosts).baseUrl, "https://a.test");
  EXPECT_EQ(planSite(13, hosts).baseUrl, "http://b.test:8080");
  EXPECT_EQ(planSite(15, hosts).baseUrl, "https://s.test");
  EXPECT_EQ(pageUrl(planSite(22, hosts), "abc", 2), "http://h.test/zh-cn/s/2/abc");
}

TEST(SiteCatalogue, SiteWithoutHostHasNoUrl) {
  SiteHosts hosts;
  hosts.read("[sites]\nBtdad =\n");
  for (int index = 0; index < core::kSiteCount; ++index) {
    EXPECT_EQ(pageUrl(planSite(index, hosts), "abc", 1), "") << index;
  }
}

TEST(SiteCatalogue, MarkerHostGoesIntoBtsowAndMonovaMarkers) {
  SiteHosts hosts;
  hosts.read(
      "[sites]\nBtsow = 127.0.0.1:5000\nMonova = 127.0.0.1:5001\n"
      "[markers]\nBtsow = btsow.example\n");
  EXPECT_EQ(planSite(20, hosts).row.cut.left, "https://btsow.example/magnet/detail/hash/");
  // Without a marker host the site's own is used.
  EXPECT_EQ(planSite(16, hosts).row.link.left, "//127.0.0.1:5001/");
}

TEST(SiteLog, LabelFieldIsEighteenBytesWide) {
  const Text time = "2019/12/24  12:34:56";
  EXPECT_EQ(siteLogLine(time, "Btdad", SiteLogMessages::page(1)),
            time + "   Web："_gbk + "Btdad             " + "第 1 页\r\n"_gbk);
  EXPECT_EQ(siteLogLine(time, "种子搜"_gbk, SiteLogMessages::finished()),
            time + "   Web：种子搜            全部页数搜索完毕 \r\n"_gbk);
  EXPECT_EQ(siteLogLine(time, "章鱼搜索"_gbk, SiteLogMessages::noData()),
            time + "   Web：章鱼搜索          页面不存在 或 无资源数据 ，已自动停止搜索\r\n"_gbk);
}

}  // namespace
}  // namespace quenbo::sites
