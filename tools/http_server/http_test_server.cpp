#include "http_server/http_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>

#include "http_server/tls_identity.h"

namespace quenbo::testing {
namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string();
  std::size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// Parses the request line and header lines of `head`.
void parseHead(RecordedRequest& request) {
  std::string_view head = request.head;
  std::size_t lineEnd = head.find("\r\n");
  std::string_view requestLine = head.substr(0, lineEnd);
  std::size_t first = requestLine.find(' ');
  std::size_t last = requestLine.rfind(' ');
  request.method = std::string(requestLine.substr(0, first));
  if (first != std::string_view::npos && last > first) {
    request.target = std::string(requestLine.substr(first + 1, last - first - 1));
    request.version = std::string(requestLine.substr(last + 1));
  }
  while (lineEnd != std::string_view::npos) {
    std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    std::string_view line =
        head.substr(start, lineEnd == std::string_view::npos ? head.npos : lineEnd - start);
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(std::string(line.substr(0, colon)),
                                 trimmed(line.substr(colon + 1)));
  }
}

}  // namespace

std::string RecordedRequest::header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (equalNoCase(key, name)) return value;
  }
  return std::string();
}

int RecordedRequest::headerCount(std::string_view name) const {
  return static_cast<int>(std::count_if(headers.begin(), headers.end(), [&](const auto& entry) {
    return equalNoCase(entry.first, name);
  }));
}

void ServerConnection::reply(int status, std::string_view reason, const HeaderList& headers,
                             std::string_view body) {
  std::string out = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
  bool sized = false;
  for (const auto& [name, value] : headers) {
    out += name + ": " + value + "\r\n";
    sized = sized || equalNoCase(name, "Content-Length") || equalNoCase(name, "Transfer-Encoding");
  }
  if (!sized) out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  out += "\r\n";
  out += body;
  send(out);
}

struct HttpTestServer::Worker {
  std::thread thread;
  std::atomic<bool> done{false};
};

// One accepted connection, plain or TLS, served on its own thread.
class HttpTestServer::Connection final : public ServerConnection {
 public:
  Connection(HttpTestServer& server, int fd) : server_(server), fd_(fd) {}
  ~Connection() override {
    if (ssl_ != nullptr && fd_ >= 0) SSL_shutdown(ssl_);
    if (ssl_ != nullptr) SSL_free(ssl_);
    closeSocket(false);
  }

  bool startTls(SSL_CTX* context) {
    ssl_ = SSL_new(context);
    return ssl_ != nullptr && SSL_set_fd(ssl_, fd_) == 1 && SSL_accept(ssl_) == 1;
  }

