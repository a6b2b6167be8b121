// How the engine reads answers, good and bad, from real local servers.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/encoding.h"
#include "net/http_engine.h"
#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

struct Fetched {
  Text text;
  HttpResponse response;
  std::chrono::milliseconds took{0};
};

Fetched fetch(HttpRequest& request) {
  Fetched out;
  auto start = std::chrono::steady_clock::now();
  out.text = HttpEngine::execute(request, out.response);
  out.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  return out;
}

Fetched fetch(const std::string& url) {
  HttpRequest request;
  request.url = url;
  return fetch(request);
}

TEST(EngineResponse, StatusHeadersBodyAndTextOfAPlainPage) {
  HttpTestServer server([](const RecordedRequest&, ServerConnection& connection) {
    connection.reply(404, "Not Found", {{"Content-Type", "text/html"}}, "<p>gone</p>");
  });
  Fetched page = fetch(server.url("/x"));
  EXPECT_EQ(page.text, "<p>gone</p>");
  EXPECT_EQ(page.response.statusText, "404 Not Found");
  EXPECT_EQ(page.response.failure, EngineFailure::none);
  EXPECT_EQ(page.response.headers,
            "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 11\r\n\r\n");
  EXPECT_EQ(page.response.body, "<p>gone</p>");
}

TEST(EngineResponse, ZeroBytesAreLeftOutOfTheTextButTheBodyKeepsAll) {
  std::string body("before\0after\0", 13);
  HttpTestServer server(HttpTestServer::fixedReply(body));
  Fetched page = fetch(server.url());
  EXPECT_EQ(page.text, "beforeafter");
  EXPECT_EQ(page.response.body, body);
}

TEST(EngineResponse, SetCookieLinesAreCollectedAndMergedIntoTheJar) {
  HttpTestServer server([](const RecordedRequest&, ServerConnection& connection) {
    connection.reply(200, "OK",
                     {{"Set-Cookie", "a=1; path=/"},
                      {"Set-Cookie", "b=2"},
                      {"set-cookie", "lower=1"},
                      {"Set-Cookie", "old=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT"}},
                     "x");
  });
  HttpRequest request;
  request.url = server.url();
  Fetched page = fetch(request);
  EXPECT_EQ(page.response.cookies, "a=1; b=2; old=deleted");

  request.cookies = "old = 7; keep=1";
  page = fetch(request);
  EXPECT_EQ(page.response.cookies, "a=1; b=2; keep=1");
  EXPECT_EQ(request.cookies, "a=1; b=2; keep=1");

  // Without the merge the jar stays as the caller gave it.
  request.cookies = "keep=1";
  request.mergeCookies = false;
  page = fetch(request);
  EXPECT_EQ(page.response.cookies, "a=1; b=2; old=deleted");
  EXPECT_EQ(request.cookies, "keep=1");
}

TEST(EngineResponse, MergeWithoutNewCookiesCleansTheOldJar) {
  HttpTestServer server(HttpTestServer::fixedReply("x"));
  HttpRequest request;
  request.url = server.url();
  request.cookies = "a = 1; gone=deleted; a=2; b=3";
  Fetched page = fetch(request);
  EXPECT_EQ(page.response.cookies, "a=1; b=3");
  EXPECT_EQ(request.cookies, "a=1; b=3");
}

class RedirectTest : public ::testing::Test {
 protected:
  HttpTestServer server_{[](const RecordedRequest& request, ServerConnection& connection) {
    if (request.target == "/from") {
      connection.reply(302, "Found Elsewhere", {{"Location", "/to"}, {"Set-Cookie", "hop=1"}},
                       "moved");
    } else if (request.target == "/bare-location") {
      connection.send("HTTP/1.1 302 Found\r\nlocation:/to\r\nContent-Length: 0\r\n\r\n");
    } else if (request.target == "/ftp") {
      connection.reply(302, "Found", {{"Location", "ftp://127.0.0.1/file"}}, "moved");
    } else {
      connection.reply(200, "OK", {},
                       "arrived cookie=" + request.header("Cookie") +
                           (request.headerCount("Cookie") > 1 ? " and more" : ""));
    }
  }};
};

