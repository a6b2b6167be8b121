// The simulator's servers: hosts file, request records, character sets and the switches that
// make sites slow, broken or dead.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "support/fixtures.h"
#include "tools/simulator_fetch.h"

namespace quenbo {
namespace {

using nlohmann::json;
using simulator::SiteBehaviour;
using simulator::SiteSimulator;
using testing::Fetched;
using testing::fetchPage;
using testing::fetchUrl;

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

class SiteSimulatorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sites_ = new SiteSimulator(); }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }
  void SetUp() override {
    sites_->setBehaviourForAll(SiteBehaviour());
    sites_->clearRequests();
  }
  static SiteSimulator* sites_;
};
SiteSimulator* SiteSimulatorTest::sites_ = nullptr;

TEST_F(SiteSimulatorTest, HostsFilePointsEverySiteAtItsServer) {
  ASSERT_TRUE(sites_->running());
  std::string text = sites_->hostsFileText();
  for (const char* label : {"Btdad", "Ttcili", "Iheian", "Ciliwang", "Ciliguo", "Sobt", "Wiki",
                            "磁小鸭", "Chazhongzi", "BT樱桃", "Monova", "SXBTZZ", "A8bt", "BTKU",
                            "Btsow", "Renz", "FeiBt", "章鱼搜索"}) {
    EXPECT_TRUE(contains(text, "\n" + std::string(label) + " = " + sites_->host(label) + "\n"))
        << label;
  }
  EXPECT_TRUE(contains(text, "\nSkrbt = http://" + sites_->host("Skrbt") + "\n"));
  EXPECT_TRUE(contains(text, "[apis]\n"));
  EXPECT_TRUE(contains(text, "\nA = " + sites_->host("Sunyaa") + "\n"));
  EXPECT_TRUE(contains(text, "\nB = " + sites_->host("磁力果") + "\n"));
  EXPECT_TRUE(contains(text, "[markers]\nBtsow = " + sites_->host("Btsow") + "\nMonova = " +
                                 sites_->host("Monova") + "\n"));
  EXPECT_EQ(sites_->host("Torrentz"), sites_->host("idopea"));
  EXPECT_NE(sites_->host("Torrentz"), sites_->host("Kickass"));
  EXPECT_EQ(sites_->baseUrl("Torrentz").rfind("https://", 0), 0u);
  EXPECT_EQ(sites_->baseUrl("Kickass").rfind("http://", 0), 0u);
  EXPECT_EQ(sites_->host("Nowhere"), "");

  testing::TempDir dir;
  ASSERT_TRUE(sites_->writeHostsFile(dir.file("sites.hosts")));
  EXPECT_EQ(testing::readWholeFile(dir.file("sites.hosts")), text);
}

TEST_F(SiteSimulatorTest, RequestsAreRecordedWithKeywordPageAndStamp) {
  fetchPage(*sites_, "FeiBt", "abc", 2);
  fetchPage(*sites_, "Btdad", "%E7%94%B5%E5%BD%B1%20abc", 1);
  fetchUrl(sites_->baseUrl("Ciliwang") + testing::sitePath("Ciliwang", "abc", 1, "1575200000123"));
  fetchUrl(sites_->baseUrl("Ciliwang") + testing::sitePath("Ciliwang", "abc", 2, "1575200000456"));
  fetchPage(*sites_, "Sunyaa", "abc", 1);

  auto feibt = sites_->requests("FeiBt");
  ASSERT_EQ(feibt.size(), 1u);
  EXPECT_EQ(feibt[0].target, "/zh-cn/s/2/abc");
  EXPECT_EQ(feibt[0].path, "/zh-cn/s/2/abc");
  EXPECT_TRUE(feibt[0].matched);
  EXPECT_EQ(feibt[0].keyword, "abc");
  EXPECT_EQ(feibt[0].page, 2);

  auto btdad = sites_->requests("btdad");
  ASSERT_EQ(btdad.size(), 1u);
  EXPECT_EQ(btdad[0].keyword, "电影 abc");

  auto ciliwang = sites_->requests("Ciliwang");
  ASSERT_EQ(ciliwang.size(), 2u);
  EXPECT_EQ(ciliwang[0].timestamp, "1575200000123");
  EXPECT_EQ(ciliwang[1].timestamp, "1575200000456");
  EXPECT_EQ(ciliwang[1].query, "keyword=abc&sort=hot&page=2&mode=1&_=1575200000456");
  EXPECT_LE(ciliwang[0].received, ciliwang[1].received);

  auto sunyaa = sites_->requests("Sunyaa");
  ASSERT_EQ(sunyaa.size(), 1u);
  EXPECT_EQ(sunyaa[0].path, "/api/search");
  EXPECT_TRUE(sites_->requests("Torrentz").empty());
  EXPECT_EQ(sites_->requests().size(), 5u);
}

