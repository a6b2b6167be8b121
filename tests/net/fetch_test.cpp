// The fetch core against real local servers: the response value says how far a request got,
// why it failed and what came, for every transport alike.
#include "net/fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

constexpr std::size_t kLimit = 64 * 1024;

void answer(const RecordedRequest& request, ServerConnection& connection) {
  if (request.target == "/page") {
    connection.reply(200, "OK", {{"X-Kind", "page"}}, "whole page");
  } else if (request.target == "/silent") {
    connection.pause(5s);
  } else if (request.target == "/huge") {
    connection.reply(200, "OK", {}, std::string(kLimit + 1, 'x'));
  } else if (request.target == "/huge-undeclared") {
    connection.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    connection.send("10001\r\n" + std::string(kLimit + 1, 'x') + "\r\n0\r\n\r\n");
  } else if (request.target == "/cut") {
    connection.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart");
    connection.pause(50ms);
    connection.reset();
  } else if (request.target == "/reset") {
    connection.reset();
  } else {
    connection.reply(404, "Not Found", {}, "no");
  }
}

class FetchTest : public ::testing::Test {
 protected:
  FetchRequest request(const std::string& path) const {
    FetchRequest out;
    out.url = server_.url(path);
    out.idleTimeout = 1s;
    out.bodyLimit = kLimit;
    return out;
  }

  static int closedPort() {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    return gone.port();
  }

  HttpTestServer server_{&answer};
};

