#include "net/inet_request.h"

#include <gtest/gtest.h>

#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

constexpr const char* kChromeLine =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/50.0.2661.87 Safari/537.36\r\n";

class InetRequestTest : public ::testing::Test {
 protected:
  HttpTestServer server_{[](const RecordedRequest& request, ServerConnection& connection) {
    if (request.target == "/cookies") {
      connection.reply(200, "OK", {{"Set-Cookie", "n=2; path=/"}}, "c");
    } else if (request.target == "/big-head") {
      connection.reply(200, "OK", {{"Set-Cookie", "n=2"}, {"X-Filler", std::string(5000, 'f')}},
                       "body after a big head");
    } else if (request.target == "/move") {
      connection.reply(302, "Found", {{"Location", "/cookies"}}, "moved");
    } else {
      connection.reply(200, "OK", {}, "page");
    }
  }};
};

TEST_F(InetRequestTest, EmptyHeadersAreCompletedAndTheOldAgentGoesToTheSession) {
  InetRequest request;
  request.url = server_.url("/board");
  EXPECT_EQ(request.execute(), "page");
  EXPECT_EQ(request.extraHeaders,
            "Accept: */*\r\nReferer: " + server_.url("/board") + "\r\nAccept-Language: zh-cn");
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(sent.header("Accept"), "*/*");
  EXPECT_EQ(sent.header("Referer"), server_.url("/board"));
  EXPECT_EQ(sent.header("Accept-Language"), "zh-cn");
  EXPECT_NE(request.responseHeaders.find("HTTP/1.1 200 OK\r\n"), std::string::npos);
}

TEST_F(InetRequestTest, CallerAgentLineIsTheOnlyAgentAndStaysAmongTheHeaders) {
  InetRequest request;
  request.url = server_.url("/board");
  request.extraHeaders = kChromeLine;
  request.execute();
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.headerCount("User-Agent"), 1);
  EXPECT_EQ(sent.header("User-Agent").substr(0, 34), "Mozilla/5.0 (Windows NT 6.1; WOW64");
  EXPECT_EQ(request.extraHeaders.find("User-Agent: Mozilla/5.0"), 0u);
}

TEST_F(InetRequestTest, CookieArgumentPresentOrAbsent) {
  // Absent: no cookie line, the answer's cookies collected but not merged.
  InetRequest absent;
  absent.url = server_.url("/cookies");
  absent.execute();
  EXPECT_EQ(server_.lastRequest().headerCount("Cookie"), 0);
  EXPECT_EQ(absent.responseCookies, "n=2");
  EXPECT_FALSE(absent.cookies.has_value());

  // Present and empty: no cookie line, the answer's cookies merged into the empty jar.
  InetRequest empty;
  empty.url = server_.url("/cookies");
  empty.cookies = "";
  empty.execute();
  EXPECT_EQ(server_.lastRequest().headerCount("Cookie"), 0);
  EXPECT_EQ(empty.responseCookies, "n=2");
  EXPECT_EQ(empty.cookies, "n=2");

  // A cookie line of the caller's does not keep the argument's line off.
  InetRequest both;
  both.url = server_.url("/cookies");
  both.cookies = "o = 1";
  both.extraHeaders = "Cookie: mine=1";
  both.execute();
  EXPECT_EQ(server_.lastRequest().headerCount("Cookie"), 2);
  EXPECT_EQ(both.cookies, "n=2; o=1");
}

TEST_F(InetRequestTest, HeaderBlockOverTheLimitIsNotDelivered) {
  InetRequest request;
  request.url = server_.url("/big-head");
  EXPECT_EQ(request.execute(), "body after a big head");
  EXPECT_EQ(request.responseHeaders, "");
  EXPECT_EQ(request.responseCookies, "");
}

TEST_F(InetRequestTest, BodyGoesWithEveryMethodButGet) {
  InetRequest get;
  get.url = server_.url("/");
  get.bodyText = "ignored";
  get.execute();
  EXPECT_EQ(server_.lastRequest().body, "");

  InetRequest post;
  post.url = server_.url("/");
  post.method = 1;
  post.bodyText = "a=1&b=2";
  post.execute();
  EXPECT_EQ(post.bodyBytes, "a=1&b=2");
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.method, "POST");
  EXPECT_EQ(sent.body, "a=1&b=2");
  EXPECT_EQ(sent.header("Content-Type"), "application/x-www-form-urlencoded");

  InetRequest odd;
  odd.url = server_.url("/");
  odd.method = 42;
  odd.execute();
  EXPECT_EQ(server_.lastRequest().method, "GET");
}

TEST_F(InetRequestTest, RedirectsFollowedUnlessSwitchedOff) {
  InetRequest request;
  request.url = server_.url("/move");
  EXPECT_EQ(request.execute(), "c");
  request.noRedirect = true;
  EXPECT_EQ(request.execute(), "moved");
  EXPECT_NE(request.responseHeaders.find("Location: /cookies"), std::string::npos);
}

TEST(InetRequestFailure, FailuresGiveWhatWasReadAndNoMessage) {
  int closedPort;
  {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    closedPort = gone.port();
  }
  InetRequest refused;
  refused.url = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
  EXPECT_EQ(refused.execute(), "");
  EXPECT_EQ(refused.failure, FetchFailure::connect);

  HttpTestServer cut([](const RecordedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart");
    connection.pause(50ms);
    connection.reset();
  });
  InetRequest partial;
  partial.url = cut.url();
  EXPECT_EQ(partial.execute(), "part");
  EXPECT_EQ(partial.failure, FetchFailure::dropped);
}

TEST(InetRequestTls, SelfSignedCertificateIsAccepted) {
  HttpTestServer server(HttpTestServer::fixedReply("board"), HttpTestServer::Mode::tls);
  InetRequest request;
  request.url = server.url("/board");
  request.extraHeaders = kChromeLine;
  EXPECT_EQ(request.execute(), "board");
}

}  // namespace
}  // namespace quenbo::net
