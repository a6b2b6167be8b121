#include "ui/film_board.h"

#include "base/encoding.h"
#include "forms/main_window_names.h"
#include "forms/window_templates.h"
#include "http_server/http_test_server.h"
#include "site_simulator/board_page.h"
#include "site_simulator/site_simulator.h"
#include "support/fixtures.h"
#include "support/silent_host.h"
#include "ui/poster_download.h"
#include "window/headless/headless_interactions.h"
#include "window/window_model.h"

namespace quenbo::ui {
namespace {

using namespace forms::names;
using namespace std::chrono_literals;
using quenbo::testing::HttpTestServer;
using window::Event;
using window::EventKind;

class Board : public ::testing::Test {
 protected:
  void start(const std::string& host) {
    board_ = std::make_unique<FilmBoard>(w_, ui_, host);
    bindFilmBoardHandlers(w_, *board_);
    board_->layout();
    board_->startLoader();
  }
  void fire(std::string_view component, EventKind kind) {
    Event e;
    e.component = std::string(component);
    e.kind = kind;
    w_.fire(e);
  }
  Text templateText(std::string_view name) const {
    return forms::mainWindowTemplate().find(std::string(name))->text;
  }

  window::WindowModel w_{forms::mainWindowTemplate()};
  window::HeadlessInteractions ui_;
  std::unique_ptr<FilmBoard> board_;
};

TEST_F(Board, TwelveEntriesOfTheSimulatorFillTheTenFilmTiles) {
  simulator::SiteSimulator sites;
  start(sites.boardHost());
  ASSERT_TRUE(quenbo::testing::waitFor([&] { return board_->loaderFinished(); }, 30s));
  auto entries = simulator::boardEntries();
  for (int n = 1; n <= 10; ++n) {
    SCOPED_TRACE(n);
    const auto& e = entries[static_cast<std::size_t>(n - 1)];
    EXPECT_EQ(w_.text(透明标签_电影名称(n)), utf8ToGbk(e.title));
    EXPECT_EQ(w_.text(透明标签_上映时间(n)), utf8ToGbk("上映时间：" + e.releaseDate));
    EXPECT_EQ(w_.text(透明标签_电影评分(n)), e.scoreInteger + "." + e.scoreFraction);
    EXPECT_EQ(w_.picture(图片框_电影(n)), simulator::posterPicture(n));
  }
  EXPECT_EQ(w_.text(透明标签_电影主演(1)), "林远"_gbk);
  EXPECT_EQ(w_.text(透明标签_电影主演(2)), "王一,李二,张三,赵四,钱五"_gbk);
  EXPECT_EQ(w_.text(透明标签_电影主演(3)), "");
  EXPECT_EQ(w_.text(透明标签_上映时间(9)), "上映时间："_gbk);
  for (int n : {11, 12}) {
    EXPECT_EQ(w_.text(透明标签_电影名称(n)), templateText(透明标签_电影名称(n)));
    EXPECT_TRUE(w_.picture(图片框_电影(n)).empty());
  }
  auto requests = sites.boardRequests();
  ASSERT_EQ(requests.size(), 11u);  // the page and ten posters
  EXPECT_EQ(requests[0].target, "/board");
  EXPECT_EQ(requests[0].header("User-Agent"),
            "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
            "Chrome/50.0.2661.87 Safari/537.36");

  fire(图片框_电影(4), EventKind::MouseDown);
  EXPECT_EQ(w_.text(编辑框_搜索), "少年与海"_gbk);
}

TEST_F(Board, AFailedFetchLeavesTheTemplateAndClicksCopyItsCaption) {
  int closedPort = 0;
  {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    closedPort = gone.port();
  }
  start("127.0.0.1:" + std::to_string(closedPort));
  ASSERT_TRUE(quenbo::testing::waitFor([&] { return board_->loaderFinished(); }, 30s));
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(w_.text(透明标签_电影名称(n)), templateText(透明标签_电影名称(n)));
    EXPECT_TRUE(w_.picture(图片框_电影(n)).empty());
  }
  w_.setText(编辑框_搜索, "typed");
  fire(图片框_电影(2), EventKind::MouseDown);
  EXPECT_EQ(w_.text(编辑框_搜索), templateText(透明标签_电影名称(2)));
}

TEST_F(Board, WithoutAHostNothingIsFetchedAndTheLayoutPutsPageTwoOnPageOne) {
  start("");
  EXPECT_TRUE(board_->loaderFinished());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(w_.geometry(图片框_电影(6 + i)), w_.geometry(图片框_电影(1 + i)));
    EXPECT_EQ(w_.geometry(透明标签_电影名称(6 + i)).top, 290);
    EXPECT_EQ(w_.geometry(透明标签_上映时间(6 + i)).top, 320);
  }
  EXPECT_EQ(w_.geometry(图片框_电影(12)), w_.geometry(图片框_电影(11)));
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(w_.geometry(透明标签_电影评分(n)).left, 140);
    EXPECT_EQ(w_.geometry(透明标签_电影主演(n)).top, 200);
    EXPECT_EQ(w_.textColour(透明标签_上映时间(n)), window::kBlue);
  }
}

