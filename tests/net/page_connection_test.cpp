// A site run's kept connection: its pages share one connection, and nothing else of one call
// reaches the next.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "base/encoding.h"
#include "http_server/http_test_server.h"
#include "net/http_engine.h"
#include "net/page_connection.h"
#include "support/tiny_proxy.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

void answer(const RecordedRequest& request, ServerConnection& connection) {
  if (request.target == "/hop") {
    connection.reply(302, "Found", {{"Location", "/plain"}, {"Set-Cookie", "hop=1; path=/"}},
                     "moved");
  } else if (request.target == "/missing") {
    connection.reply(404, "Not Found", {}, "gone");
  } else if (request.target == "/slow") {
    if (!connection.pause(2500ms)) connection.reply(200, "OK", {}, "late");
  } else if (request.target == "/huge") {
    connection.reply(200, "OK", {}, std::string(HttpEngine::kBodyLimit + 1, 'x'));
  } else if (request.target == "/close") {
    connection.closeAfterReply();  // without saying so: the client finds out on its next use
    connection.reply(200, "OK", {}, "closing");
  } else {
    connection.reply(200, "OK", {}, "plain");
  }
}

class PageConnectionTest : public ::testing::Test {
 protected:
  struct Call {
    Text text;
    HttpResponse response;
  };

  Call fetch(const std::string& path, const std::function<void(HttpRequest&)>& adjust = {}) {
    HttpRequest request;
    request.url = server_.url(path);
    request.timeoutSeconds = 10;
    request.connection = &connection_;
    if (adjust) adjust(request);
    Call call;
    call.text = HttpEngine::execute(request, call.response);
    return call;
  }

  HttpTestServer server_{&answer};
  PageConnection connection_;
};

TEST_F(PageConnectionTest, PagesOfARunShareOneConnection) {
  for (int page = 0; page < 5; ++page) EXPECT_EQ(fetch("/plain").text, "plain");
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 5u);
  for (const auto& request : requests) EXPECT_EQ(request.connection, requests[0].connection);
}

TEST_F(PageConnectionTest, WithReuseOffEveryCallHasAConnectionOfItsOwn) {
  PageConnection fresh(false);
  EXPECT_FALSE(fresh.reuses());
  for (int page = 0; page < 3; ++page) {
    HttpRequest request;
    request.url = server_.url("/plain");
    request.connection = page == 0 ? nullptr : &fresh;  // no connection at all is the same
    HttpResponse response;
    EXPECT_EQ(HttpEngine::execute(request, response), "plain");
  }
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_NE(requests[0].connection, requests[1].connection);
  EXPECT_NE(requests[1].connection, requests[2].connection);
}

TEST_F(PageConnectionTest, NoCookieHeaderOrCredentialReachesTheNextCall) {
  // Cookies on: the hop's cookie goes with the redirected request, and into the jar.
  Call first = fetch("/hop", [](HttpRequest& r) {
    r.cookies = "a=1";
    r.extraHeaders = "X-Only: 1";
    r.userName = "user";
    r.password = "secret";
  });
  EXPECT_EQ(first.text, "plain");
  RecordedRequest hopped = server_.lastRequest();
  EXPECT_EQ(hopped.header("Cookie"), "hop=1; a=1");

  EXPECT_EQ(fetch("/plain").text, "plain");
  RecordedRequest next = server_.lastRequest();
  EXPECT_EQ(next.connection, hopped.connection);
  for (const char* name : {"Cookie", "X-Only", "Authorization"}) {
    EXPECT_EQ(next.headerCount(name), 0) << name;
  }
}

TEST_F(PageConnectionTest, RedirectControlAndStatusTextAreEachCallsOwn) {
  Call followed = fetch("/hop");
  EXPECT_EQ(followed.response.statusText, "200 OK");
  Call held = fetch("/hop", [](HttpRequest& r) { r.noRedirect = true; });
  EXPECT_EQ(held.text, "moved");
  EXPECT_EQ(held.response.statusText, "302 Found");
  EXPECT_EQ(held.response.location, "/plain");
  Call missing = fetch("/missing");
  EXPECT_EQ(missing.response.statusText, "404 Not Found");
  EXPECT_EQ(missing.response.location, "");  // no redirect target of the call before
  EXPECT_EQ(fetch("/hop").response.statusText, "200 OK");
  EXPECT_EQ(server_.requests().back().target, "/plain");
}

