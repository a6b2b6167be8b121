// Every transport reaches a host written as an IPv6 literal ("[::1]:port"), as a server and as
// a proxy, against a real server on the IPv6 loopback.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "net/com_http_request.h"
#include "net/http_engine.h"
#include "net/inet_request.h"
#include "net/transfer_client.h"
#include "http_server/http_test_server.h"
#include "support/fixtures.h"

namespace quenbo::net {
namespace {

using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

class Ipv6Loopback : public testing::SandboxTest {
 protected:
  void SetUp() override {
    if (server_.port() == 0) GTEST_SKIP() << "this machine has no IPv6 loopback";
  }

  // The page, for a request that names it or comes to this server as to a proxy.
  HttpTestServer server_{[](const RecordedRequest& request, ServerConnection& connection) {
                           connection.reply(200, "OK", {}, "v6 page " + request.target);
                         },
                         HttpTestServer::Mode::plain, 0, HttpTestServer::Loopback::v6};
};

struct Transport {
  const char* name;
  bool takesProxy;
  // The body the transport got for `url`, through `proxy` when not empty.
  std::function<Text(const Text& url, const Text& proxy, const std::string& directory)> get;
};

const Transport kTransports[] = {
    {"request engine", true,
     [](const Text& url, const Text& proxy, const std::string&) {
       HttpRequest request;
       request.url = url;
       request.proxy = proxy;
       request.timeoutSeconds = 5;
       HttpResponse response;
       return HttpEngine::execute(request, response);
     }},
    {"page request", true,
     [](const Text& url, const Text& proxy, const std::string&) {
       InetRequest request;
       request.url = url;
       request.proxy = proxy;
       return request.execute();
     }},
    {"service request", true,
     [](const Text& url, const Text& proxy, const std::string&) {
       ComHttpRequest request;
       request.url = url;
       request.proxy = proxy;
       request.timeoutSeconds = 5;
       return request.execute();
     }},
    {"download client", false,
     [](const Text& url, const Text&, const std::string& directory) -> Text {
       TransferClient client;
       if (!client.open("GET", url, 5000) || !client.send() ||
           !client.receiveToFile(directory, "page.bin")) {
         return Text();
       }
       return testing::readWholeFile(directory + "/page.bin");
     }},
};

TEST_F(Ipv6Loopback, EveryTransportReachesALiteralHostDirectlyAndAsAProxy) {
  const Text direct = server_.url("/direct");
  ASSERT_EQ(direct.substr(0, 12), "http://[::1]");
  for (const Transport& transport : kTransports) {
    SCOPED_TRACE(transport.name);
    EXPECT_EQ(transport.get(direct, "", sandbox_.path().string()), "v6 page /direct");
    if (!transport.takesProxy) continue;
    // Through the server as a proxy the request line carries the whole URL.
    const Text elsewhere = "http://far.example/through";
    EXPECT_EQ(transport.get(elsewhere, server_.hostAndPort(), sandbox_.path().string()),
              "v6 page " + elsewhere);
  }
}

}  // namespace
}  // namespace quenbo::net