TEST_F(SiteSimulatorTest, TargetsOutsideTheSitesUrlFormGetNotFound) {
  Fetched wrongPath = fetchUrl(sites_->baseUrl("Btdad") + "/search-abc-0-0-1.htm");
  EXPECT_EQ(wrongPath.response.statusText, "404 Not Found");
  Fetched wrongSource =
      fetchUrl(sites_->baseUrl("Torrentz") + "/api/search?source=Torrentz&keyword=abc&page=1&sort=time");
  EXPECT_EQ(wrongSource.response.statusText, "404 Not Found");
  auto all = sites_->requests();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].site, "Btdad");
  EXPECT_FALSE(all[0].matched);
  EXPECT_EQ(all[1].site, "");
  EXPECT_FALSE(all[1].matched);
}

TEST_F(SiteSimulatorTest, PagesAreSentInTheCharacterSetTheyDeclare) {
  for (const std::string& label : SiteSimulator::siteLabels()) {
    if (contains(testing::sitePath(label, "abc", 1), "api/") || label == "Ciliwang" ||
        label == "磁小鸭") {
      continue;
    }
    SCOPED_TRACE(label);
    Fetched page = fetchPage(*sites_, label, "abc", 1);
    std::string charset = testing::declaredCharset(page.response.body);
    std::string title = sites_->itemsOnPage(label, "abc", 1)[1].title;
    bool gbk = label == "Sobt" || label == "A8bt" || label == "章鱼搜索";
    EXPECT_EQ(charset == "gbk" || charset == "gb2312", gbk) << charset;
    std::string asUtf8;
    ASSERT_TRUE(convertWithIconv(page.response.body, gbk ? "GBK" : "UTF-8", "UTF-8", asUtf8, "\x01"));
    EXPECT_FALSE(contains(asUtf8, "\x01"));
    EXPECT_TRUE(contains(asUtf8, title)) << title;
    EXPECT_EQ(contains(page.response.body, title), !gbk);
  }
}

TEST_F(SiteSimulatorTest, ServerErrorsAndDeadSitesHitOnlyTheSitesSwitched) {
  SiteBehaviour broken;
  broken.serverError = true;
  sites_->setBehaviour("Btdad", broken);
  SiteBehaviour dead;
  dead.dead = true;
  sites_->setBehaviour("Sobt", dead);
  sites_->setBehaviour("Sunyaa", dead);

  Fetched error = fetchPage(*sites_, "Btdad", "abc", 1);
  EXPECT_EQ(error.response.statusText, "500 Internal Server Error");
  EXPECT_TRUE(contains(error.text, "<html>"));
  EXPECT_FALSE(contains(error.text, "ssbox"));
  EXPECT_TRUE(fetchPage(*sites_, "Sobt", "abc", 1).failed());
  EXPECT_TRUE(fetchPage(*sites_, "Sunyaa", "abc", 1).failed());
  EXPECT_EQ(fetchPage(*sites_, "Torrentz", "abc", 1).response.statusText, "200 OK");
  EXPECT_EQ(fetchPage(*sites_, "BTKU", "abc", 1).response.statusText, "200 OK");
  EXPECT_EQ(sites_->requests("Sobt").size(), 1u);

  sites_->setBehaviour("Sobt", SiteBehaviour());
  EXPECT_EQ(fetchPage(*sites_, "Sobt", "abc", 1).response.statusText, "200 OK");
  sites_->setBehaviourForAll(broken);
  EXPECT_EQ(fetchPage(*sites_, "磁小鸭", "abc", 1).response.statusText, "500 Internal Server Error");
  EXPECT_EQ(fetchPage(*sites_, "Kickass", "abc", 1).response.statusText, "500 Internal Server Error");
}

