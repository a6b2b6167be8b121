#include "sites/site_catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "base/encoding.h"
#include "sites/site_hosts.h"
#include "sites/site_log.h"
#include "sites/site_plan.h"
#include "forms/site_labels.h"

namespace quenbo {
namespace {

TEST(SiteCatalogue, AgreesWithTheSiteCheckBoxes) {
  ASSERT_EQ(SiteCatalogue::rows().size(), window::kSiteBoxes.size());
  for (const SiteRow& row : SiteCatalogue::rows()) {
    const window::SiteBox& box = window::kSiteBoxes[static_cast<std::size_t>(row.index)];
    EXPECT_EQ(row.label, box.label);
    EXPECT_EQ(row.shown, box.visible) << row.label;
    EXPECT_EQ(row.logLabel, utf8ToGbk(box.label));
    EXPECT_EQ(SiteCatalogue::indexOf(box.label), row.index);
  }
  EXPECT_EQ(SiteCatalogue::indexOf("btsow"), 20);
  EXPECT_EQ(SiteCatalogue::indexOf("nosuchsite"), -1);
}

TEST(SiteCatalogue, OnlyOneSiteCarriesAnotherLabelInItsHits) {
  for (const SiteRow& row : SiteCatalogue::rows()) {
    EXPECT_EQ(gbkToUtf8(row.hitLabel), row.index == 7 ? "磁力鸭" : row.label);
  }
}

// Every site's URL of page 2 for the keyword 电影 2019, written out from the sites' patterns.
TEST(SiteCatalogue, PageUrlsFollowEachSitesPattern) {
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
  const std::string expected[] = {
      "http://h.test/search-" + kw + "-0-0-2.html",
      "http://h.test/s/" + kw + "/2-0-0.html",
      "https://h.test/search/" + kw + "/page-2.html",
      "https://h.test/search?keyword=" + kw + "&sort=hot&page=2&mode=1&_=1575158400123",
      "https://h.test/search?q=" + kw + "&p=2",
      "http://h.test/q/" + kw + ".html?sort=rel&page=2",
      "https://h.test/search/" + kw + "-2.html",
      "https://h.test/search?keyword=" + kw + "&sort=hot&page=2&mode=1&_=1575158400123",
      "https://h.test/go/" + kw + "/default/2",
      "https://h.test/search/" + kw + "-2.html",
      "https://a.test/api/search?source=%E7%A7%8D%E5%AD%90%E6%90%9C&keyword=" + kw +
          "&page=2&sort=time",
      "https://a.test/api/search?source=BT%E8%9A%82%E8%9A%81&keyword=" + kw + "&page=2&sort=time",
      "https://a.test/api/search?source=Torrentz2&keyword=" + kw + "&page=2&sort=time",
      "http://b.test:8080/api/search?source=%E7%A3%81%E5%8A%9B%E6%9E%9C&keyword=" + kw +
          "&page=2&sort=default",
      "http://b.test:8080/api/search?source=KickassTorrents&keyword=" + kw + "&page=2&sort=default",
      "https://s.test/search?keyword=" + kw + "&s=relevance&p=2",
      "https://h.test/search?term=" + kw + "&cat=&sort=1&verified=0&page=2",
      "https://h.test/search/" + kw + "/default-2.html",
      "https://h.test/a8/" + kw + "/2-0-0.html",
      "https://h.test/search-" + kw + "-0-0-2.html",
      "https://h.test/search/" + kw + "/page/2",
      "https://h.test/search/" + kw + "/page-2.html",
      "http://h.test/zh-cn/s/2/" + kw,
      "https://h.test/s/" + kw + "/p/2.html",
      "https://a.test/api/search?source=Sukebei+Nyaa&keyword=" + kw + "&page=2&sort=time",
      "https://a.test/api/search?source=idope&keyword=" + kw + "&page=2&sort=time",
  };
  for (int index = 0; index < SiteCatalogue::kSize; ++index) {
    SitePlan plan = planSite(index, hosts);
    Text stamp = takesTimeStamp(plan.row) ? "1575158400123" : "";
    EXPECT_EQ(pageUrl(plan, "电影 2019"_gbk, 2, stamp), expected[index]) << plan.row.label;
  }
  EXPECT_EQ(pageUrl(planSite(22, hosts), "abc", 2), "http://h.test/zh-cn/s/2/abc");
}

TEST(SiteCatalogue, SiteWithoutHostHasNoUrl) {
  SiteHosts hosts;
  hosts.read("[sites]\nBtdad =\n");
  for (int index = 0; index < SiteCatalogue::kSize; ++index) {
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
}  // namespace quenbo