TEST_F(PageConnectionTest, TimeOutsAndBodyLimitAreEachCallsOwn) {
  Call quick = fetch("/slow", [](HttpRequest& r) { r.timeoutSeconds = 1; });
  EXPECT_EQ(quick.response.statusText, "712 服务器未响应!"_gbk);
  // The next call waits its own 10 seconds, not the 1 second of the one before.
  EXPECT_EQ(fetch("/slow").text, "late");

  Call huge = fetch("/huge");
  EXPECT_EQ(huge.response.statusText, "713 读取数据失败!"_gbk);
  EXPECT_EQ(huge.text, "");
  Call after = fetch("/plain");
  EXPECT_EQ(after.text, "plain");
  EXPECT_EQ(after.response.body, "plain");
}

TEST_F(PageConnectionTest, AbandonedCallLeavesTheConnectionUsable) {
  auto start = std::chrono::steady_clock::now();
  Call stopped = fetch("/slow", [start](HttpRequest& r) {
    r.abandon = [start] { return std::chrono::steady_clock::now() - start > 200ms; };
  });
  EXPECT_EQ(stopped.text, "");
  EXPECT_EQ(stopped.response.statusText, "712 服务器未响应!"_gbk);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);  // the answer needs 2.5 s
  EXPECT_EQ(fetch("/plain").text, "plain");
}

// With a stop bell the call sleeps until something happens: a ring wakes it, and it ends
// only when the flag says so; a ring with the flag still clear lets it go on.
TEST_F(PageConnectionTest, StopBellWakesAWaitingCall) {
  StopBell bell;
  std::atomic<bool> stop{false};
  auto ringer = [&bell, &stop](bool setFlag) {
    return std::thread([&bell, &stop, setFlag] {
      std::this_thread::sleep_for(200ms);
      if (setFlag) stop = true;
      bell.ring();
    });
  };
  auto withBell = [&](HttpRequest& r) {
    r.abandon = [&stop] { return stop.load(); };
    r.stopBell = &bell;
  };

  std::thread idle = ringer(false);
  EXPECT_EQ(fetch("/slow", withBell).text, "late");
  idle.join();

  auto start = std::chrono::steady_clock::now();
  std::thread stopping = ringer(true);
  Call stopped = fetch("/slow", withBell);
  stopping.join();
  EXPECT_EQ(stopped.response.statusText, "712 服务器未响应!"_gbk);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);  // the answer needs 2.5 s
  stop = false;
  EXPECT_EQ(fetch("/plain", withBell).text, "plain");
}

TEST_F(PageConnectionTest, ServerClosingAfterEveryAnswerStillGivesEveryPage) {
  constexpr int kPages = 20;
  for (int page = 0; page < kPages; ++page) {
    Call call = fetch("/close");
    EXPECT_EQ(call.text, "closing") << page;
    EXPECT_EQ(call.response.statusText, "200 OK") << page;
  }
  EXPECT_EQ(server_.requestCount(), static_cast<std::size_t>(kPages));
  EXPECT_EQ(server_.connectionCount(), kPages);
}

TEST_F(PageConnectionTest, ProxyChoiceIsEachCallsOwn) {
  testing::TinyProxy proxy;
  ASSERT_TRUE(proxy.running()) << "tinyproxy did not start";
  auto viaProxy = [&proxy](HttpRequest& r) { r.proxy = proxy.address(); };
  EXPECT_EQ(fetch("/plain").text, "plain");
  EXPECT_EQ(server_.lastRequest().headerCount("Via"), 0);
  EXPECT_EQ(fetch("/plain", viaProxy).text, "plain");
  EXPECT_NE(server_.lastRequest().header("Via").find("tinyproxy"), std::string::npos);
  EXPECT_EQ(fetch("/plain").text, "plain");
  EXPECT_EQ(server_.lastRequest().headerCount("Via"), 0);
}

TEST(PageConnectionTls, PagesOfARunShareOneTlsConnection) {
  HttpTestServer server(HttpTestServer::fixedReply("secure"), HttpTestServer::Mode::tls);
  PageConnection connection;
  for (int page = 0; page < 3; ++page) {
    HttpRequest request;
    request.url = server.url("/page");
    request.connection = &connection;
    HttpResponse response;
    EXPECT_EQ(HttpEngine::execute(request, response), "secure");
  }
  EXPECT_EQ(server.connectionCount(), 1);
}

}  // namespace
}  // namespace quenbo::net
