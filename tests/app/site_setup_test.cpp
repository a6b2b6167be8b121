#include "app/site_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "app/app_harness.h"
#include "http_server/http_test_server.h"
#include "core/site_table.h"

namespace quenbo::app {
namespace {

using namespace forms::names;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

TEST(HostsFileOption, TakesTheLastFileGiven) {
  struct Case {
    std::vector<const char*> arguments;
    std::string file;
  } cases[] = {
      {{"quenbo"}, ""},
      {{"quenbo", "--hosts", "a.hosts"}, "a.hosts"},
      {{"quenbo", "--hosts=b.hosts", "search"}, "b.hosts"},
      {{"quenbo", "--hosts", "a.hosts", "--hosts=b.hosts"}, "b.hosts"},
      {{"quenbo", "--hosts"}, ""},
      {{"quenbo", "--hostsfile", "x"}, ""},
      {{"quenbo", "--hosts", "søren/站点.hosts"}, "søren/站点.hosts"},  // bytes as given
  };
  for (const Case& c : cases) {
    EXPECT_EQ(hostsFileOption(c.arguments).string(), c.file) << c.arguments.size();
  }
}

// A Btdad page of three result boxes, two of which give a hit.
std::string btdadPage(int page) {
  std::string body = "<html><head><meta charset=\"utf-8\"></head><body>";
  for (int i = 1; i <= 3; ++i) {
    std::string hash = "B" + std::to_string(page) + std::to_string(i);
    body += "<div class=\"ssbox\"><h3><span>[BT]</span><a href=\"/d\" target=\"_blank\">Film " +
            hash + "</a></h3><a href=\"magnet:?xt=urn:btih:" + hash +
            "\">x</a><span>大小:<b class=\"p\">1.2 GB</b></span><span>热度:<b>3</b></span>"
            "<span>添加时间:<b>2019-12-01</b></span></div>";
  }
  return body + "</body></html>";
}

class SiteSearch : public AppHarness {
 protected:
  void tickOnly(std::initializer_list<std::string_view> labels) {
    for (const core::SiteEntry& box : core::kSites)
      w().setChecked(siteCheckBox(box.label), false);
    for (std::string_view label : labels) w().setChecked(siteCheckBox(label), true);
  }
};

TEST_F(SiteSearch, WorkersFromTheHostsFilesSearchTheTickedSites) {
  HttpTestServer btdad([](const RecordedRequest& request, ServerConnection& connection) {
    int page = request.target.find("-0-0-1.html") != std::string::npos ? 1 : 2;
    connection.reply(200, "OK", {}, btdadPage(page));
  });
  testing::writeWholeFile(sandbox_.file("sites.hosts"), "[sites]\nBtdad = 127.0.0.1:1\nSobt =\n");
  testing::writeWholeFile(sandbox_.file("local.hosts"),
                          "[sites]\nBtdad = " + btdad.hostAndPort() + "\n");
  SiteSetup sites =
      setUpSites(sandbox_.path(), sandbox_.file("local.hosts"));
  EXPECT_TRUE(sites.problems.empty());
  launch(std::move(sites.workers));

  tickOnly({"Btdad", "Sobt"});
  w().setText(编辑框_页数, "2");
  w().setText(编辑框_时间, "5");
  search("Film");
  ASSERT_TRUE(runUntilFinished());

  EXPECT_EQ(btdad.requestCount(), 2u);
  EXPECT_EQ(w().rowCount(超级列表框_磁力链接), 4);
  std::string log = gbkToUtf8(w().text(编辑框_日志));
  EXPECT_NE(log.find("Web：Btdad             第 2 页\r\n"), std::string::npos) << log;
  // Sobt has no host: it ends on its first page.
  EXPECT_NE(log.find("Web：Sobt              页面不存在 或 无资源数据 ，已自动停止搜索\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("Web：Sobt              全部页数搜索完毕 \r\n"), std::string::npos);
}

TEST_F(SiteSearch, EachSiteKeepsOneConnectionUnlessReuseIsOff) {
  struct Case {
    const char* network;  // the [network] section of the named hosts file
    bool newConnections;  // quenbo search --new-connections
    bool oneConnection;
  } cases[] = {
      {"", false, true},
      {"[network]\nreuse = 0\n", false, false},
      {"[network]\nreuse = 1\n", true, false},
  };
  for (const Case& c : cases) {
    HttpTestServer btdad([](const RecordedRequest& request, ServerConnection& connection) {
      int page = request.target.find("-0-0-1.html") != std::string::npos ? 1 : 2;
      connection.reply(200, "OK", {}, btdadPage(page));
    });
    testing::writeWholeFile(sandbox_.file("sites.hosts"), "[sites]\nBtdad =\n");
    testing::writeWholeFile(sandbox_.file("local.hosts"), "[sites]\nBtdad = " +
                                                              btdad.hostAndPort() + "\n" +
                                                              c.network);
    SiteSetup sites = setUpSites(sandbox_.path(), sandbox_.file("local.hosts"), c.newConnections);
    launch(std::move(sites.workers));
    tickOnly({"Btdad"});
    w().setText(编辑框_页数, "2");
    search("Film");
    ASSERT_TRUE(runUntilFinished());
    auto requests = btdad.requests();
    ASSERT_EQ(requests.size(), 2u) << c.network;
    EXPECT_EQ(requests[0].connection == requests[1].connection, c.oneConnection) << c.network;
    EXPECT_EQ(w().rowCount(超级列表框_磁力链接), 4) << c.network;
    app_->close();
    loop_.detach(app_->mainWindow());
    app_.reset();
  }
}

}  // namespace
}  // namespace quenbo::app
