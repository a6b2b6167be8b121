// What the engine puts on the wire: verbs, targets, header lines, cookies, credentials.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "net/http_engine.h"
#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using testing::HttpTestServer;
using testing::RecordedRequest;

// The header lines the server received, without the request line and the Host line.
std::string linesAfterHost(const RecordedRequest& request) {
  std::string head = request.head;
  std::size_t host = head.find("\r\nHost: ");
  std::size_t afterHost = head.find("\r\n", host + 2);
  return afterHost == std::string::npos ? std::string() : head.substr(afterHost + 2);
}

class EngineRequestTest : public ::testing::Test {
 protected:
  RecordedRequest fetch(HttpRequest request) {
    if (request.url.empty()) request.url = server_.url("/page");
    HttpResponse response;
    HttpEngine::execute(request, response);
    EXPECT_EQ(response.statusText, "200 OK");
    return server_.lastRequest();
  }

  HttpTestServer server_{HttpTestServer::fixedReply("ok")};
};

TEST_F(EngineRequestTest, PlainGetSendsTheDefaultLinesInTableOrder) {
  RecordedRequest sent = fetch({});
  EXPECT_EQ(sent.method, "GET");
  EXPECT_EQ(sent.target, "/page");
  EXPECT_EQ(sent.version, "HTTP/1.1");
  EXPECT_EQ(linesAfterHost(sent),
            "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "Accept-Encoding: gbk, GB2312\r\n"
            "Accept-Language: zh-cn\r\n"
            "Cache-Control: no-cache");
  EXPECT_TRUE(sent.body.empty());
}

TEST_F(EngineRequestTest, MethodIndexSelectsTheVerbAndPostGetsTheFormType) {
  struct Case {
    int method;
    const char* verb;
  } cases[] = {{-1, "GET"},    {0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"},
               {4, "OPTIONS"}, {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}};
  for (const Case& c : cases) {
    HttpRequest request;
    request.method = c.method;
    RecordedRequest sent = fetch(request);
    EXPECT_EQ(sent.method, c.verb) << c.method;
    EXPECT_EQ(sent.headerCount("Content-Type"), c.method == 1 ? 1 : 0) << c.method;
  }
  HttpRequest post;
  post.method = HttpMethod::post;
  post.extraHeaders = "Content-Type: application/json";
  post.bodyText = "{\"a\":1}";
  RecordedRequest sent = fetch(post);
  EXPECT_EQ(sent.header("Content-Type"), "application/json");
  EXPECT_EQ(sent.headerCount("Content-Type"), 1);
  EXPECT_EQ(sent.body, "{\"a\":1}");
}

TEST_F(EngineRequestTest, BodyBytesWinOverBodyTextAndKeepZeroBytes) {
  HttpRequest request;
  request.method = HttpMethod::put;
  request.bodyText = "text";
  request.bodyBytes = std::string("a\0b", 3);
  RecordedRequest sent = fetch(request);
  EXPECT_EQ(sent.body, std::string("a\0b", 3));
  EXPECT_EQ(sent.headerCount("Expect"), 0);
}

TEST_F(EngineRequestTest, TargetIsPathWithQueryOrSlashWithoutAPath) {
  HttpRequest request;
  request.url = server_.url("/a/b?x=1&y=2");
  EXPECT_EQ(fetch(request).target, "/a/b?x=1&y=2");
  request.url = "http://" + server_.hostAndPort() + "?x=1";
  EXPECT_EQ(fetch(request).target, "/");
}

TEST_F(EngineRequestTest, CallerLinesWinOverDefaultsAndGetCapitalisedNames) {
  HttpRequest request;
  request.extraHeaders = "user-agent: mine\r\nx-requested-with: XMLHttpRequest\r\nnot a header";
  RecordedRequest sent = fetch(request);
  EXPECT_EQ(sent.headerCount("User-Agent"), 1);
  EXPECT_NE(sent.head.find("\r\nUser-Agent: mine\r\n"), std::string::npos);
  EXPECT_NE(sent.head.find("\r\nX-Requested-With: XMLHttpRequest\r\n"), std::string::npos);
  EXPECT_EQ(sent.head.find("not a header"), std::string::npos);

  // Without the blank after the colon the caller's line does not count as a user agent.
  request.extraHeaders = "User-Agent:mine";
  sent = fetch(request);
  EXPECT_EQ(sent.headerCount("User-Agent"), 2);

  request.extraHeaders = "accept: x/y";
  request.normalizeHeaderNames = false;
  EXPECT_NE(fetch(request).head.find("\r\naccept: x/y\r\n"), std::string::npos);

  request.extraHeaders = "X-Empty:";
  EXPECT_NE(fetch(request).head.find("\r\nX-Empty:"), std::string::npos);
}

TEST_F(EngineRequestTest, WithoutCompletionOnlyTheCallerLinesGoOut) {
  HttpRequest request;
  request.completeHeaders = false;
  request.extraHeaders = "X-Only: 1";
  EXPECT_EQ(linesAfterHost(fetch(request)), "X-Only: 1");
}

TEST_F(EngineRequestTest, LineWithoutColonIsRefusedWhenNamesAreKept) {
  HttpRequest request;
  request.url = server_.url("/");
  request.extraHeaders = "broken line";
  request.normalizeHeaderNames = false;
  HttpResponse response;
  EXPECT_EQ(HttpEngine::execute(request, response), "");
  EXPECT_EQ(response.statusText, "710 设置协议头失败!"_gbk);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(EngineRequestTest, KeepAliveLineIsTakenOutUnlessItIsTheLastLine) {
  HttpRequest request;
  request.extraHeaders = "connection: keep-alive";
  EXPECT_EQ(fetch(request).headerCount("Connection"), 0);
  request.completeHeaders = false;
  EXPECT_EQ(fetch(request).header("Connection"), "keep-alive");
  request.completeHeaders = true;
  request.extraHeaders = "Connection: close";
  EXPECT_EQ(fetch(request).header("Connection"), "close");
}

TEST_F(EngineRequestTest, CookieFieldBecomesOneCookieLine) {
  struct Case {
    const char* cookies;
    const char* extra;
    const char* sent;
  } cases[] = {
      {"a=1; b=2", "", "a=1; b=2"},
      {"Cookie: c=3", "", "c=3"},
      {"a=1", "cookie: mine=1", "mine=1"},  // the caller's own line wins
  };
  for (const Case& c : cases) {
    HttpRequest request;
    request.cookies = c.cookies;
    request.extraHeaders = c.extra;
    request.mergeCookies = false;
    RecordedRequest sent = fetch(request);
    EXPECT_EQ(sent.headerCount("Cookie"), 1) << c.cookies;
    EXPECT_EQ(sent.header("Cookie"), c.sent) << c.cookies;
  }
}

TEST_F(EngineRequestTest, ServerCredentialsNeedBothNameAndPassword) {
  HttpRequest request;
  request.userName = "user";
  request.password = "secret";
  EXPECT_EQ(fetch(request).header("Authorization"), "Basic dXNlcjpzZWNyZXQ=");
  request.password.clear();
  EXPECT_EQ(fetch(request).headerCount("Authorization"), 0);
  request.userName.clear();
  request.password = "secret";
  EXPECT_EQ(fetch(request).headerCount("Authorization"), 0);
}

}  // namespace
}  // namespace quenbo::net