TEST_F(Board, PageLabelsAndTheWheelToggleBetweenTheTwoPages) {
  start("");
  auto pageOneShown = [&] {
    bool one = true, two = true;
    for (int n : {1, 2, 3, 4, 5, 11})
      one = one && w_.visible(图片框_电影(n)) && w_.visible(透明标签_电影名称(n));
    for (int n : {6, 7, 8, 9, 10, 12})
      two = two && !w_.visible(图片框_电影(n)) && !w_.visible(透明标签_上映时间(n));
    return one && two;
  };
  EXPECT_TRUE(pageOneShown());
  fire(std::string(透明标签_下一页), EventKind::MouseDown);
  EXPECT_FALSE(w_.visible(图片框_电影(1)));
  EXPECT_TRUE(w_.visible(图片框_电影(6)));
  EXPECT_TRUE(w_.visible(透明标签_电影名称(12)));
  fire(std::string(透明标签_上一页), EventKind::MouseDown);
  EXPECT_TRUE(pageOneShown()) << "toggling twice returns to the first page";
  fire(图片框_电影(3), EventKind::Wheel);
  EXPECT_TRUE(w_.visible(图片框_电影(8)));
  fire(透明标签_电影主演(8), EventKind::Wheel);
  EXPECT_TRUE(pageOneShown());
}

TEST_F(Board, PromotionTilesOpenOnlyAWebLink) {
  start("");
  fire(图片框_电影(11), EventKind::MouseDown);
  EXPECT_TRUE(ui_.openedUrls().empty()) << "no link yet";
  for (const char* link : {"file:///etc/passwd", "magnet:?xt=urn:btih:1", "ftp://x.example/"}) {
    board_->setPromotionLink(link);
    fire(透明标签_电影名称(12), EventKind::MouseDown);
  }
  EXPECT_TRUE(ui_.openedUrls().empty());
  board_->setPromotionLink("https://promo.example/a");
  fire(透明标签_电影主演(11), EventKind::MouseDown);
  EXPECT_EQ(ui_.openedUrls(), std::vector<Text>{"https://promo.example/a"});
  EXPECT_EQ(w_.text(编辑框_搜索), "") << "a promotion click does not touch the keyword";
}

// The window closes while the board host, or a poster's host, never answers: the board
// ends its loader before it is gone, well within a second, and the request with it.
TEST_F(Board, ClosingWhileAHostIsSilentEndsTheLoaderAtOnce) {
  const struct {
    const char* name;
    bool silentPage;  // otherwise the page comes and its first poster's host is silent
  } cases[] = {{"board page", true}, {"poster", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quenbo::testing::SilentHost silent;
    std::unique_ptr<HttpTestServer> page;
    if (!c.silentPage) {
      page = std::make_unique<HttpTestServer>(
          HttpTestServer::fixedReply(simulator::boardPage("http://" + silent.hostAndPort())),
          HttpTestServer::Mode::tls);
    }
    start(c.silentPage ? silent.hostAndPort() : page->hostAndPort());
    ASSERT_TRUE(silent.waitForConnection());
    auto begin = std::chrono::steady_clock::now();
    board_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 500ms);
    EXPECT_TRUE(silent.waitForHangUps(100ms)) << "the loader still waits for the host";
  }
}

TEST(PosterDownload, OnlyAWholePictureWithinTheLimitsComesBack) {
  HttpTestServer server(
      [](const quenbo::testing::RecordedRequest& r, quenbo::testing::ServerConnection& c) {
        if (r.target == "/ok.png") c.reply(200, "OK", {}, simulator::posterPicture(1));
        if (r.target == "/big") c.reply(200, "OK", {}, std::string((8u << 20) + 1, 'x'));
        if (r.target == "/limit") c.reply(200, "OK", {}, std::string(8u << 20, 'x'));
        if (r.target == "/missing") c.reply(404, "Not Found", {}, "no");
        if (r.target == "/slow") {
          c.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
          c.pause(5s);
        }
      });
  PosterLimits limits;
  limits.timeout = 1s;
  EXPECT_EQ(downloadPoster(server.url("/ok.png"), limits), simulator::posterPicture(1));
  EXPECT_EQ(downloadPoster(server.url("/limit"), limits).size(), 8u << 20);
  for (const char* path : {"/big", "/missing", "/slow"}) {
    EXPECT_EQ(downloadPoster(server.url(path), limits), "") << path;
  }
  EXPECT_EQ(downloadPoster("file:///etc/passwd", limits), "");
  std::atomic<bool> cancelled{true};
  EXPECT_EQ(downloadPoster(server.url("/ok.png"), limits, &cancelled), "");
}

}  // namespace
}  // namespace quenbo::ui
