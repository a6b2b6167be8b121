#include "net/transfer_client.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

#include "support/fixtures.h"
#include "http_server/http_test_server.h"

namespace quenbo::net {
namespace {

using namespace std::chrono_literals;
using testing::HttpTestServer;
using testing::RecordedRequest;
using testing::ServerConnection;

struct ProgressCall {
  int userValue;
  std::int64_t total, transferred, elapsed;
};

// Collects the progress calls, which arrive on the progress thread.
struct ProgressLog {
  TransferCallback callback() {
    return [this](int user, std::int64_t total, std::int64_t transferred, std::int64_t elapsed) {
      std::lock_guard lock(mutex);
      calls.push_back({user, total, transferred, elapsed});
    };
  }
  std::vector<ProgressCall> snapshot() {
    std::lock_guard lock(mutex);
    return calls;
  }
  std::mutex mutex;
  std::vector<ProgressCall> calls;
};

const std::string kFile12000 = [] {
  std::string bytes(12000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}();

class TransferClientTest : public testing::SandboxTest {
 protected:
  HttpTestServer server_{[](const RecordedRequest& request, ServerConnection& connection) {
    if (request.target == "/paced.bin") {
      // The head first, then the body in pieces of one read each, so that the progress
      // thread sees it grow.
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 12000\r\n\r\n");
      for (std::size_t at = 0; at < kFile12000.size(); at += TransferClient::kReadSize) {
        connection.pause(60ms);
        connection.send(kFile12000.substr(at, TransferClient::kReadSize));
      }
    } else if (request.target == "/head-first.bin") {
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n");
      connection.pause(1500ms);
      connection.send("body");
    } else if (request.target == "/chunked.bin") {
      connection.send(
          "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
    } else if (request.target == "/lower-case.bin") {
      connection.send("HTTP/1.1 200 OK\r\ncontent-length: 12000\r\n\r\n" + kFile12000);
    } else if (request.target == "/longer-name.bin") {
      connection.send("HTTP/1.1 200 OK\r\nX-Original-Content-Length: 99999\r\n"
                      "Content-Length: 12000\r\n\r\n" + kFile12000);
    } else if (request.target == "/empty.bin") {
      connection.reply(200, "OK", {}, "");
    } else if (request.target == "/missing.bin") {
      connection.reply(404, "Not Found", {}, "not here");
    } else if (request.target == "/cut.bin") {
      connection.send("HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\nfirst");
      connection.pause(50ms);
      connection.reset();
    } else {
      connection.reply(200, "OK", {{"X-Echo", request.header("X-Token")}}, kFile12000);
    }
  }};

  bool download(TransferClient& client, const std::string& path, const Text& name,
                TransferCallback callback = nullptr) {
    return client.open("get", server_.url(path)) && client.send() &&
           client.receiveToFile(sandbox_.path().string(), name, std::move(callback), 999);
  }
};

TEST_F(TransferClientTest, ProgressGrowsPerReadThenOneClosingCall) {
  TransferClient client;
  ProgressLog log;
  ASSERT_TRUE(download(client, "/paced.bin", "paced.bin", log.callback()));
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("paced.bin")), kFile12000);

  std::vector<ProgressCall> calls = log.snapshot();
  ASSERT_GE(calls.size(), 2u);
  const ProgressCall& closing = calls.back();
  EXPECT_EQ(closing.total, 12000);
  EXPECT_EQ(closing.transferred, 12000);
  std::int64_t previous = 0;
  for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
    EXPECT_EQ(calls[i].userValue, 999);
    EXPECT_EQ(calls[i].total, 12000);
    EXPECT_GT(calls[i].transferred, previous);
    EXPECT_TRUE(calls[i].transferred == 5120 || calls[i].transferred == 10240 ||
                calls[i].transferred == 12000)
        << calls[i].transferred;
    previous = calls[i].transferred;
  }
  EXPECT_LT(calls.front().transferred, 12000);
  // The closing call carries the last reported time plus 50 ms.
  EXPECT_EQ(closing.elapsed, calls[calls.size() - 2].elapsed + 50);
  EXPECT_GE(closing.elapsed, 100);
}

TEST_F(TransferClientTest, NoPositiveLengthMeansNoFileAndNoProgress) {
  for (const char* path : {"/chunked.bin", "/empty.bin"}) {
    TransferClient client;
    ProgressLog log;
    EXPECT_FALSE(download(client, path, "x.bin", log.callback())) << path;
    EXPECT_FALSE(std::filesystem::exists(sandbox_.file("x.bin"))) << path;
    EXPECT_TRUE(log.snapshot().empty()) << path;
  }
}

TEST_F(TransferClientTest, DirectoryMustExistAndNeedsNoTrailingSeparator) {
  TransferClient client;
  ASSERT_TRUE(client.open("GET", server_.url("/file.bin")));
  ASSERT_TRUE(client.send());
  EXPECT_FALSE(client.receiveToFile(sandbox_.file("no-such-dir"), "f.bin"));
  EXPECT_FALSE(std::filesystem::exists(sandbox_.file("no-such-dir")));
  EXPECT_TRUE(client.receiveToFile(sandbox_.path().string(), "f.bin"));
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("f.bin")), kFile12000);
}