TEST_F(SiteSimulatorTest, JsonSitesCanAnswerWithAnHtmlPageOrWithoutTheirList) {
  SiteBehaviour html;
  html.htmlInsteadOfJson = true;
  sites_->setBehaviour("Torrentz", html);
  sites_->setBehaviour("Btdad", html);  // means nothing to an HTML site
  Fetched page = fetchPage(*sites_, "Torrentz", "abc", 1);
  EXPECT_EQ(page.response.statusText, "200 OK");
  EXPECT_TRUE(json::parse(page.response.body, nullptr, false).is_discarded());
  EXPECT_TRUE(contains(page.response.body, "<html>"));
  EXPECT_FALSE(json::parse(fetchPage(*sites_, "idopea", "abc", 1).response.body).is_discarded());
  EXPECT_TRUE(contains(fetchPage(*sites_, "Btdad", "abc", 1).response.body, "ssbox"));

  SiteBehaviour noList;
  noList.jsonWithoutList = true;
  sites_->setBehaviourForAll(noList);
  json results = json::parse(fetchPage(*sites_, "Kickass", "abc", 1).response.body);
  EXPECT_TRUE(results["data"].is_object());
  EXPECT_FALSE(results["data"].contains("results"));
  json data = json::parse(fetchPage(*sites_, "磁小鸭", "abc", 1).response.body);
  EXPECT_FALSE(data["data"].contains("data"));
  EXPECT_FALSE(contains(fetchPage(*sites_, "Ciliwang", "abc", 1).response.body, "name"));
}

TEST_F(SiteSimulatorTest, LatencyDelaysEachAnswerButSitesAnswerSideBySide) {
  SiteBehaviour slow;
  slow.latencyMs = 300;
  sites_->setBehaviourForAll(slow);
  const std::vector<std::string> visible = {"Btdad", "Iheian", "Sobt", "种子搜", "Torrentz", "SXBTZZ",
                                            "Btsow", "Renz", "FeiBt", "章鱼搜索", "Sunyaa"};
  std::vector<Fetched> pages(visible.size());
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < visible.size(); ++k) {
    threads.emplace_back([&, k] { pages[k] = fetchPage(*sites_, visible[k], "abc", 1); });
  }
  for (auto& thread : threads) thread.join();
  auto took = std::chrono::steady_clock::now() - start;
  for (const Fetched& page : pages) {
    EXPECT_EQ(page.response.statusText, "200 OK");
    EXPECT_GE(page.took, std::chrono::milliseconds(300));
  }
  // One after another they would need 3.3 s.
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST(SiteSimulatorOptions, SkrbtCanBeServedOverTls) {
  SiteSimulator sites(simulator::SimulatorOptions{SiteBehaviour(), true});
  EXPECT_EQ(sites.baseUrl("Skrbt"), "https://" + sites.host("Skrbt"));
  EXPECT_TRUE(contains(sites.hostsFileText(), "\nSkrbt = https://" + sites.host("Skrbt") + "\n"));
  EXPECT_EQ(fetchPage(sites, "Skrbt", "abc", 1).response.statusText, "200 OK");
}

}  // namespace
}  // namespace quenbo
