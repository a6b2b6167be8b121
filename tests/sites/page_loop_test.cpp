// The page loop every adapter shares: its log lines, its ways out and its requests, against
// a real local server that answers with hand-written Btdad and JSON API pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "recording_channel.h"
#include "sites/site_adapter.h"
#include "sites/site_hosts.h"
#include "http_server/http_test_server.h"

namespace quenbo::sites {
namespace {

using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::RecordingChannel;
using testing::ServerConnection;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr int kBtdad = 0, kZhongzisou = 10;

// One Btdad result box; the block of a box runs up to the next box, so the last box of a
// page gives no hit.
std::string btdadBox(const std::string& hash) {
  return "<div class=\"ssbox\"><div class=\"title\"><h3><span>[BT]</span><a href=\"/d/" + hash +
         "\" target=\"_blank\">Some <span class=\"red\">Key</span> Film</a></h3></div>"
         "<div class=\"slist\"><a href=\"magnet:?xt=urn:btih:" +
         hash +
         "\">磁力链接</a></div>"
         "<div class=\"sbar\"><span>大小:<b class=\"cpill yellow-pill\">1.2 GB</b></span>"
         "<span>热度:<b>35</b></span><span>添加时间:<b>2019-12-01</b></span></div></div>";
}

// A page with `boxes` result boxes, in UTF-8 as its meta tag says.
std::string btdadPage(int page, int boxes) {
  std::string body =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
      "</head><body>";
  for (int i = 1; i <= boxes; ++i)
    body += btdadBox("P" + std::to_string(page) + "N" + std::to_string(i));
  return body + "</body></html>";
}

// The page number of a Btdad target "/search-KW-0-0-P.html".
int btdadPageOf(const std::string& target) {
  std::size_t end = target.rfind(".html");
  std::size_t start = target.rfind('-', end) + 1;
  return std::stoi(target.substr(start, end - start));
}

// A Btdad server whose page P has boxesOnPage(P) boxes.
testing::RequestHandler btdadSite(std::function<int(int)> boxesOnPage) {
  return [boxesOnPage](const RecordedRequest& request, ServerConnection& connection) {
    int page = btdadPageOf(request.target);
    connection.reply(200, "OK", {{"Content-Type", "text/html"}},
                     btdadPage(page, boxesOnPage(page)));
  };
}

SitePlan planFor(int site, const std::string& hostsText) {
  SiteHosts hosts;
  hosts.read(hostsText);
  return planSite(site, hosts);
}

SitePlan btdadAt(const HttpTestServer& server) {
  return planFor(kBtdad, "[sites]\nBtdad = " + server.hostAndPort() + "\n");
}

const std::string kFinished = "全部页数搜索完毕 ";
const std::string kNoData = "页面不存在 或 无资源数据 ，已自动停止搜索";
const std::string kManualStop = "已手动停止搜索";
const std::string kJsonFailed = "JSON解析失败，已自动停止搜索";

TEST(PageLoop, ThreeFullPagesAreAllRequestedAndHandedOver) {
  HttpTestServer server(btdadSite([](int) { return 3; }));
  RecordingChannel channel("Key", 3);
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), (Lines{"第 1 页", "第 2 页", "第 3 页", kFinished}));
  ASSERT_EQ(server.requestCount(), 3u);
  EXPECT_EQ(server.requests()[0].target, "/search-Key-0-0-1.html");
  EXPECT_EQ(server.requests()[2].target, "/search-Key-0-0-3.html");
  // Three boxes a page, the last of which no box follows: two hits a page.
  ASSERT_EQ(channel.hits().size(), 6u);
  EXPECT_EQ(channel.hits()[0], (core::MagnetResult{"Some Key Film", "magnet:?xt=urn:btih:P1N1",
                                                   "Btdad", "1.2 GB", "35", "2019-12-01"}));
  EXPECT_EQ(channel.hits()[5].magnet, "magnet:?xt=urn:btih:P3N2");
  EXPECT_FALSE(channel.flag);
}

