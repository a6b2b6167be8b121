// Requests through a real forward proxy (tinyproxy), with and without basic authorisation.
#include <gtest/gtest.h>

#include "net/com_http_request.h"
#include "net/http_engine.h"
#include "net/inet_request.h"
#include "http_server/http_test_server.h"
#include "support/tiny_proxy.h"

namespace quenbo::net {
namespace {

using testing::HttpTestServer;
using testing::TinyProxy;

class ProxyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(open_.running()) << "tinyproxy did not start";
    ASSERT_TRUE(guarded_.running()) << "tinyproxy did not start";
  }

  HttpTestServer plain_{HttpTestServer::fixedReply("plain page")};
  HttpTestServer secure_{HttpTestServer::fixedReply("secure page"), HttpTestServer::Mode::tls};
  TinyProxy open_;
  TinyProxy guarded_{TinyProxy::Credentials{"agent", "s3cret"}};
};

TEST_F(ProxyTest, EngineGoesThroughTheProxyForPlainAndTunnelledPages) {
  HttpRequest request;
  request.url = plain_.url("/p");
  request.proxy = open_.address();
  HttpResponse response;
  EXPECT_EQ(HttpEngine::execute(request, response), "plain page");
  EXPECT_NE(plain_.lastRequest().header("Via").find("tinyproxy"), std::string::npos);

  request.url = secure_.url("/s");
  EXPECT_EQ(HttpEngine::execute(request, response), "secure page");
  EXPECT_EQ(response.statusText, "200 OK");
  EXPECT_NE(open_.log().find("CONNECT"), std::string::npos);
}

TEST_F(ProxyTest, EngineSendsProxyCredentialsOnlyWhenBothAreGiven) {
  HttpRequest request;
  request.url = plain_.url("/p");
  request.proxy = guarded_.address();
  request.proxyUserName = "agent";
  HttpResponse response;
  // The proxy's refusal is an answer like any other.
  EXPECT_NE(HttpEngine::execute(request, response), "");
  EXPECT_EQ(response.statusText.substr(0, 3), "407");

  request.proxyPassword = "s3cret";
  EXPECT_EQ(HttpEngine::execute(request, response), "plain page");
  EXPECT_EQ(response.statusText, "200 OK");

  request.url = secure_.url("/s");
  EXPECT_EQ(HttpEngine::execute(request, response), "secure page");
  // The credentials went to the proxy, not through the tunnel to the server.
  EXPECT_EQ(secure_.lastRequest().headerCount("Proxy-Authorization"), 0);

  // A refused tunnel never reaches the server: the request could not be sent.
  request.proxyPassword = "wrong";
  EXPECT_EQ(HttpEngine::execute(request, response), "");
  EXPECT_EQ(response.statusText.substr(0, 3), "711");
}

TEST_F(ProxyTest, PageRequestUsesTheProxy) {
  InetRequest request;
  request.url = plain_.url("/board");
  request.proxy = open_.address();
  EXPECT_EQ(request.execute(), "plain page");
  EXPECT_NE(plain_.lastRequest().header("Via").find("tinyproxy"), std::string::npos);
  request.url = secure_.url("/board");
  EXPECT_EQ(request.execute(), "secure page");
}

TEST_F(ProxyTest, ServiceRequestSendsProxyAuthorisationInModeOne) {
  ComHttpRequest request;
  request.url = plain_.url("/check");
  request.proxy = guarded_.address();
  request.proxyUserName = "agent";
  request.proxyPassword = "s3cret";
  EXPECT_EQ(request.execute(), "plain page");
  EXPECT_EQ(request.statusCode, 200);

  request.url = secure_.url("/check");
  EXPECT_EQ(request.execute(), "secure page");

  request.url = plain_.url("/check");
  request.proxyAuthMode = 0;
  request.execute();
  EXPECT_EQ(request.statusCode, 407);
}

}  // namespace
}  // namespace quenbo::net