TEST_F(FetchTest, ResponseSaysHowFarTheRequestGotAndWhy) {
  std::atomic<bool> stop{false};
  std::thread stopper;
  struct Case {
    const char* name;
    std::function<void(FetchRequest&)> adjust;
    FetchFailure failure;
    FetchStep step;
    long status;
    bool connected;
    std::string body;
  } cases[] = {
      {"normal answer", [&](FetchRequest& r) { r = request("/page"); }, FetchFailure::none,
       FetchStep::done, 200, true, "whole page"},
      {"error status is an answer", [&](FetchRequest& r) { r = request("/missing"); },
       FetchFailure::none, FetchStep::done, 404, true, "no"},
      {"refused connection",
       [&](FetchRequest& r) {
         r = request("/");
         r.url = "http://127.0.0.1:" + std::to_string(closedPort()) + "/";
       },
       FetchFailure::connect, FetchStep::sending, 0, false, ""},
      {"time-out", [&](FetchRequest& r) { r = request("/silent"); }, FetchFailure::timeout,
       FetchStep::awaitingAnswer, 0, true, ""},
      {"declared body over the limit", [&](FetchRequest& r) { r = request("/huge"); },
       FetchFailure::tooLarge, FetchStep::readingBody, 200, true, std::string(kLimit, 'x')},
      // Refused at its Content-Length line, before the header block has ended.
      {"declared length refused early",
       [&](FetchRequest& r) {
         r = request("/huge");
         r.refuseLongerDeclared = true;
       },
       FetchFailure::tooLarge, FetchStep::awaitingAnswer, 200, true, ""},
      {"undeclared body over the limit",
       [&](FetchRequest& r) {
         r = request("/huge-undeclared");
         r.refuseLongerDeclared = true;
       },
       FetchFailure::tooLarge, FetchStep::readingBody, 200, true, std::string(kLimit, 'x')},
      {"body cut off", [&](FetchRequest& r) { r = request("/cut"); }, FetchFailure::dropped,
       FetchStep::readingBody, 200, true, "part"},
      {"reset before an answer", [&](FetchRequest& r) { r = request("/reset"); },
       FetchFailure::dropped, FetchStep::awaitingAnswer, 0, true, ""},
      {"stopped",
       [&](FetchRequest& r) {
         r = request("/silent");
         r.idleTimeout = 10s;
         r.abandon = [&] { return stop.load(); };
         stopper = std::thread([&] {
           std::this_thread::sleep_for(200ms);
           stop = true;
         });
       },
       FetchFailure::stopped, FetchStep::awaitingAnswer, 0, true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchRequest r;
    c.adjust(r);
    auto start = std::chrono::steady_clock::now();
    FetchResponse response = fetch(r);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(response.failure, c.failure);
    EXPECT_EQ(response.step, c.step);
    EXPECT_EQ(response.status, c.status);
    EXPECT_EQ(response.connected, c.connected);
    EXPECT_EQ(response.body, c.body);
    EXPECT_EQ(response.timedOut(), c.failure == FetchFailure::timeout);
    EXPECT_EQ(response.reason.empty(), c.failure == FetchFailure::none) << response.reason;
    EXPECT_EQ(response.headers.empty(), c.status == 0) << response.headers;
  }
  stopper.join();
}

TEST_F(FetchTest, NormalAnswerKeepsTheWholeHeaderBlock) {
  FetchResponse response = fetch(request("/page"));
  EXPECT_EQ(response.headers, "HTTP/1.1 200 OK\r\nX-Kind: page\r\nContent-Length: 10\r\n\r\n");
  EXPECT_TRUE(response.ok());
}

TEST_F(FetchTest, UnverifiedCertificateFailsAsTlsBeforeTheRequest) {
  HttpTestServer tls(HttpTestServer::fixedReply("secret"), HttpTestServer::Mode::tls);
  FetchRequest r;
  r.url = tls.url("/");
  FetchResponse accepted = fetch(r);
  EXPECT_EQ(accepted.body, "secret");

  r.verifyCertificates = true;
  FetchResponse refused = fetch(r);
  EXPECT_EQ(refused.failure, FetchFailure::tls);
  EXPECT_EQ(refused.step, FetchStep::sending);
  EXPECT_FALSE(refused.connected);
  EXPECT_EQ(tls.requestCount(), 1u);
}

TEST_F(FetchTest, HeaderLineThatCannotBeSentIsLeftOutOrRefused) {
  FetchRequest r = request("/page");
  r.headers = "X-Good: 1\r\nno colon\r\nX-Empty:";
  ASSERT_TRUE(fetch(r).ok());
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.header("X-Good"), "1");
  EXPECT_EQ(sent.headerCount("X-Empty"), 1);
  EXPECT_EQ(sent.headerCount("Accept"), 0);

  r.strictHeaders = true;
  FetchResponse refused = fetch(r);
  EXPECT_EQ(refused.failure, FetchFailure::setup);
  EXPECT_EQ(refused.refused, FetchSetting::headers);
  EXPECT_FALSE(refused.connected);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(FetchTest, SessionReadsTheBodyIntoASinkAfterTheHeaders) {
  FetchSession session;
  FetchResponse head = session.fetchHeaders(request("/page"));
  EXPECT_TRUE(head.ok());
  EXPECT_EQ(head.step, FetchStep::readingBody);
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.body, "");
  std::string sunk;
  FetchResponse rest = session.readBody([&](std::string_view bytes) {
    sunk.append(bytes);
    return true;
  });
  EXPECT_TRUE(rest.ok());
  EXPECT_EQ(rest.step, FetchStep::done);
  EXPECT_EQ(sunk, "whole page");
  EXPECT_EQ(rest.body, "");

  // The next request on the session takes the kept connection.
  EXPECT_TRUE(session.fetch(request("/page")).ok());
  EXPECT_EQ(server_.connectionCount(), 1);
}

TEST_F(FetchTest, RefusingSinkFailsTheRead) {
  FetchSession session;
  ASSERT_TRUE(session.fetchHeaders(request("/page")).ok());
  FetchResponse rest = session.readBody([](std::string_view) { return false; });
  EXPECT_EQ(rest.failure, FetchFailure::other);
  EXPECT_EQ(rest.step, FetchStep::readingBody);
  EXPECT_FALSE(rest.reason.empty());
}

}  // namespace
}  // namespace quenbo::net