TEST(PageLoop, EmptySecondPageEndsTheSiteWithTheNoDataLine) {
  HttpTestServer server(btdadSite([](int page) { return page == 1 ? 4 : 0; }));
  RecordingChannel channel("Key", 3);
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), (Lines{"第 1 页", "第 2 页", kNoData, kFinished}));
  EXPECT_EQ(server.requestCount(), 2u);
  EXPECT_EQ(channel.hits().size(), 3u);
}

TEST(PageLoop, StopWhileHandingOverPageOneOfThreeDropsTheRestAndWritesTheStopLineTwice) {
  HttpTestServer server(btdadSite([](int) { return 5; }));
  RecordingChannel channel("Key", 3);
  channel.afterHandOver = [&](int count) {
    if (count == 1) channel.stop = true;
  };
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), (Lines{"第 1 页", kManualStop, kManualStop, kFinished}));
  EXPECT_EQ(channel.hits().size(), 1u);
  EXPECT_EQ(server.requestCount(), 1u);
}

TEST(PageLoop, StopWhileHandingOverTheLastPageWritesTheStopLineOnce) {
  HttpTestServer server(btdadSite([](int) { return 5; }));
  RecordingChannel channel("Key", 1);
  channel.afterHandOver = [&](int count) {
    if (count == 2) channel.stop = true;
  };
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), (Lines{"第 1 页", kManualStop, kFinished}));
  EXPECT_EQ(channel.hits().size(), 2u);
}

TEST(PageLoop, StopBeforeTheFirstCheckSendsNoRequest) {
  HttpTestServer server(btdadSite([](int) { return 5; }));
  RecordingChannel channel("Key", 3);
  channel.stop = true;
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), (Lines{kManualStop, kFinished}));
  EXPECT_EQ(server.requestCount(), 0u);
  EXPECT_FALSE(channel.flag);
}

