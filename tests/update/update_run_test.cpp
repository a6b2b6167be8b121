// The self-update run end to end in a sandboxed installation: downloads verified by digest,
// the program replaced through the detached script and started again, and the refusals.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "http_server/http_test_server.h"
#include "script/text_codec.h"
#include "update/updater.h"
#include "update_flow_harness.h"

namespace quenbo::update {
namespace {

using testing::HttpTestServer;

class UpdateRun : public UpdateFlowHarness {
 protected:
  bool markerAppears() {
    return testing::waitFor([&] { return fs::exists(marker()); }, std::chrono::seconds(15));
  }
};

TEST_F(UpdateRun, OrdinaryFilesAreVerifiedPutInPlaceAndTheProgramRestarts) {
  installMarkerProgram();
  put(home() / "a.txt", "A1");
  put(release() / "a.txt", "A2");
  put(release() / "dir" / "sub" / "new.txt", std::string(20000, 'n'));
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 2);
  ASSERT_TRUE(update());
  EXPECT_FALSE(win().enabled(按钮_更新));
  EXPECT_EQ(cell(0, kStatusColumn), "成功");
  EXPECT_EQ(cell(1, kStatusColumn), "成功");
  EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A2");
  EXPECT_EQ(testing::readWholeFile((home() / "dir/sub/new.txt").string()), std::string(20000, 'n'));
  EXPECT_EQ(messages(), std::vector<std::string>{"程序更新完毕，点击确定后程序将自动重启"});
  EXPECT_EQ(ui_.messages()[0].title, "温馨提示"_gbk);
  EXPECT_EQ(ended_, std::vector<int>{0});
  EXPECT_TRUE(markerAppears());  // started again by the restart script
  // The downloads carried the default header lines.
  for (const auto& r : server_->requests()) {
    if (r.target.starts_with("/files/")) {
      EXPECT_EQ(r.headerCount("Referer=/"), 1) << r.head;
    }
  }
}

TEST_F(UpdateRun, TheProgramItselfIsReplacedWholeAndStarted) {
  put(release() / "quenbo", "#!/bin/sh\necho started > '" + marker().string() + "'\n");
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  ASSERT_EQ(cell(0, kKindColumn), "主程序");
  ASSERT_TRUE(update());
  EXPECT_EQ(cell(0, kStatusColumn), "成功");
  EXPECT_EQ(messages(),
            std::vector<std::string>{"程序更新完毕，点击确定后程序将自动替换更新文件并重启"});
  EXPECT_EQ(ended_, std::vector<int>{0});
  // This test process is not the program being replaced, so the script ends nothing; it
  // puts the download in place and starts it.
  ASSERT_TRUE(markerAppears());
  EXPECT_EQ(script::TextCodec::fileMd5(home() / "quenbo"),
            script::TextCodec::md5Hex(testing::readWholeFile((release() / "quenbo").string())));
  struct stat info {};
  ASSERT_EQ(::stat((home() / "quenbo").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
  auto requests = server_->requests();
  EXPECT_EQ(requests.back().headerCount("token=qmvt"), 1);
}

TEST_F(UpdateRun, ADigestMismatchStopsTheRunAtThatFileAndKeepsTheOldOne) {
  put(home() / "a.txt", "A1");
  put(release() / "a.txt", "A2");
  put(release() / "b.txt", "B");
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 2);
  put(release() / "a.txt", "tampered");  // no longer the listed digest
  ASSERT_TRUE(update());
  EXPECT_EQ(cell(0, kStatusColumn), "失败");
  EXPECT_EQ(cell(1, kStatusColumn), "");
  EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A1");
  EXPECT_FALSE(fs::exists(home() / "b.txt"));
  EXPECT_FALSE(fs::exists(home() / "a.txt.quenbo-part"));
  EXPECT_EQ(messages(), std::vector<std::string>{"更新文件失败，是否重新启动程序？"});
  EXPECT_EQ(ui_.messages()[0].buttons, window::MessageButtons::YesNo);
  EXPECT_EQ(ended_, std::vector<int>{0});  // answered No
  EXPECT_EQ(fileRequests(), 1);
}

TEST_F(UpdateRun, APathNameLeavingTheInstallationIsRefused) {
  std::string outside = (sandbox_.path() / "evil.txt").string();
  HttpTestServer server([](const testing::RecordedRequest& r, testing::ServerConnection& c) {
    std::string base = "http://" + r.header("Host");
    c.reply(200, "OK", {},
            r.target == "/check"
                ? R"({"state":1,"list":[{"pathName":"/../evil.txt","url":")" + base +
                      R"(/f","md5":"x"},{"pathName":"/ok.txt","url":")" + base + R"(/f","md5":"y"}]})"
                : std::string(r.target == "/f" ? "EVIL" : R"({"state":1,"msg":"log"})"));
  });
  start(server.url(""));
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(cell(0, kStatusColumn), "失败");
  ASSERT_TRUE(update());
  EXPECT_EQ(cell(0, kStatusColumn), "失败");
  EXPECT_EQ(cell(1, kStatusColumn), "");
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_EQ(messages(), std::vector<std::string>{"更新文件失败，是否重新启动程序？"});
}

