// The round trips the test server and the simulator charge: one for a new connection, one or
// two for a TLS handshake, one per request. A loaded machine only makes things slower, so
// every check is a lower bound.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "http_server/http_test_server.h"
#include "site_simulator/simulator_command_line.h"
#include "tools/simulator_fetch.h"

namespace quenbo {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;

constexpr std::chrono::milliseconds kRoundTrip{100};

size_t ignoreBody(char*, size_t size, size_t count, void*) { return size * count; }

// A bare libcurl client: one handle, so its connection and TLS session stay between calls
// unless `newConnections` forbids keeping the connection.
class SmallClient {
 public:
  explicit SmallClient(bool newConnections = false) : curl_(curl_easy_init()) {
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &ignoreBody);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, 10000L);
    if (newConnections) curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
  }
  ~SmallClient() { curl_easy_cleanup(curl_); }

  // How long the request took; zero when it failed.
  std::chrono::milliseconds get(const std::string& url) {
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    auto start = std::chrono::steady_clock::now();
    if (curl_easy_perform(curl_) != CURLE_OK) return 0ms;
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
  }

 private:
  CURL* curl_;
};

TEST(RoundTrip, NewConnectionCostsOneAndEveryRequestOneMore) {
  HttpTestServer server(HttpTestServer::fixedReply("ok"));
  server.setRoundTrip(kRoundTrip);
  SmallClient client;
  EXPECT_GE(client.get(server.url("/1")), 2 * kRoundTrip);  // handshake and request
  for (const char* path : {"/2", "/3"}) {
    EXPECT_GE(client.get(server.url(path)), kRoundTrip) << path;
  }
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  // The later requests paid no handshake: they came on the first connection.
  EXPECT_EQ(requests[2].connection, requests[0].connection);
}

TEST(RoundTrip, TlsHandshakeCostsTwoAndOneWhenTheSessionIsResumed) {
  HttpTestServer server(HttpTestServer::fixedReply("ok"), HttpTestServer::Mode::tls);
  server.setRoundTrip(kRoundTrip);
  SmallClient client(true);
  // TCP, a full TLS handshake, the request.
  EXPECT_GE(client.get(server.url("/first")), 4 * kRoundTrip);
  // TCP, a resumed handshake, the request.
  EXPECT_GE(client.get(server.url("/second")), 3 * kRoundTrip);
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[0].connection, requests[1].connection);
  EXPECT_FALSE(requests[0].tlsResumed);
  EXPECT_TRUE(requests[1].tlsResumed);
}

TEST(RoundTrip, SimulatorChargesItsRoundTripOnTopOfTheLatency) {
  simulator::CommandLine line;
  std::string message;
  ASSERT_TRUE(simulator::parseCommandLine({"--rtt", "100", "--latency=50"}, line, message))
      << message;
  EXPECT_EQ(line.options.roundTripMs, 100);
  simulator::SiteSimulator sites(line.options);
  SmallClient client;
  // Iheian is an https site: TCP, full TLS, request, then the server's own 50 ms.
  EXPECT_GE(client.get(sites.baseUrl("Iheian") + testing::sitePath("Iheian", "abc", 1)),
            4 * kRoundTrip + 50ms);
  EXPECT_GE(client.get(sites.baseUrl("Iheian") + testing::sitePath("Iheian", "abc", 2)),
            kRoundTrip + 50ms);

  sites.setRoundTrip(0ms);
  EXPECT_FALSE(simulator::parseCommandLine({"--rtt", "-5"}, line, message));
  EXPECT_EQ(message, "bad value for --rtt: -5");
}

}  // namespace
}  // namespace quenbo
