// The update channel's transport rules against real local servers: which service addresses
// are asked at all, what a failed request says, and how downloads that drip, stall or leave
// https end.
#include <gtest/gtest.h>

#include <chrono>

#include "base/encoding.h"
#include "http_server/http_test_server.h"
#include "script/text_codec.h"
#include "support/fixtures.h"
#include "update/update_service.h"
#include "update/updater.h"
#include "update_flow_harness.h"

namespace quenbo::update {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;

TEST(ServiceAddress, PlainHttpIsAskedOnThisMachineOnly) {
  struct Case {
    const char* url;
    bool asked;
  };
  for (const Case& c : {Case{"https://updates.example.org", true},
                        Case{"HTTPS://updates.example.org", true},
                        Case{"http://127.0.0.1:1", true},
                        Case{"http://127.9.8.7:1", true},
                        Case{"http://localhost:1", true},
                        Case{"http://[::1]:1", true},
                        Case{"http://updates.example.org", false},
                        Case{"HTTP://updates.example.org", false},
                        Case{"http://127.0.0.1.example.org", false},
                        Case{"http://128.0.0.1", false},
                        Case{"updates.example.org", false},
                        Case{"ftp://127.0.0.1", false}}) {
    EXPECT_EQ(secureServiceUrl(c.url), c.asked) << c.url;
    if (c.asked) continue;
    // Refused before anything goes out, naming the setting.
    UpdateService service({c.url});
    CheckAnswer check;
    LogAnswer log;
    EXPECT_EQ(service.checkUpdates(check), -1);
    EXPECT_NE(gbkToUtf8(check.message).find("[service] update"), std::string::npos) << c.url;
    EXPECT_NE(gbkToUtf8(check.message).find("https://"), std::string::npos);
    EXPECT_EQ(service.fetchLog(log), -1);
    EXPECT_EQ(log.message, check.message);
  }
}

class ServiceFailures : public testing::SandboxTest {
 protected:
  std::string trust(const HttpTestServer& server) {
    std::string pem = sandbox_.file("server-" + std::to_string(server.port()) + ".pem");
    testing::writeWholeFile(pem, server.certificatePem());
    return pem;
  }
  std::string checkMessage(const std::string& url, const std::string& trusted = {}) {
    CheckAnswer answer;
    EXPECT_EQ(UpdateService({url, trusted, 5000}).checkUpdates(answer), -1);
    return gbkToUtf8(answer.message);
  }
};

TEST_F(ServiceFailures, AnEmptyAnswerSaysWhyNothingCame) {
  auto fine = HttpTestServer::fixedReply(R"({"state":0,"msg":"无须更新"})");
  HttpTestServer untrusted(fine, HttpTestServer::Mode::tls);
  HttpTestServer otherHost(fine, HttpTestServer::Mode::tlsOtherHost);
  HttpTestServer expired(fine, HttpTestServer::Mode::tlsExpired);
  HttpTestServer plain(fine);
  HttpTestServer leaving([&](const testing::RecordedRequest&, testing::ServerConnection& c) {
    c.reply(302, "Found", {{"Location", plain.url("/check")}}, "");
  }, HttpTestServer::Mode::tls);
  HttpTestServer huge(HttpTestServer::fixedReply(std::string((32 << 20) + 1, 'x')));

  EXPECT_EQ(checkMessage(untrusted.url("")), "无数据返回（证书不受信任：127.0.0.1）");
  EXPECT_EQ(checkMessage(otherHost.url(""), trust(otherHost)),
            "无数据返回（证书与主机名不符：127.0.0.1）");
  EXPECT_EQ(checkMessage(expired.url(""), trust(expired)), "无数据返回（证书已过期：127.0.0.1）");
  EXPECT_EQ(checkMessage(leaving.url(""), trust(leaving)),
            "无数据返回（拒绝从 https 转向 http：127.0.0.1）");
  EXPECT_EQ(plain.requestCount(), 0u);
  EXPECT_EQ(checkMessage(huge.url("")), "无数据返回（数据超过 32 MiB）");
  EXPECT_EQ(checkMessage("http://127.0.0.1:1"), "无数据返回（无法连接：127.0.0.1）");
  EXPECT_EQ(untrusted.requestCount() + otherHost.requestCount() + expired.requestCount(), 0u);
}

// A release served by the update server whose files come from `files` instead.
class DownloadRules : public UpdateFlowHarness {
 protected:
  void startWith(const HttpTestServer& files, TransferLimits limits) {
    put(home() / "a.txt", "A1");
    put(release() / "a.txt", "A2");
    serve({.publicUrl = files.url("")});
    limits_ = limits;
    startOnServer();
  }
};

struct Drip {
  const char* name;
  bool declaredLength;
  bool dripHeaders;
};

class DripDownloads : public DownloadRules, public ::testing::WithParamInterface<Drip> {};

TEST_P(DripDownloads, FailTheRowBelowTheMinimumRateAndKeepTheOldFile) {
  const Drip& d = GetParam();
  HttpTestServer files([&](const testing::RecordedRequest&, testing::ServerConnection& c) {
    std::string head = "HTTP/1.1 200 OK\r\n" +
                       std::string(d.declaredLength ? "Content-Length: 100\r\n" : "") + "\r\n";
    std::string all = d.dripHeaders ? head + "A2" : std::string();
    if (!d.dripHeaders) c.send(head);
    for (int i = 0; i < 200; ++i) {
      if (!c.send(d.dripHeaders ? all.substr(i % all.size(), 1) : "x") || c.pause(50ms)) return;
    }
  });
  startWith(files, {.minimumRate = 1024, .rateWindow = 300ms, .deadline = 60s});
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(update());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_EQ(cell(0, kStatusColumn), "失败（传输过慢）");
  EXPECT_EQ(messages(), std::vector<std::string>{"更新文件失败（传输过慢），是否重新启动程序？"});
  EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A1");
  EXPECT_FALSE(fs::exists(home() / "a.txt.quenbo-part"));
}

INSTANTIATE_TEST_SUITE_P(, DripDownloads,
                         ::testing::Values(Drip{"BodyWithLength", true, false},
                                           Drip{"HeadersOneByOne", true, true},
                                           Drip{"HeadersWithoutLength", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadRules, ASteadyDownloadPastTheDeadlineFails) {
  HttpTestServer files([](const testing::RecordedRequest&, testing::ServerConnection& c) {
    c.send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
    for (int i = 0; i < 100 && c.send(std::string(1000, 'x')) && !c.pause(50ms); ++i) {
    }
  });
  startWith(files, {.minimumRate = 1, .rateWindow = 30s, .deadline = 500ms});
  ASSERT_TRUE(check(false));
  ASSERT_TRUE(update());
  EXPECT_EQ(cell(0, kStatusColumn), "失败（超时）");
  EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A1");
}

TEST_F(DownloadRules, ADownloadIsNotFollowedFromHttpsToHttp) {
  HttpTestServer plain(HttpTestServer::fixedReply("A2"));
  HttpTestServer files([&](const testing::RecordedRequest& r, testing::ServerConnection& c) {
    c.reply(302, "Found", {{"Location", plain.url(r.target)}}, "");
  }, HttpTestServer::Mode::tls);
  std::string pem = sandbox_.file("files.pem");
  testing::writeWholeFile(pem, files.certificatePem());
  put(home() / "a.txt", "A1");
  put(release() / "a.txt", "A2");
  serve({.publicUrl = files.url("")});
  startOnServer();
  ASSERT_TRUE(check(false));
  ASSERT_EQ(rows(), 1);
  // The service lists, the download client trusts the file server's certificate.
  runUpdater({home(), home() / "quenbo", pem, false},
                  {[](const Text&, auto, auto) { return window::MessageAnswer::No; },
                   [](int) {}, {}});
  EXPECT_EQ(cell(0, kStatusColumn), "失败（拒绝从 https 转向 http：127.0.0.1）");
  EXPECT_EQ(plain.requestCount(), 0u);
  EXPECT_EQ(testing::readWholeFile((home() / "a.txt").string()), "A1");
}

}  // namespace
}  // namespace quenbo::update