  // Up to `size` bytes; 0 when the peer closed or the connection failed.
  std::size_t receive(char* buffer, std::size_t size) {
    if (fd_ < 0) return 0;
    if (ssl_ != nullptr) {
      int n = SSL_read(ssl_, buffer, static_cast<int>(size));
      return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ssize_t n = ::recv(fd_, buffer, size, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

  bool send(std::string_view bytes) override {
    while (!bytes.empty() && fd_ >= 0) {
      long n = ssl_ != nullptr ? SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()))
                               : ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return bytes.empty();
  }

  void reset() override { closeSocket(true); }

  bool pause(std::chrono::milliseconds duration) override {
    std::unique_lock lock(server_.mutex_);
    return server_.stopped_.wait_for(lock, duration, [&] { return server_.stopping_.load(); });
  }

  bool open() const { return fd_ >= 0; }
  bool resumed() const { return ssl_ != nullptr && SSL_session_reused(ssl_) == 1; }

 private:
  void closeSocket(bool abortive) {
    std::lock_guard lock(server_.mutex_);
    if (fd_ < 0) return;
    if (abortive) {
      linger hard{1, 0};
      ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    auto& fds = server_.openFds_;
    fds.erase(std::remove(fds.begin(), fds.end(), fd_), fds.end());
    ::close(fd_);
    fd_ = -1;
  }

  HttpTestServer& server_;
  int fd_;
  SSL* ssl_ = nullptr;
};

HttpTestServer::HttpTestServer(RequestHandler handler, Mode mode, int port, Loopback loopback)
    : handler_(std::move(handler)), mode_(mode), loopback_(loopback) {
  // A TLS write to a peer that has gone raises SIGPIPE; the server wants the error instead.
  std::signal(SIGPIPE, SIG_IGN);
  if (mode_ != Mode::plain) {
    tlsContext_ = makeSelfSignedServerContext(
        &certificatePem_, mode_ == Mode::tlsOtherHost ? CertificateKind::otherHost
                          : mode_ == Mode::tlsExpired ? CertificateKind::expired
                                                      : CertificateKind::good);
  }
  sockaddr_storage address{};
  socklen_t length;
  if (loopback_ == Loopback::v6) {
    auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
    v6.sin6_family = AF_INET6;
    v6.sin6_addr = in6addr_loopback;
    v6.sin6_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof v6;
  } else {
    auto& v4 = reinterpret_cast<sockaddr_in&>(address);
    v4.sin_family = AF_INET;
    v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    v4.sin_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof v4;
  }
  listenFd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 128) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::pipe2(wakeFds_, O_CLOEXEC) != 0) {
    return;
  }
  port_ = ntohs(loopback_ == Loopback::v6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                                          : reinterpret_cast<sockaddr_in&>(address).sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  if (wakeFds_[1] >= 0) {
    char wake = 1;
    [[maybe_unused]] auto written = ::write(wakeFds_[1], &wake, 1);
  }
  if (acceptor_.joinable()) acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
  }
  for (auto& worker : workers_) worker->thread.join();
  for (int fd : {listenFd_, wakeFds_[0], wakeFds_[1]}) {
    if (fd >= 0) ::close(fd);
  }
  if (tlsContext_ != nullptr) SSL_CTX_free(static_cast<SSL_CTX*>(tlsContext_));
}

RequestHandler HttpTestServer::fixedReply(std::string body, HeaderList headers) {
  return [body = std::move(body), headers = std::move(headers)](const RecordedRequest&,
                                                                ServerConnection& connection) {
    connection.reply(200, "OK", headers, body);
  };
}

std::string HttpTestServer::hostAndPort() const {
  return (loopback_ == Loopback::v6 ? "[::1]:" : "127.0.0.1:") + std::to_string(port_);
}

std::string HttpTestServer::url(std::string_view path) const {
  return (mode_ != Mode::plain ? "https://" : "http://") + hostAndPort() + std::string(path);
}

std::vector<RecordedRequest> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

RecordedRequest HttpTestServer::lastRequest() const {
  std::lock_guard lock(mutex_);
  return requests_.empty() ? RecordedRequest() : requests_.back();
}

std::size_t HttpTestServer::requestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

void HttpTestServer::acceptLoop() {
  for (;;) {
    pollfd waits[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    if (::poll(waits, 2, -1) < 0 && errno != EINTR) return;
    if (stopping_ || (waits[1].revents & POLLIN) != 0) return;
    if ((waits[0].revents & POLLIN) == 0) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    // Without this, an answer written after the TLS session tickets waits for the client's
    // delayed acknowledgement (about 40 ms per request).
    int noDelay = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    int serial = ++connections_;
    reapFinished();
    std::lock_guard lock(mutex_);
    openFds_.push_back(fd);
    auto worker = std::make_unique<Worker>();
    Worker* raw = worker.get();
    raw->thread = std::thread([this, fd, serial, raw] {
      serve(fd, serial);
      raw->done = true;
    });
    workers_.push_back(std::move(worker));
  }
}

// Joins the threads of connections that have ended, so a long run keeps few of them.
void HttpTestServer::reapFinished() {
  std::vector<std::unique_ptr<Worker>> finished;
  {
    std::lock_guard lock(mutex_);
    auto split = std::partition(workers_.begin(), workers_.end(),
                                [](const auto& worker) { return !worker->done; });
    std::move(split, workers_.end(), std::back_inserter(finished));
    workers_.erase(split, workers_.end());
  }
  for (auto& worker : finished) worker->thread.join();
}

bool HttpTestServer::waitRoundTrips(ServerConnection& connection, int count) const {
  long long roundTrip = roundTripMs_.load();
  return roundTrip > 0 && connection.pause(std::chrono::milliseconds(roundTrip * count));
}

void HttpTestServer::serve(int fd, int serial) {
  Connection connection(*this, fd);
  // The client's first bytes (a TLS hello or a request) cannot arrive before the TCP
  // handshake has gone there and back.
  if (waitRoundTrips(connection, 1)) return;
  if (tlsContext_ != nullptr) {
    if (!connection.startTls(static_cast<SSL_CTX*>(tlsContext_))) return;
    // Held after the handshake rather than within it: the client's request still waits.
    if (waitRoundTrips(connection, connection.resumed() ? 1 : 2)) return;
  }
  std::string pending;
  char buffer[16384];
  while (connection.open() && !stopping_) {
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
      std::size_t n = connection.receive(buffer, sizeof buffer);
      if (n == 0) return;
      pending.append(buffer, n);
    }
    RecordedRequest request;
    request.connection = serial;
    request.tlsResumed = connection.resumed();
    request.head = pending.substr(0, headEnd);
    pending.erase(0, headEnd + 4);
    parseHead(request);
    if (equalNoCase(request.header("Expect"), "100-continue")) {
      connection.send("HTTP/1.1 100 Continue\r\n\r\n");
    }
    std::size_t length = std::strtoull(request.header("Content-Length").c_str(), nullptr, 10);
    while (pending.size() < length) {
      std::size_t n = connection.receive(buffer, sizeof buffer);
      if (n == 0) return;
      pending.append(buffer, n);
    }
    request.body = pending.substr(0, length);
    pending.erase(0, length);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    // The request's own trip to the server and the answer's trip back.
    if (waitRoundTrips(connection, 1)) return;
    handler_(request, connection);
    if (connection.closing() || equalNoCase(request.header("Connection"), "close")) return;
  }
}

}  // namespace quenbo::testing