TEST_F(TransferClientTest, StatusIsNotLookedAtAndShortBodiesFail) {
  TransferClient client;
  EXPECT_TRUE(download(client, "/missing.bin", "m.bin"));
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("m.bin")), "not here");
  // The part that arrived stays on disk, but the download reports its failure.
  EXPECT_FALSE(download(client, "/cut.bin", "c.bin"));
  EXPECT_EQ(client.failure(), FetchFailure::dropped);
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("c.bin")), "first");
}

TEST_F(TransferClientTest, HeadersAreSetOneByOneAndReplacedByName) {
  TransferClient client;
  ASSERT_TRUE(client.open("GET", server_.url("/file.bin")));
  EXPECT_TRUE(client.setHeader("X-Token", "first"));
  EXPECT_TRUE(client.setHeader("Referer=/", ""));
  EXPECT_TRUE(client.setHeader("X-Token", "qmvt"));
  EXPECT_FALSE(client.setHeader("X-Bad", "a\r\nInjected: 1"));
  ASSERT_TRUE(client.send());
  RecordedRequest sent = server_.lastRequest();
  EXPECT_EQ(sent.headerCount("X-Token"), 1);
  EXPECT_NE(sent.head.find("\r\nX-Token:qmvt"), std::string::npos);
  EXPECT_EQ(sent.headerCount("Injected"), 0);
  EXPECT_EQ(client.responseHeader("X-Echo"), "qmvt");
  EXPECT_EQ(client.responseHeader("Content-Length"), "12000");
  EXPECT_EQ(client.responseHeader("X-Absent"), "");
  EXPECT_EQ(client.responseHeader(""), "");
}

TEST_F(TransferClientTest, TheLengthIsReadFromTheWholeHeaderNameInAnyCase) {
  for (const char* path : {"/lower-case.bin", "/longer-name.bin"}) {
    SCOPED_TRACE(path);
    TransferClient client;
    ProgressLog log;
    ASSERT_TRUE(download(client, path, "length.bin", log.callback()));
    EXPECT_EQ(client.responseHeader("Content-Length"), "12000");
    EXPECT_EQ(client.responseHeader("content-length"), "12000");
    EXPECT_EQ(testing::readWholeFile(sandbox_.file("length.bin")), kFile12000);
    ASSERT_FALSE(log.snapshot().empty());
    EXPECT_EQ(log.snapshot().front().total, 12000);
  }
}

TEST_F(TransferClientTest, SendReturnsOnceTheHeadersAreIn) {
  TransferClient client;
  ASSERT_TRUE(client.open("GET", server_.url("/head-first.bin")));
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(client.send());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  EXPECT_EQ(client.responseHeader("Content-Length"), "4");
  EXPECT_TRUE(client.receiveToFile(sandbox_.path().string(), "late.bin"));
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("late.bin")), "body");
}

TEST_F(TransferClientTest, ClosedClientOpensAgain) {
  TransferClient client;
  ASSERT_TRUE(download(client, "/file.bin", "a.bin"));
  EXPECT_TRUE(client.close());
  EXPECT_EQ(client.responseHeader("Content-Length"), "");
  ASSERT_TRUE(download(client, "/missing.bin", "b.bin"));
  EXPECT_EQ(testing::readWholeFile(sandbox_.file("b.bin")), "not here");
}

TEST_F(TransferClientTest, UnknownHostOrRefusedConnectionFailsTheSend) {
  int closedPort;
  {
    HttpTestServer gone(HttpTestServer::fixedReply(""));
    closedPort = gone.port();
  }
  TransferClient client;
  ASSERT_TRUE(client.open("GET", "127.0.0.1:" + std::to_string(closedPort) + "/f"));
  EXPECT_FALSE(client.send());
  EXPECT_EQ(client.failure(), FetchFailure::connect);
  EXPECT_FALSE(client.receiveToFile(sandbox_.path().string(), "f"));
  EXPECT_FALSE(client.open("GET", "http:///nohost"));
}

TEST(TransferClientTls, SelfSignedCertificateIsRefused) {
  testing::TempDir directory;
  HttpTestServer server(HttpTestServer::fixedReply("update"), HttpTestServer::Mode::tls);
  TransferClient client;
  ASSERT_TRUE(client.open("GET", server.url("/app.bin")));
  EXPECT_FALSE(client.send());
  EXPECT_EQ(client.failure(), FetchFailure::tls);
  EXPECT_FALSE(client.receiveToFile(directory.path().string(), "app.bin"));
  EXPECT_FALSE(std::filesystem::exists(directory.file("app.bin")));
  EXPECT_EQ(server.requestCount(), 0u);
}

}  // namespace
}  // namespace quenbo::net