TEST_F(RedirectTest, NoRedirectReturnsTheRedirectItself) {
  HttpRequest request;
  request.url = server_.url("/from");
  request.noRedirect = true;
  Fetched page = fetch(request);
  EXPECT_EQ(page.text, "moved");
  EXPECT_EQ(page.response.statusText, "302 Found Elsewhere");
  EXPECT_EQ(page.response.location, "/to");
  EXPECT_EQ(server_.requestCount(), 1u);

  // The name in lower case and no blank after the colon: still the redirect's target.
  request.url = server_.url("/bare-location");
  EXPECT_EQ(fetch(request).response.location, "/to");
}

TEST_F(RedirectTest, RedirectIsFollowedAndOnlyTheFinalAnswerIsKept) {
  HttpRequest request;
  request.url = server_.url("/from");
  Fetched page = fetch(request);
  EXPECT_EQ(page.text, "arrived cookie=");
  EXPECT_EQ(page.response.statusText, "200 OK");
  EXPECT_EQ(page.response.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_EQ(page.response.location, "");
  EXPECT_EQ(page.response.cookies, "");

  // With cookies to send, a cookie set on the way goes to the next hop as well.
  request.cookies = "mine=1";
  page = fetch(request);
  EXPECT_EQ(page.text, "arrived cookie=hop=1; mine=1");
}

TEST_F(RedirectTest, RedirectToAnotherSchemeIsNotFollowed) {
  HttpResponse response;
  response.location = "kept";
  HttpRequest request;
  request.url = server_.url("/ftp");
  EXPECT_EQ(HttpEngine::execute(request, response), "");
  EXPECT_EQ(response.statusText, "712 服务器未响应!"_gbk);
  EXPECT_EQ(response.failure, EngineFailure::noResponse);
  EXPECT_EQ(response.cause, FetchFailure::badUrl);
  EXPECT_EQ(response.location, "kept");
}

TEST(EngineResponse, FailuresBeforeAnyAnswerNameTheirStep) {
  int closedPort;
  {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    closedPort = gone.port();
  }
  struct Case {
    std::string url;
    const char* status;
    EngineFailure failure;
    FetchFailure cause;
  } cases[] = {
      {"ftp://127.0.0.1/", "701 解析URL地址失败!", EngineFailure::badUrl, FetchFailure::none},
      {"http://127.0.0.1:99999/", "701 解析URL地址失败!", EngineFailure::badUrl,
       FetchFailure::none},
      {"127.0.0.1/", "701 解析URL地址失败!", EngineFailure::badUrl, FetchFailure::none},
      {"http://127.0.0.1:" + std::to_string(closedPort) + "/", "711 发送请求失败!",
       EngineFailure::send, FetchFailure::connect},
  };
  for (const Case& c : cases) {
    HttpResponse response;
    response.headers = "untouched";
    response.body = "untouched";
    HttpRequest request;
    request.url = c.url;
    EXPECT_EQ(HttpEngine::execute(request, response), "") << c.url;
    EXPECT_EQ(response.statusText, utf8ToGbk(c.status)) << c.url;
    EXPECT_EQ(response.failure, c.failure) << c.url;
    EXPECT_EQ(response.cause, c.cause) << c.url;
    EXPECT_EQ(HttpEngine::failureText(c.failure), utf8ToGbk(c.status)) << c.url;
    EXPECT_EQ(response.headers, "untouched");
    EXPECT_EQ(response.body, "untouched");
  }
}

TEST(EngineResponse, SilentServerGivesNoResponseWithinTheTimeOut) {
  HttpTestServer server(
      [](const RecordedRequest&, ServerConnection& connection) { connection.pause(60s); });
  HttpRequest request;
  request.url = server.url();
  request.timeoutSeconds = 1;
  Fetched page = fetch(request);
  EXPECT_EQ(page.text, "");
  EXPECT_EQ(page.response.statusText, "712 服务器未响应!"_gbk);
  EXPECT_EQ(page.response.cause, FetchFailure::timeout);
  EXPECT_GE(page.took, 900ms);
  EXPECT_LT(page.took, 3s);
}

TEST(EngineResponse, TimeOutIsPerPhaseAndZeroMeansThirtySeconds) {
  // "/late" answers after 1.6 s: too late for a time-out of one second. Every body then comes
  // one byte each 0.4 s: never idle for a whole second, though slower than one in total.
  HttpTestServer server([](const RecordedRequest& request, ServerConnection& connection) {
    if (request.target == "/late") connection.pause(1600ms);
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n");
    for (char c : std::string("ok!")) {
      connection.pause(400ms);
      connection.send(std::string(1, c));
    }
  });
  struct Case {
    const char* path;
    int seconds;
    const char* text;
    const char* status;
  } cases[] = {
      {"/late", 0, "ok!", "200 OK"},
      {"/late", -5, "ok!", "200 OK"},
      {"/late", 1, "", "712 服务器未响应!"},
      {"/steady", 1, "ok!", "200 OK"},
  };
  std::vector<Fetched> results(std::size(cases));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    threads.emplace_back([&, i] {
      HttpRequest request;
      request.url = server.url(cases[i].path);
      request.timeoutSeconds = cases[i].seconds;
      results[i] = fetch(request);
    });
  }
  for (auto& thread : threads) thread.join();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(std::string(cases[i].path) + " " + std::to_string(cases[i].seconds));
    EXPECT_EQ(results[i].text, cases[i].text);
    EXPECT_EQ(results[i].response.statusText, utf8ToGbk(cases[i].status));
  }
}