TEST(PageLoop, RunningFlagAlreadyClearEndsWithoutARequest) {
  HttpTestServer server(btdadSite([](int) { return 5; }));
  RecordingChannel channel("Key", 3);
  channel.flag = false;
  runSiteAdapter(btdadAt(server), channel);

  EXPECT_EQ(channel.messages(), Lines{kFinished});
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST(PageLoop, PageLimitOfZeroOnlyEnds) {
  HttpTestServer server(btdadSite([](int) { return 5; }));
  for (int limit : {0, -1}) {
    RecordingChannel channel("Key", limit);
    runSiteAdapter(btdadAt(server), channel);
    EXPECT_EQ(channel.messages(), Lines{kFinished});
    EXPECT_FALSE(channel.flag);
  }
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST(PageLoop, FailedRequestsEndWithTheNoDataLine) {
  HttpTestServer reset([](const RecordedRequest&, ServerConnection& c) { c.reset(); });
  HttpTestServer error([](const RecordedRequest&, ServerConnection& c) {
    c.reply(500, "Internal Server Error", {}, "<html><body>error</body></html>");
  });
  for (const std::string& host : {reset.hostAndPort(), error.hostAndPort(), std::string()}) {
    RecordingChannel channel("Key", 3);
    runSiteAdapter(planFor(kBtdad, "[sites]\nBtdad = " + host + "\n"), channel);
    EXPECT_EQ(channel.messages(), (Lines{"第 1 页", kNoData, kFinished})) << host;
    EXPECT_TRUE(channel.hits().empty());
  }
  EXPECT_EQ(reset.requestCount(), 1u);
  EXPECT_EQ(error.requestCount(), 1u);
}

TEST(PageLoop, JsonThatFailsToParseEndsWithTheJsonLine) {
  HttpTestServer server(HttpTestServer::fixedReply("<html><body>502 Bad Gateway</body></html>"),
                        HttpTestServer::Mode::tls);
  RecordingChannel channel("Key", 3);
  runSiteAdapter(planFor(kZhongzisou, "[apis]\nA = " + server.hostAndPort() + "\n"), channel);
  EXPECT_EQ(channel.messages(), (Lines{"第 1 页", kJsonFailed, kFinished}));

  // Without a host nothing is requested, and the empty answer does not parse either.
  RecordingChannel noHost("Key", 3);
  runSiteAdapter(planFor(kZhongzisou, ""), noHost);
  EXPECT_EQ(noHost.messages(), (Lines{"第 1 页", kJsonFailed, kFinished}));
}

TEST(PageLoop, RunningFlagIsClearedAfterTheLastHandOverAndBeforeTheEndLine) {
  HttpTestServer server(btdadSite([](int page) { return page == 1 ? 3 : 0; }));
  RecordingChannel channel("Key", 2);
  runSiteAdapter(btdadAt(server), channel);

  std::vector<std::string> events = channel.events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events.back(), "log");
  EXPECT_EQ(events[events.size() - 2], "clear");
  auto firstClear = std::find(events.begin(), events.end(), "clear");
  EXPECT_EQ(std::find(firstClear, events.end(), "hit"), events.end());
}

// Each way out keeps its reason and the engine's status of the last request, with the
// log lines the site log writes for it; a request in flight is abandoned by a stop.
TEST(PageLoop, EveryWayOutKeepsItsReasonAndTheLastStatus) {
  HttpTestServer full(btdadSite([](int) { return 5; }));
  HttpTestServer error([](const RecordedRequest&, ServerConnection& c) {
    c.reply(404, "Not Found", {}, "<html></html>");
  });
  HttpTestServer reset([](const RecordedRequest&, ServerConnection& c) { c.reset(); });
  HttpTestServer endsIn404([](const RecordedRequest& r, ServerConnection& c) {
    if (btdadPageOf(r.target) == 1) {
      c.reply(200, "OK", {{"Content-Type", "text/html"}}, btdadPage(1, 4));
    } else {
      c.reply(404, "Not Found", {}, "<html></html>");
    }
  });
  HttpTestServer stalled([](const RecordedRequest&, ServerConnection& c) { c.pause(30s); });
  struct Case {
    const char* name;
    const HttpTestServer& server;
    std::function<void(RecordingChannel&)> arrange;
    SiteEnd end;
    int status;
    Lines messages;
    core::SiteState fault = core::SiteState::done;
  } cases[] = {
      {"all pages", full, nullptr, SiteEnd::allPages, 200, {"第 1 页", "第 2 页", kFinished}},
      {"not found", error, nullptr, SiteEnd::noData, 404, {"第 1 页", kNoData, kFinished},
       core::SiteState::httpError},
      // Past page 1 a 404 is where the results end, not a failure.
      {"404 past page 1", endsIn404, nullptr, SiteEnd::noData, 404,
       {"第 1 页", "第 2 页", kNoData, kFinished}},
      {"reset", reset, nullptr, SiteEnd::noData, 712, {"第 1 页", kNoData, kFinished},
       core::SiteState::unreachable},
      {"store full", full, [](RecordingChannel& c) { c.hitLimit = 6; }, SiteEnd::storeFull, 200,
       {"第 1 页", "第 2 页", "资源总数已达 200000 条上限，已自动停止搜索", kFinished}},
      {"stop in flight", stalled,
       [](RecordingChannel& c) {
         std::thread([&c] {
           std::this_thread::sleep_for(200ms);
           c.stop = true;
         }).detach();
       },
       SiteEnd::stopped, 712, {"第 1 页", kManualStop, kManualStop, kFinished}},
  };
  for (const Case& c : cases) {
    RecordingChannel channel("Key", 2, 10);
    if (c.arrange) c.arrange(channel);
    auto start = std::chrono::steady_clock::now();
    SiteOutcome outcome = runSiteAdapter(btdadAt(c.server), channel);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << c.name;
    EXPECT_EQ(outcome.end, c.end) << c.name;
    EXPECT_EQ(outcome.lastPage.status, c.status) << c.name << " " << outcome.lastPage.statusText;
    EXPECT_EQ(channel.messages(), c.messages) << c.name;
    EXPECT_EQ(outcome.fault, c.fault) << c.name;
  }
}

}  // namespace
}  // namespace quenbo::sites
