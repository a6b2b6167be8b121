// The update check through the real service client, window models and headless front-end,
// against the update server: what is listed, what is shown, what the user is told.
#include <gtest/gtest.h>

#include "http_server/http_test_server.h"
#include "script/text_codec.h"
#include "update_flow_harness.h"

namespace quenbo::update {
namespace {

using testing::HttpTestServer;

class UpdateCheck : public UpdateFlowHarness {};

TEST_F(UpdateCheck, NothingDueStartsSilentlyAndAManualCheckSaysSo) {
  put(release() / "a.txt", "A");
  put(home() / "a.txt", "A");
  put(release() / "quenbo", "old program");  // the running executable, unchanged
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  EXPECT_EQ(flow_->checkResult(), 1);
  EXPECT_TRUE(main().windowVisible());
  EXPECT_FALSE(win().windowVisible());
  EXPECT_TRUE(messages().empty());
  ASSERT_TRUE(check(true));
  ASSERT_EQ(messages(), std::vector<std::string>{"无需更新"});
  EXPECT_EQ(ui_.messages()[0].title, window::defaultMessageTitle());
  EXPECT_EQ(ui_.beeps(), 1);
}

TEST_F(UpdateCheck, ListsMissingAndChangedFilesAndTheProgramByItsOwnDigest) {
  put(release() / "a.txt", "A2");
  put(home() / "a.txt", "A1");
  put(release() / "dir" / "new.txt", "N");
  put(release() / "quenbo", "new program");
  put(release() / "lib" / "QuenboCore", "old program");  // "Quenbo" entries use the own digest
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  std::string own = script::TextCodec::md5Hex("old program");
  ASSERT_EQ(rows(), 3);
  struct Row {
    const char* id;
    const char* path;
    std::string cloud, local;
    const char* kind;
  };
  for (int i = 0; const Row& r : {Row{"1", "/a.txt", script::TextCodec::md5Hex("A2"), script::TextCodec::md5Hex("A1"), ""},
                                  Row{"2", "/dir/new.txt", script::TextCodec::md5Hex("N"), "文件不存在", ""},
                                  Row{"3", "/quenbo", script::TextCodec::md5Hex("new program"), own, "主程序"}}) {
    EXPECT_EQ(cell(i, kIdColumn), r.id);
    EXPECT_EQ(cell(i, kPathColumn), r.path);
    EXPECT_EQ(cell(i, kServiceMd5Column), r.cloud);
    EXPECT_EQ(cell(i, kLocalMd5Column), r.local);
    EXPECT_EQ(cell(i, kStatusColumn), "");
    EXPECT_EQ(cell(i, kKindColumn), r.kind);
    EXPECT_EQ(cell(i, kUrlColumn), server_->url() + "/files" + r.path);
    ++i;
  }
  // The update window opens on the change log; the main window stays hidden.
  EXPECT_TRUE(win().windowVisible());
  EXPECT_FALSE(main().windowVisible());
  EXPECT_FALSE(win().visible(超级列表框_文件));
  EXPECT_TRUE(win().visible(编辑框_更新内容));
  EXPECT_EQ(win().text(编辑框_更新内容), "1.1 更快的搜索\n"_gbk);
  EXPECT_EQ(win().text(按钮_查看), "更新列表"_gbk);
  win().click(按钮_查看);
  EXPECT_TRUE(win().visible(超级列表框_文件));
  EXPECT_EQ(win().text(按钮_查看), "更新内容"_gbk);
  // Closing it without updating shows the main window.
  flow_->onUpdateWindowClosed();
  EXPECT_TRUE(main().windowVisible());
  EXPECT_FALSE(win().windowVisible());
  EXPECT_TRUE(ended_.empty());
}

TEST_F(UpdateCheck, AForcedUpdateClosedAtStartUpEndsTheProcessButFromTheMenuOnlyCloses) {
  put(release() / "a.txt", "A");
  serve({.flush = true});
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  flow_->onUpdateWindowClosed();
  EXPECT_EQ(ended_, std::vector<int>{0});
  ended_.clear();
  main().click(超级链接框1);  // the "检测更新" link
  ASSERT_TRUE(settle());
  EXPECT_TRUE(flow_->manual());
  ASSERT_TRUE(win().windowVisible());
  flow_->onUpdateWindowClosed();
  EXPECT_TRUE(ended_.empty());
  EXPECT_FALSE(win().windowVisible());
}

TEST_F(UpdateCheck, EveryCallerDeletesTheLeftoverDownloadFirst) {
  serve();
  startOnServer();
  // Start-up, the "检测更新" link, the "检查更新" menu item.
  std::vector<std::function<void()>> callers = {
      [&] { flow_->open(false); }, [&] { main().click(超级链接框1); },
      [&] { main().fire({std::string(磁力菜单), window::EventKind::MenuChosen, -1, 0,
                         std::string(检查更新)}); }};
  for (std::size_t i = 0; i < callers.size(); ++i) {
    put(home() / "临时主程序", "half");
    callers[i]();
    EXPECT_FALSE(fs::exists(home() / "临时主程序")) << i;
    EXPECT_EQ(flow_->manual(), i > 0) << i;
    ASSERT_TRUE(settle());
  }
  EXPECT_EQ(messages(), (std::vector<std::string>{"无需更新", "无需更新"}));
}

TEST_F(UpdateCheck, AFailedCheckIsSilentAtStartUpAndSaysWhyWhenAsked) {
  struct Case {
    std::string url;
    const char* why;
  };
  for (const Case& c : {Case{"", "检查更新失败：未配置更新服务"},
                        Case{"http://127.0.0.1:1", "检查更新失败：无数据返回（无法连接：127.0.0.1）"}}) {
    std::size_t before = ui_.messages().size();
    start(c.url);
    ASSERT_TRUE(check(false));
    EXPECT_EQ(flow_->checkResult(), -1);
    EXPECT_TRUE(main().windowVisible());
    EXPECT_TRUE(messages(before).empty()) << c.url;
    ASSERT_TRUE(check(true));
    EXPECT_EQ(messages(before), std::vector<std::string>{c.why}) << c.url;
  }
}

TEST_F(UpdateCheck, ASelfSignedServiceIsRefusedUnlessTrusted) {
  put(release() / "a.txt", "A");
  serve({.tls = true});
  start(server_->url());
  ASSERT_TRUE(check(true));
  EXPECT_EQ(messages(),
            std::vector<std::string>{"检查更新失败：无数据返回（证书不受信任：127.0.0.1）"});
  EXPECT_EQ(rows(), 0);
  std::string pem = sandbox_.file("update.pem");
  testing::writeWholeFile(pem, server_->certificatePem());
  start(server_->url(), pem);
  ASSERT_TRUE(check(false));
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(win().text(编辑框_更新内容), "1.1 更快的搜索\n"_gbk);
}

TEST_F(UpdateCheck, TheWindowsStayResponsiveWhileTheServiceIsSilent) {
  HttpTestServer silent([](const testing::RecordedRequest&, testing::ServerConnection& c) {
    c.pause(std::chrono::seconds(20));
  });
  start(silent.url(""), {}, 1500);
  auto begin = std::chrono::steady_clock::now();
  flow_->open(false);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(200));
  EXPECT_TRUE(flow_->checking());
  EXPECT_FALSE(main().windowVisible());
  bool ran = false;
  loop_.post([&] { ran = true; });
  EXPECT_TRUE(loop_.runUntil([&] { return ran; }, std::chrono::milliseconds(200)));
  ASSERT_TRUE(settle());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(4));
  EXPECT_TRUE(main().windowVisible());
}

