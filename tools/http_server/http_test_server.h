// A real HTTP/1.1 server on 127.0.0.1 (or ::1) for network tests: a random free port, a handler
// callback per request, plain or TLS (self-signed certificate made at start), and a record of
// every request exactly as it arrived. The handler gets the connection, so it can answer
// normally or misbehave (stay silent, send raw bytes, reset the connection).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace quenbo::testing {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
  std::string method, target, version;
  std::string head;  // request line and header lines as received, without the empty line
  HeaderList headers;
  std::string body;
  int connection = 0;  // serial number of the connection it came on, from 1
  bool tlsResumed = false;  // TLS only: the connection's handshake resumed an earlier session

  // The first value of the named header (ASCII case folded); empty when absent.
  std::string header(std::string_view name) const;
  int headerCount(std::string_view name) const;
};

class ServerConnection;
using RequestHandler = std::function<void(const RecordedRequest&, ServerConnection&)>;

// The connection a request came on, handed to the handler on the connection's own thread.
class ServerConnection {
 public:
  virtual ~ServerConnection() = default;
  // A whole response; Content-Length is added unless `headers` name it or Transfer-Encoding.
  void reply(int status, std::string_view reason, const HeaderList& headers, std::string_view body);
  // Exactly these bytes.
  virtual bool send(std::string_view bytes) = 0;
  // Ends the connection with a TCP reset after the bytes sent so far.
  virtual void reset() = 0;
  // Closes the connection in order once the handler returns.
  void closeAfterReply() { closing_ = true; }
  bool closing() const { return closing_; }
  // Waits, but returns early (true) when the server is being stopped.
  virtual bool pause(std::chrono::milliseconds duration) = 0;

 private:
  bool closing_ = false;
};

class HttpTestServer final {
 public:
  // tlsOtherHost and tlsExpired show a certificate for "wrong.example" only, or an expired one.
  enum class Mode { plain, tls, tlsOtherHost, tlsExpired };
  enum class Loopback { v4, v6 };  // listens on 127.0.0.1 or on ::1

  // `port` 0: a free one. port() is 0 when the server could not start (on v6 also when the
  // machine has no IPv6 loopback).
  explicit HttpTestServer(RequestHandler handler, Mode mode = Mode::plain, int port = 0,
                          Loopback loopback = Loopback::v4);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // A handler that gives every request the same 200 answer.
  static RequestHandler fixedReply(std::string body, HeaderList headers = {});

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" + path (https for a TLS server; "[::1]" on v6).
  std::string url(std::string_view path = "/") const;
  std::string hostAndPort() const;  // "127.0.0.1:<port>" or "[::1]:<port>"
  // The TLS server's self-signed certificate in PEM form (empty for a plain server).
  const std::string& certificatePem() const { return certificatePem_; }

  std::vector<RecordedRequest> requests() const;
  RecordedRequest lastRequest() const;
  std::size_t requestCount() const;
  int connectionCount() const { return connections_.load(); }

  // A modelled network round trip: a new connection waits one round trip before the server
  // reads from it (the TCP handshake), a TLS handshake costs one more, two when it does not
  // resume a session, and every request one more before the handler sees it. 0: none.
  // Applies to connections and requests from now on.
  void setRoundTrip(std::chrono::milliseconds roundTrip) { roundTripMs_ = roundTrip.count(); }

 private:
  struct Worker;
  class Connection;
  void acceptLoop();
  void serve(int fd, int serial);
  void reapFinished();
  // Waits `count` round trips; true when the server is being stopped meanwhile.
  bool waitRoundTrips(ServerConnection& connection, int count) const;

  RequestHandler handler_;
  Mode mode_;
  Loopback loopback_;
  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  int port_ = 0;
  void* tlsContext_ = nullptr;  // SSL_CTX, kept opaque here
  std::string certificatePem_;  // written before the acceptor starts, then only read
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::atomic<long long> roundTripMs_{0};

  mutable std::mutex mutex_;  // guards requests_, workers_ and openFds_
  std::condition_variable stopped_;
  std::vector<RecordedRequest> requests_;
  std::vector<std::unique_ptr<Worker>> workers_;
  std::vector<int> openFds_;
  std::thread acceptor_;
};

}  // namespace quenbo::testing
