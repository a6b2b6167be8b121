#include "net/com_http_request.h"

#include <gtest/gtest.h>

#include <thread>

#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

class ServiceRequestTest : public ::testing::Test {
 protected:
  HttpTestServer server_{[](const RecordedRequest& request, ServerConnection& connection) {
    if (request.target == "/missing") {
      connection.reply(404, "Not Found", {{"Set-Cookie", "s=9; path=/"}}, "no such thing");
    } else if (request.target == "/slow") {
      connection.pause(1500ms);
      connection.reply(200, "OK", {}, "late");
    } else {
      connection.reply(200, "OK", {{"Content-Type", "application/json"}}, "{\"code\":1}");
    }
  }};
};

TEST_F(ServiceRequestTest, DefaultsAreCompletedNormalisedAndWrittenBack) {
  ComHttpRequest request;
  request.url = server_.url("/check");
  request.method = 1;
  request.bodyText = "key=v";
  request.extraHeaders = "x-app: 4";
  EXPECT_EQ(request.execute(), "{\"code\":1}");
  EXPECT_EQ(request.statusCode, 200);
  EXPECT_EQ(request.extraHeaders,
            "X-App: 4\r\nAccept: */*\r\nReferer: " + server_.url("/check") +
                "\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; "
                "Windows NT 6.1)\r\nContent-Type: application/x-www-form-urlencoded");
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.method, "POST");
  EXPECT_EQ(sent.body, "key=v");
  EXPECT_EQ(sent.header("X-App"), "4");
  EXPECT_EQ(sent.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(sent.headerCount("Content-Type"), 1);
  // The header text of the answer, without its status line.
  EXPECT_EQ(request.responseHeaders.rfind("Content-Type: application/json\r\n", 0), 0u);
}

TEST_F(ServiceRequestTest, CookieArgumentLosesItsCookieNameAndIsMerged) {
  ComHttpRequest request;
  request.url = server_.url("/missing");
  request.cookies = "Cookie: a=1; b=2";
  EXPECT_EQ(request.execute(), "no such thing");
  EXPECT_EQ(request.statusCode, 404);
  EXPECT_NE(server_.lastRequest().head.find("\r\nCookie:  a=1; b=2\r\n"), std::string::npos);
  EXPECT_EQ(request.responseCookies, "s=9; a=1; b=2");
  EXPECT_EQ(request.cookies, "s=9; a=1; b=2");

  ComHttpRequest absent;
  absent.url = server_.url("/missing");
  absent.execute();
  EXPECT_EQ(server_.lastRequest().headerCount("Cookie"), 0);
  EXPECT_EQ(absent.responseCookies, "s=9");
}

TEST_F(ServiceRequestTest, KeepAliveLineIsLeftOutOtherConnectionLinesAreSent) {
  ComHttpRequest request;
  request.url = server_.url("/log");
  request.extraHeaders = "Connection: keep-alive";
  request.execute();
  EXPECT_EQ(server_.lastRequest().headerCount("Connection"), 0);
  request.extraHeaders = "Connection: close";
  request.execute();
  EXPECT_EQ(server_.lastRequest().header("Connection"), "close");
  // A single line without a line break is one header.
  request.completeHeaders = false;
  request.extraHeaders = "X-One:  1 ";
  request.execute();
  EXPECT_EQ(server_.lastRequest().header("X-One"), "1");
}

TEST_F(ServiceRequestTest, TimeOutRules) {
  struct Case {
    int seconds;
    const char* body;
  } cases[] = {{1, ""}, {0, "late"}, {-1, "late"}, {2, "late"}};
  std::vector<Bytes> bodies(std::size(cases));
  std::vector<int> statuses(std::size(cases));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    threads.emplace_back([&, i] {
      ComHttpRequest request;
      request.url = server_.url("/slow");
      request.timeoutSeconds = cases[i].seconds;
      bodies[i] = request.execute();
      statuses[i] = request.statusCode;
    });
  }
  for (auto& thread : threads) thread.join();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(bodies[i], cases[i].body) << cases[i].seconds;
    EXPECT_EQ(statuses[i], bodies[i].empty() ? 0 : 200) << cases[i].seconds;
  }
}

TEST_F(ServiceRequestTest, KeptRequestObjectReusesItsConnection) {
  RequestObject object;
  ASSERT_TRUE(object.valid());
  for (int i = 0; i < 2; ++i) {
    ComHttpRequest request;
    request.url = server_.url("/log");
    request.requestObject = &object;
    EXPECT_EQ(request.execute(), "{\"code\":1}");
  }
  auto requests = server_.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].connection, requests[1].connection);
}

TEST(ServiceRequestFailure, NoAnswerGivesEmptyBytesAndNoStatus) {
  int closedPort;
  {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    closedPort = gone.port();
  }
  ComHttpRequest request;
  request.url = "http://127.0.0.1:" + std::to_string(closedPort) + "/check";
  request.cookies = "a = 1";
  EXPECT_EQ(request.execute(), "");
  EXPECT_EQ(request.statusCode, 0);
  EXPECT_EQ(request.failure, FetchFailure::connect);
  EXPECT_EQ(request.responseHeaders, "");
  EXPECT_EQ(request.cookies, "a=1");

  HttpTestServer cut([](const RecordedRequest&, ServerConnection& connection) {
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"co");
    connection.reset();
  });
  request.url = cut.url("/check");
  EXPECT_EQ(request.execute(), "");
  EXPECT_EQ(request.statusCode, 0);
  EXPECT_EQ(request.failure, FetchFailure::dropped);
}

TEST(ServiceRequestTls, SelfSignedCertificateIsAccepted) {
  HttpTestServer server(HttpTestServer::fixedReply("{}"), HttpTestServer::Mode::tls);
  ComHttpRequest request;
  request.url = server.url("/check");
  EXPECT_EQ(request.execute(), "{}");
}

}  // namespace
}  // namespace quenbo::net