TEST_F(UpdateRun, AReadOnlyInstallationDownloadsNothingAndPointsToThePackageManager) {
  put(release() / "a.txt", "A");
  serve();
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  ::chmod(home().c_str(), 0555);
  ASSERT_TRUE(update());
  ::chmod(home().c_str(), 0755);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find("软件包管理器"), std::string::npos);
  EXPECT_TRUE(win().enabled(按钮_更新));
  EXPECT_EQ(fileRequests(), 0);
  EXPECT_TRUE(ended_.empty());
}

TEST_F(UpdateRun, DownloadsOverHttpsNeedATrustedCertificate) {
  put(release() / "a.txt", "A");
  serve({.tls = true});
  std::string pem = sandbox_.file("update.pem");
  testing::writeWholeFile(pem, server_->certificatePem());
  start(server_->url(), pem);
  ASSERT_TRUE(check(false));
  ASSERT_TRUE(update());
  EXPECT_EQ(cell(0, kStatusColumn), "成功");
  // The same list fetched with the system's store only: the download is refused.
  fs::remove(home() / "a.txt");
  win().setCell(超级列表框_文件, 0, kStatusColumn, {});
  runUpdater({home(), home() / "quenbo", {}, false},
             {[](const Text&, auto, auto) { return window::MessageAnswer::No; }, [](int) {}, {}});
  EXPECT_EQ(cell(0, kStatusColumn), "失败（证书不受信任：127.0.0.1）");
  EXPECT_FALSE(fs::exists(home() / "a.txt"));
}

TEST(UpdaterTexts, HeadersAreCompletedWithTheDefaults) {
  EXPECT_EQ(Updater::normaliseHeaders("Referer=/"),
            "Referer=/\r\nAccept:*/*\r\nContent-Type:application/x-www-form-urlencoded\r\n"
            "User-Agent:Mozilla/5.0 (Windows NT 6.1; WOW64; rv:23.0) Gecko/20100101 "
            "Firefox/23.0\r\n");
  EXPECT_EQ(Updater::normaliseHeaders("Accept:a\r\nContent-Type:b\r\nUser-Agent:c\r\n"),
            "Accept:a\r\nContent-Type:b\r\nUser-Agent:c\r\n");
}

TEST(UpdaterTexts, ProgressIsTheTruncatedPercentage) {
  std::vector<Text> told;
  Updater updater({{"1", "/a", "", "", "", "", ""}}, {},
                  {{}, {}, [&](int, const Text& status) { told.push_back(status); }});
  for (auto [received, text] : {std::pair{999, "99%"}, {0, "0%"}, {1000, "100%"}}) {
    updater.reportProgress(0, 1000, received);
    EXPECT_EQ(updater.rows()[0][kStatusColumn], text);
    EXPECT_EQ(told.back(), text);
  }
}

}  // namespace
}  // namespace quenbo::update