TEST(EngineResponse, ResetInTheBodyFailsTheReadAndKeepsTheBytesSoFar) {
  HttpTestServer server([](const RecordedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.1 200 OK\r\nSet-Cookie: s=1\r\nContent-Length: 1000\r\n\r\nfirst part");
    connection.pause(100ms);
    connection.reset();
  });
  Fetched page = fetch(server.url());
  EXPECT_EQ(page.text, "");
  EXPECT_EQ(page.response.statusText, "713 读取数据失败!"_gbk);
  EXPECT_EQ(page.response.failure, EngineFailure::read);
  EXPECT_EQ(page.response.cause, FetchFailure::dropped);
  EXPECT_EQ(page.response.body, "first part");
  EXPECT_EQ(page.response.cookies, "s=1");
}

TEST(EngineResponse, BodyPastTheLimitFailsTheRead) {
  const std::size_t size = HttpEngine::kBodyLimit + 1024 * 1024;
  HttpTestServer server([size](const RecordedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n");
    std::string block(1 << 20, 'x');
    for (std::size_t sent = 0; sent < size && connection.send(block); sent += block.size()) {
    }
  });
  Fetched page = fetch(server.url());
  EXPECT_EQ(page.text, "");
  EXPECT_EQ(page.response.statusText, "713 读取数据失败!"_gbk);
  EXPECT_EQ(page.response.cause, FetchFailure::tooLarge);
  EXPECT_EQ(page.response.body.size(), HttpEngine::kBodyLimit);
}

TEST(EngineResponse, AnyServerCertificateIsAccepted) {
  HttpTestServer server(HttpTestServer::fixedReply("secret page"), HttpTestServer::Mode::tls);
  Fetched page = fetch(server.url("/s"));
  EXPECT_EQ(page.text, "secret page");
  EXPECT_EQ(page.response.statusText, "200 OK");
}

TEST(EngineResponse, CallsRunSideBySideOnManyThreads) {
  HttpTestServer server([](const RecordedRequest& request, ServerConnection& connection) {
    connection.reply(200, "OK", {}, "page " + request.target);
  });
  std::vector<std::thread> threads;
  std::atomic<int> right{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 10; ++i) {
        std::string path = "/" + std::to_string(t) + "-" + std::to_string(i);
        if (fetch(server.url(path)).text == "page " + path) ++right;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(right, 80);
}

}  // namespace
}  // namespace quenbo::net