TEST_F(UpdateCheck, LogFailuresAreReported) {
  struct Case {
    std::string logAnswer;
    const char* message;
  };
  for (const Case& c : {Case{R"({"state":0,"msg":"x"})", "获取更新日志失败！"},
                        Case{"oops", "获取更新日志异常！数据解析失败"}}) {
    std::size_t before = ui_.messages().size();
    HttpTestServer server([&](const testing::RecordedRequest& r, testing::ServerConnection& conn) {
      bool check = r.target == "/check";
      conn.reply(200, "OK", {},
                 check ? R"({"state":1,"list":[{"pathName":"/x","url":"u","md5":"m"}]})"
                       : c.logAnswer);
    });
    start(server.url(""));
    ASSERT_TRUE(check(false));
    EXPECT_EQ(messages(before), std::vector<std::string>{c.message});
    EXPECT_EQ(ui_.messages().back().title, "温馨提示"_gbk);
    flow_.reset();
  }
}

struct ParamCase {
  const char* param;
  bool announcement;
  const char* notice;
  std::vector<std::string> links;
  const char* actors;
};

class Params : public UpdateFlowHarness, public ::testing::WithParamInterface<ParamCase> {};

TEST_P(Params, FillTheAnnouncementAndThePromotion) {
  const ParamCase& c = GetParam();
  HttpTestServer server(HttpTestServer::fixedReply(
      R"({"state":1,"list":[],"param":")" + std::string(c.param) + R"("})"));
  start(server.url(""));
  main().setTabVisible(高级选择夹1, kAnnouncementTab, true);
  main().setCurrentTab(高级选择夹1, kLogTab);
  ASSERT_TRUE(check(false));
  EXPECT_EQ(main().tabVisible(高级选择夹1, kAnnouncementTab), c.announcement);
  EXPECT_EQ(main().currentTab(高级选择夹1), c.announcement ? kFilmTab : kLogTab);
  EXPECT_EQ(gbkToUtf8(main().text(编辑框_公告)), c.notice);
  std::vector<std::string> links;
  for (const auto& l : links_) links.push_back(gbkToUtf8(l));
  EXPECT_EQ(links, c.links);
  for (int tile : {11, 12}) {
    EXPECT_EQ(gbkToUtf8(main().text(透明标签_电影主演(tile))), c.actors);
    EXPECT_EQ(main().text(透明标签_电影名称(tile)), *c.actors ? "片名"_gbk : Text());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Params,
    ::testing::Values(ParamCase{"a#b", false, "", {}, ""},
                      ParamCase{"#片名#", false, "", {}, ""},
                      ParamCase{"演员#片名#", false, "", {}, "演员"},
                      ParamCase{"演员#片名##http://p/", false, "", {"http://p/"}, "演员"},
                      ParamCase{"##x#http://p/#公告", true, "公告", {"http://p/"}, ""},
                      ParamCase{"演员#片名##http://p/#公告", true, "公告", {"http://p/", ""}, "演员"},
                      ParamCase{"a#b#c#d#e#f", false, "", {}, ""}));

TEST_F(UpdateCheck, PromotionPicturesAreFetchedForBothTiles) {
  HttpTestServer pictures(HttpTestServer::fixedReply("PNGBYTES"));
  HttpTestServer service(HttpTestServer::fixedReply(
      R"({"state":1,"list":[],"param":"演员#片名#)" + pictures.url("/p.png") + R"("})"));
  start(service.url(""));
  ASSERT_TRUE(check(false));
  EXPECT_EQ(main().picture(图片框_电影(11)), "PNGBYTES");
  EXPECT_EQ(main().picture(图片框_电影(12)), "PNGBYTES");
  EXPECT_EQ(pictures.requestCount(), 2u);
}

}  // namespace
}  // namespace quenbo::update
